#include "in_process.hpp"

#include <algorithm>

#include "chart/document.hpp"
#include "chart/output.hpp"
#include "tree/input.hpp"
#include "tree/node.hpp"

namespace voziv::testing {

std::string documentFor(std::string_view input) {
    std::string document;
    releaseNodes();
    readFromMemory(input);
    resetOutput(-1, &document);
    writeDocument();
    flushOutput();
    return document;
}

std::vector<std::string> linesOf(const std::string& document) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < document.size()) {
        std::size_t end = document.find('\n', start);
        if (end == std::string::npos) end = document.size();
        lines.push_back(document.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> recordsOf(const std::string& document) {
    std::vector<std::string> lines = linesOf(document);
    auto first = std::find(lines.begin(), lines.end(), "{ rectShow } loop");
    auto last = std::find(first, lines.end(), "-1");
    if (first == lines.end()) return {};
    return {first + 1, last};
}

}  // namespace voziv::testing
