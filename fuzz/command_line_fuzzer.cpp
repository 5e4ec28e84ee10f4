// Arbitrary bytes as a command line: split at every NUL into arguments. A
// bad command line must end in one of the command line's own failures; a
// good one must leave settings from which a readable document is written.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "chart/document.hpp"
#include "chart/output.hpp"
#include "common/failure.hpp"
#include "settings/command_line.hpp"
#include "settings/settings.hpp"
#include "tree/input.hpp"
#include "tree/node.hpp"
#include "tree/ordering.hpp"

namespace voziv {
namespace {

void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "command_line_fuzzer: %s\n", what);
    std::abort();
}

std::vector<std::string> splitAtNul(std::string_view bytes) {
    std::vector<std::string> words;
    if (bytes.empty()) return words;
    for (;;) {
        std::size_t nul = bytes.find('\0');
        words.emplace_back(bytes.substr(0, nul));
        if (nul == std::string_view::npos) return words;
        bytes.remove_prefix(nul + 1);
    }
}

void checkFailure(const Failure& failure) {
    const std::string& m = failure.message;
    require(failure.status == exitBadArgument, "command line failed with another status");
    require(m.ends_with('\n'), "message without a line end");
    const bool usage = m.starts_with("unknown option ") || m.starts_with("missing value for ");
    require(usage == failure.showUsage, "usage text shown for the wrong failure");
    require(usage || m.starts_with("invalid number ") || m == "too large '-ncols'\n" ||
                m == "too small '-ncols'\n",
            "unknown message");
}

void checkSettings() {
    const Settings& s = settings;
    require(s.ncols >= 1 && s.ncols <= maxColumns, "ncols out of range");
    require(s.colorStep >= 0 && s.colorStep <= 16384, "colorStep out of range");
    require(
        s.mode == PageMode::Eps || s.mode == PageMode::Portrait || s.mode == PageMode::Landscape,
        "no page mode");
    require(s.compare == compareBySize || s.compare == compareByName, "no ordering");
    for (double value : {s.paperWidth, s.paperHeight, s.margin, s.fontsize, s.linewidth}) {
        require(std::isfinite(value), "a size is not finite");
    }
}

// Every number in the document must be one that PostScript can read: no
// "inf" or "nan" may come out of the sizes, however large they are.
void checkDocumentNumbers() {
    // The font name is written as it stands and may be any word at all, so
    // it is set aside for the scan.
    settings.fontname = "Times-Roman";
    std::string document;
    releaseNodes();
    // Counts at both ends of their range: the records' heights are the
    // largest products of a count and a size.
    readFromMemory("9223372036854775807\t./a\n-9223372036854775808\t./b\n9223372036854775807\t.\n");
    resetOutput(-1, &document);
    writeDocument();
    flushOutput();
    releaseNodes();
    std::size_t start = 0;
    while (start < document.size()) {
        std::size_t end = document.find_first_of(" \n", start);
        if (end == std::string::npos) end = document.size();
        std::string_view token(document.data() + start, end - start);
        if (token.starts_with("-")) token.remove_prefix(1);
        require(token != "inf" && token != "nan",
                "the document holds a number PostScript cannot read");
        start = end + 1;
    }
}

}  // namespace
}  // namespace voziv

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace voziv;
    std::vector<std::string> words =
        splitAtNul(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<char*> argv{const_cast<char*>("voziv")};
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    try {
        getopt(static_cast<int>(argv.size() - 1), argv.data());
    } catch (const Failure& failure) {
        checkFailure(failure);
        return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    checkSettings();
    checkDocumentNumbers();
    return 0;
}
