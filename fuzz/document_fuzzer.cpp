// Arbitrary bytes as du output, the whole document written into a string,
// and again as an SVG document, which libxml2 must parse.
// The first byte picks the options, the rest is the input. Whatever the
// input, the run either ends with a complete document whose records the
// prolog can read back, or with the one failure that input can cause.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "chart/document.hpp"
#include "chart/output.hpp"
#include "chart/svg_document.hpp"
#include "chart/svg_script.hpp"
#include "common/failure.hpp"
#include "settings/command_line.hpp"
#include "settings/settings.hpp"
#include "tree/input.hpp"
#include "tree/node.hpp"

namespace voziv {
namespace {

void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "document_fuzzer: %s\n", what);
    std::abort();
}

// Options from the bits of one byte, applied through the command line.
void chooseSettings(unsigned char bits) {
    std::vector<const char*> argv{"voziv"};
    auto add = [&](std::initializer_list<const char*> words) { argv.insert(argv.end(), words); };
    switch (bits & 3) {
        case 1:
            add({"-land"});
            break;
        case 2:
            add({"-eps", "400", "300"});
            break;
        case 3:
            add({"-land", "-eps", "1e20", "1e20"});
            break;
    }
    if (bits & 4) add({"-sa"});
    if (bits & 8) add({"-color"});
    if (bits & 16) add({"-ncolor", "3"});
    switch ((bits >> 5) & 3) {
        case 1:
            add({"-ncols", "1"});
            break;
        case 2:
            add({"-ncols", "80"});
            break;
        case 3:
            add({"-us"});
            break;
    }
    if (bits & 128) add({"-fs", "-1e38", "-lw", "-1e38", "-ms", "1e38"});
    getopt(static_cast<int>(argv.size()), const_cast<char**>(argv.data()));
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Every real the document holds must be one that PostScript can hold.
void checkRange(std::string_view number) {
    double value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    require(error == std::errc() && std::fabs(value) <= largestReal,
            "a number beyond PostScript's reals");
}

// Reads what the prolog reads as a number written by "%d" or "%.Nf".
bool readNumber(std::string_view& rest, int decimals, bool sign) {
    std::size_t i = 0;
    if (sign && i < rest.size() && rest[i] == '-') ++i;
    std::size_t digits = i;
    while (i < rest.size() && isDigit(rest[i]))
        ++i;
    if (i == digits) return false;
    if (decimals > 0) {
        if (i >= rest.size() || rest[i] != '.') return false;
        for (int k = 0; k < decimals; ++k)
            if (++i >= rest.size() || !isDigit(rest[i])) return false;
        ++i;
    }
    checkRange(rest.substr(0, i));
    rest.remove_prefix(i);
    return true;
}

bool readSpace(std::string_view& rest) {
    if (rest.empty() || rest.front() != ' ') return false;
    rest.remove_prefix(1);
    return true;
}

// Reads the inside of a string literal up to its closing ")", which must be
// the only unescaped parenthesis; control bytes appear only as escapes.
// Gives the text the interpreter would see.
bool readString(std::string_view& rest, std::string& text) {
    text.clear();
    for (std::size_t i = 0; i < rest.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(rest[i]);
        if (c == ')') {
            rest.remove_prefix(i + 1);
            return true;
        }
        if (c == '(' || c < 0x20 || c == 0x7f) return false;
        if (c != '\\') {
            text += static_cast<char>(c);
            continue;
        }
        if (++i == rest.size()) return false;
        char e = rest[i];
        if (e == '(' || e == ')' || e == '\\') {
            text += e;
        } else if (e >= '0' && e <= '3' && i + 2 < rest.size() && rest[i + 1] >= '0' &&
                   rest[i + 1] <= '7' && rest[i + 2] >= '0' && rest[i + 2] <= '7') {
            text += static_cast<char>((e - '0') * 64 + (rest[i + 1] - '0') * 8 + rest[i + 2] - '0');
            i += 2;
        } else {
            return false;
        }
    }
    return false;
}

// A label is a name without "/", a space and the count in parentheses.
bool isLabel(std::string_view label) {
    if (label.empty() || label.back() != ')') return false;
    std::size_t open = label.rfind(" (");
    if (open == std::string_view::npos) return false;
    std::string_view count = label.substr(open + 2, label.size() - open - 3);
    if (!count.empty() && count.front() == '-') count.remove_prefix(1);
    // A human size: digits, perhaps one decimal, and a power of 1024.
    if (usageTree.inBytes && count.size() >= 2 &&
        std::string_view("KMGTPE").find(count.back()) != std::string_view::npos) {
        count.remove_suffix(1);
        if (count.size() == 3 && count[1] == '.') count = count.substr(0, 1);
    }
    if (count.empty()) return false;
    for (char c : count)
        if (!isDigit(c)) return false;
    return label.substr(0, open).find('/') == std::string_view::npos;
}

// One record: depth (label) height top hue saturation brightness.
void checkRecord(std::string_view line, std::int64_t& depth, bool first) {
    std::int64_t newDepth = -1;
    auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), newDepth);
    require(error == std::errc() && newDepth >= 0, "record without a depth");
    std::string_view rest = line.substr(static_cast<std::size_t>(end - line.data()));
    require(first ? newDepth == 0 : newDepth >= 1 && newDepth <= depth + 1,
            "record depths out of order");
    depth = newDepth;
    std::string label;
    require(readSpace(rest) && !rest.empty() && rest.front() == '(', "record without a label");
    rest.remove_prefix(1);
    require(readString(rest, label), "label badly escaped");
    require(isLabel(label), "label is not a name and a count");
    for (int decimals : {2, 2, 6, 6, 6}) {
        require(readSpace(rest) && readNumber(rest, decimals, true), "record number malformed");
    }
    require(rest.empty(), "record longer than seven tokens");
}

void checkTitle(std::string_view document) {
    constexpr std::string_view title = "\n(The number of disk blocks used at ";
    std::size_t at = document.find(title);
    require(at != std::string_view::npos, "no title");
    std::string_view rest = document.substr(at + title.size());
    std::string path;
    require(readString(rest, path), "title path badly escaped");
    require(rest.starts_with(" show\n"), "title not shown");
}

// The lines before the records hold numbers, names and the title and
// date strings; every number among them must be in range.
void checkFrameNumbers(std::string_view frame) {
    while (!frame.empty()) {
        std::size_t end = frame.find('\n');
        std::string_view line = frame.substr(0, end);
        frame.remove_prefix(end == std::string_view::npos ? frame.size() : end + 1);
        if (line.starts_with("(") || line.starts_with(")")) continue;  // title, date
        for (std::size_t at = 0; at < line.size();) {
            std::size_t stop = std::min(line.find_first_of(" []", at), line.size());
            std::string_view token = line.substr(at, stop - at);
            bool number = !token.empty() &&
                          (isDigit(token.front()) || token.front() == '-' || token.front() == '.');
            if (number && isDigit(token.back())) checkRange(token);
            at = stop + 1;
        }
    }
}

void checkDocument(std::string_view document) {
    constexpr std::string_view loop = "\n{ rectShow } loop\n";
    const bool figure = settings.mode == PageMode::Eps;
    require(document.starts_with(figure ? "%!PS-Adobe-3.0 EPSF-3.0\n" : "%!\n"), "bad header");
    require(document.ends_with(figure ? "\n-1\nend grestore\n" : "\n-1\nshowpage\n"),
            "document does not end with the trailer");
    checkTitle(document);
    std::size_t at = document.find(loop);
    require(at != std::string_view::npos, "no record loop");
    checkFrameNumbers(document.substr(0, at));
    std::string_view records = document.substr(at + loop.size());
    records.remove_suffix(figure ? std::string_view("-1\nend grestore\n").size()
                                 : std::string_view("-1\nshowpage\n").size());
    require(!records.empty(), "no root record");
    std::int64_t depth = 0;
    for (bool first = true; !records.empty(); first = false) {
        std::size_t end = records.find('\n');
        require(end != std::string_view::npos, "record without a line end");
        checkRecord(records.substr(0, end), depth, first);
        records.remove_prefix(end + 1);
    }
}

// The only failure in-memory input can cause; the frame written before the
// title stays.
void checkFailure(const Failure& failure, std::string_view document) {
    require(failure.status == exitPathTooLong && failure.message == "too long path\n",
            "unexpected failure");
    require(document.ends_with(" emheight add moveto\n"), "frame incomplete after failure");
    require(document.find("(The number of disk blocks") == std::string_view::npos,
            "title written before the failure");
}

// Writes the document, or what is written of it before the failure, and
// checks it.
void checkRun(std::string_view input) {
    std::string document;
    releaseNodes();
    readFromMemory(input);
    resetOutput(-1, &document);
    try {
        writeDocument();
        flushOutput();
        checkDocument(document);
    } catch (const Failure& failure) {
        flushOutput();  // into the string, which cannot fail
        checkFailure(failure, document);
    } catch (const std::bad_alloc&) {
        // Running out of memory is a reported failure, not a fault.
    }
    releaseNodes();
}

// Elements that the SVG document is made of; a name that adds any other,
// or a second script, has injected markup.
bool isSvgElement(const xmlChar* name) {
    static const std::set<std::string_view> ours = {"svg", "style", "rect", "defs",  "clipPath",
                                                    "g",   "title", "text", "script"};
    return ours.count(reinterpret_cast<const char*>(name)) != 0;
}

// Walks the elements below node, without recursion, counting scripts.
void checkElements(xmlNode* root) {
    int scripts = 0;
    std::vector<xmlNode*> pending{root};
    while (!pending.empty()) {
        xmlNode* node = pending.back();
        pending.pop_back();
        for (; node != nullptr; node = node->next) {
            if (node->type != XML_ELEMENT_NODE) continue;
            require(isSvgElement(node->name), "an element the SVG writer does not write");
            if (xmlStrEqual(node->name, BAD_CAST "script")) {
                ++scripts;
                xmlChar* text = xmlNodeGetContent(node);
                require(std::string_view(reinterpret_cast<const char*>(text)) == svgScript,
                        "the script is not the writer's");
                xmlFree(text);
            }
            if (node->children != nullptr) pending.push_back(node->children);
        }
    }
    require(scripts == 1, "not exactly one script");
}

// The same input as an SVG document, which an XML parser must read whole.
void checkSvgRun(std::string_view input) {
    std::string document;
    releaseNodes();
    readFromMemory(input);
    resetOutput(-1, &document);
    settings.svg = true;
    try {
        writeSvgDocument();
        flushOutput();
        xmlDoc* parsed = xmlReadMemory(
            document.data(), static_cast<int>(document.size()), nullptr, "UTF-8",
            XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
        require(parsed != nullptr, "the SVG document is not well-formed XML");
        checkElements(xmlDocGetRootElement(parsed));
        xmlFreeDoc(parsed);
    } catch (const Failure& failure) {
        flushOutput();
        require(failure.status == exitPathTooLong, "unexpected failure of the SVG document");
    } catch (const std::bad_alloc&) {
    }
    settings.svg = false;
    releaseNodes();
}

}  // namespace
}  // namespace voziv

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace voziv;
    if (size == 0) return 0;
    chooseSettings(data[0]);
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    checkRun(input);
    checkSvgRun(input);
    return 0;
}
