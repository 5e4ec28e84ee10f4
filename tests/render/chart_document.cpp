#include "chart_document.hpp"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace voziv::testing {

namespace {

bool isPsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\0';
}

bool isPsDelimiter(char c) {
    return std::strchr("()<>[]{}/%", c) != nullptr;
}

void skipSpaceAndComments(const std::string& text, std::size_t& at) {
    while (at < text.size()) {
        if (isPsSpace(text[at])) {
            ++at;
        } else if (text[at] == '%') {
            while (at < text.size() && text[at] != '\n' && text[at] != '\r')
                ++at;
        } else {
            break;
        }
    }
}

// A token that is not a string: a number or a name, up to the next white
// space or delimiter.
std::string readWord(const std::string& text, std::size_t& at) {
    skipSpaceAndComments(text, at);
    std::size_t start = at;
    while (at < text.size() && !isPsSpace(text[at]) && !isPsDelimiter(text[at]))
        ++at;
    if (at == start) throw std::runtime_error("expected a number at byte " + std::to_string(at));
    return text.substr(start, at - start);
}

double readNumber(const std::string& text, std::size_t& at) {
    std::string word = readWord(text, at);
    char* end = nullptr;
    double value = std::strtod(word.c_str(), &end);
    if (*end != '\0') throw std::runtime_error("not a number: " + word);
    return value;
}

std::string readString(const std::string& text, std::size_t& at) {
    skipSpaceAndComments(text, at);
    if (at >= text.size() || text[at] != '(')
        throw std::runtime_error("expected a string at byte " + std::to_string(at));
    return readPsString(text, at);
}

// The number that stands before a suffix on the line that ends with it,
// such as "/ncols 7 def".
std::string wordBefore(const std::string& document, const std::string& prefix,
                       const std::string& suffix) {
    std::size_t line = 0;
    while (line < document.size()) {
        std::size_t end = document.find('\n', line);
        if (end == std::string::npos) end = document.size();
        std::string_view text(document.data() + line, end - line);
        if (text.starts_with(prefix) && text.ends_with(suffix) &&
            text.size() >= prefix.size() + suffix.size()) {
            return std::string(
                text.substr(prefix.size(), text.size() - prefix.size() - suffix.size()));
        }
        line = end + 1;
    }
    throw std::runtime_error("no line \"" + prefix + "..." + suffix + "\"");
}

}  // namespace

std::string readPsString(const std::string& text, std::size_t& at) {
    std::string bytes;
    int depth = 1;
    ++at;
    while (at < text.size()) {
        char c = text[at++];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth == 0) return bytes;
        } else if (c == '\r') {
            // An end of line inside a string reads as one line feed.
            if (at < text.size() && text[at] == '\n') ++at;
            c = '\n';
        } else if (c == '\\' && at < text.size()) {
            char e = text[at++];
            switch (e) {
                case 'n':
                    c = '\n';
                    break;
                case 'r':
                    c = '\r';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'b':
                    c = '\b';
                    break;
                case 'f':
                    c = '\f';
                    break;
                case '\r':
                    if (at < text.size() && text[at] == '\n') ++at;
                    continue;
                case '\n':
                    continue;
                default:
                    if (e >= '0' && e <= '7') {
                        int value = e - '0';
                        for (int k = 0;
                             k < 2 && at < text.size() && text[at] >= '0' && text[at] <= '7'; ++k)
                            value = value * 8 + (text[at++] - '0');
                        c = static_cast<char>(value & 0xFF);
                    } else {
                        c = e;  // \\, \( and \), and a backslash before anything else is dropped
                    }
            }
        }
        bytes += c;
    }
    throw std::runtime_error("unterminated string");
}

ChartDocument parseChart(const std::string& document) {
    ChartDocument chart;
    chart.eps = document.starts_with("%!PS-Adobe-3.0 EPSF-3.0\n");
    chart.landscape = document.find("\n-90 rotate\n") != std::string::npos;
    chart.fontsize = std::atof(wordBefore(document, "/fontsize ", " def").c_str());
    chart.fontname = wordBefore(document, "/", " findfont fontsize scalefont setfont");
    chart.ncols = std::atoll(wordBefore(document, "/ncols ", " def").c_str());
    chart.width = std::atof(wordBefore(document, "/cellwidth ", " ncols div def").c_str());
    std::string background = wordBefore(document, "newpath ", " 0 0 rect .9 setgray fill");
    char* rest = nullptr;
    chart.backgroundWidth = std::strtod(background.c_str(), &rest);
    chart.height = std::strtod(rest, nullptr);
    chart.linewidth = std::atof(wordBefore(document, "", " setlinewidth 0 setgray").c_str());

    const std::string titleStart = "\n(The number of disk blocks used at ";
    std::size_t at = document.find(titleStart);
    if (at == std::string::npos) throw std::runtime_error("no title");
    ++at;
    chart.title = readPsString(document, at).substr(titleStart.size() - 2);

    const std::string loop = "\n{ rectShow } loop\n";
    at = document.find(loop);
    if (at == std::string::npos) throw std::runtime_error("no record loop");
    at += loop.size();
    for (;;) {
        Record r;
        std::string depth = readWord(document, at);
        r.depth = std::atoll(depth.c_str());
        if (r.depth < 0) break;
        r.label = readString(document, at);
        r.height = readNumber(document, at);
        r.top = readNumber(document, at);
        r.hue = readNumber(document, at);
        r.saturation = readNumber(document, at);
        r.brightness = readNumber(document, at);
        chart.records.push_back(std::move(r));
    }
    return chart;
}

std::string labelFor(const std::string& name, long long size) {
    return name + " (" + std::to_string(size) + ")";
}

bool splitLabel(const std::string& label, std::string& name, long long& size) {
    std::size_t open = label.rfind(" (");
    if (open == std::string::npos || !label.ends_with(")")) return false;
    std::string digits = label.substr(open + 2, label.size() - open - 3);
    char* end = nullptr;
    size = std::strtoll(digits.c_str(), &end, 10);
    if (digits.empty() || *end != '\0') return false;
    name = label.substr(0, open);
    return true;
}

}  // namespace voziv::testing
