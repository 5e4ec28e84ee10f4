// Input at the edges of what du can write, and beyond: huge and deep trees,
// extreme counts, very long lines, every line end. The binary must chart it
// without failing, and every well-formed line must be in the chart, as a
// record labelled with the last component of its path and its count.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "build_kind.hpp"
#include "run_program.hpp"

namespace voziv::testing {
namespace {

// An input and what its chart must show, written line by line.
struct DuInput {
    std::string text;
    std::string end = "\n";            // the line end du uses
    std::vector<std::string> labels;   // "name (count)", as the interpreter reads them
    std::vector<std::string> absent;   // names that must not be charted
    std::optional<std::string> title;  // the path the title must show

    // A line du could write: its path's last component gets a record.
    void line(std::int64_t count, const std::string& path) {
        text += std::to_string(count) + "\t" + path + end;
        labels.push_back(path.substr(path.rfind('/') + 1) + " (" + std::to_string(count) + ")");
    }
    // A line that is not one: it must change nothing.
    void junk(const std::string& raw) { text += raw + end; }
};

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

// The text of a PostScript string literal starting at s[at], just after its
// "("; at is left just after the closing ")". Null when it is malformed.
std::optional<std::string> readString(const std::string& s, std::size_t& at) {
    std::string text;
    for (; at < s.size(); ++at) {
        char c = s[at];
        if (c == ')') {
            ++at;
            return text;
        }
        if (c == '(' || c == '\n') return std::nullopt;
        if (c != '\\') {
            text += c;
        } else if (at + 1 < s.size() &&
                   (s[at + 1] == '(' || s[at + 1] == ')' || s[at + 1] == '\\')) {
            text += s[++at];
        } else if (at + 3 < s.size() && isOctal(s[at + 1]) && isOctal(s[at + 2]) &&
                   isOctal(s[at + 3])) {
            text += static_cast<char>((s[at + 1] - '0') * 64 + (s[at + 2] - '0') * 8 +
                                      (s[at + 3] - '0'));
            at += 3;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

struct Chart {
    std::unordered_map<std::string, std::size_t> labels;  // how often each label is charted
    std::string title;
};

// The labels of the records and the title's path.
Chart chartOf(const std::string& document) {
    Chart chart;
    const std::string titleStart = "\n(The number of disk blocks used at ";
    std::size_t at = document.find(titleStart);
    if (at == std::string::npos) return chart;
    at += titleStart.size();
    chart.title = readString(document, at).value_or("<malformed>");
    const std::string loop = "\n{ rectShow } loop\n";
    at = document.find(loop, at);
    if (at == std::string::npos) return chart;
    for (at += loop.size(); at < document.size() && document.compare(at, 3, "-1\n") != 0;) {
        std::size_t open = document.find(" (", at);
        std::size_t lineEnd = document.find('\n', at);
        if (open == std::string::npos || open > lineEnd) break;
        at = open + 2;
        ++chart.labels[readString(document, at).value_or("<malformed>")];
        at = document.find('\n', at) + 1;
    }
    return chart;
}

struct HostileCase {
    const char* name;
    std::function<DuInput()> build;
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t smallest = std::numeric_limits<std::int64_t>::min();

// Counts that fit: one child per level, each level one block more than the
// level below, so that every level has blocks and gets its record.
DuInput namedChain(std::size_t depth) {
    DuInput in;
    std::string path = ".";
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < depth; ++i)
        paths.push_back(path += "/d");
    for (std::size_t i = depth; i-- > 0;)
        in.line(static_cast<std::int64_t>(depth - i + 1), paths[i]);
    in.line(static_cast<std::int64_t>(depth + 2), ".");
    return in;
}

const HostileCase hostileCases[] = {
    {"MillionComponentsInOnePath",
     [] {
         DuInput in;
         std::string path = "c0";
         for (std::size_t i = 1; i < stressSize(1'000'000); ++i)
             path += "/c" + std::to_string(i);
         in.line(5, path);  // unnamed directories above it: it is the chart root
         in.title = path;
         return in;
     }},
    {"DeepTreeNamedAtEveryLevel", [] { return namedChain(stressSize(2000)); }},
    {"MillionSiblings",
     [] {
         DuInput in;
         const std::int64_t n = static_cast<std::int64_t>(stressSize(1'000'000));
         for (std::int64_t i = 1; i <= n; ++i)
             in.line(i % 1000, "./d/n" + std::to_string(i));
         in.line(n * 500, "./d");
         in.line(n * 500, ".");
         return in;
     }},
    {"CountsNearTheLimits",
     [] {
         DuInput in;
         in.line(largest, "./big/max");
         in.line(largest - 1, "./big/below-max");
         in.line(smallest, "./big/min");
         in.junk("9223372036854775808\t./big/over");
         in.junk("-9223372036854775809\t./big/under");
         in.line(largest, "./big");
         in.line(largest, ".");
         in.absent = {"over", "under"};
         return in;
     }},
    {"NegativeCounts",
     [] {
         DuInput in;
         in.line(-5, "./neg/a");
         in.line(3, "./neg/b");
         in.line(-1, "./neg");
         in.line(-7, "./c");
         in.line(10, ".");
         return in;
     }},
    {"TenMegabyteLines",
     [] {
         DuInput in;
         const std::size_t length = stressSize(10'000'000);
         in.line(1, "./" + std::string(length, 'x'));
         in.junk(std::string(length, 'j'));  // no count: skipped
         in.line(2, "./small");
         in.line(3, "./" + std::string(length, 'y') + "/z");
         in.line(4, "./" + std::string(length, 'y'));
         in.line(20, ".");
         return in;
     }},
    {"NoFinalLineEnd",
     [] {
         DuInput in;
         in.line(1, "./a");
         in.line(2, "./b");
         in.line(5, ".");
         in.text.pop_back();
         return in;
     }},
    {"CarriageReturnLineEnds",
     [] {
         DuInput in;
         in.end = "\r\n";
         in.line(4, "./src/tree");
         in.line(6, "./src");
         in.line(1, "./doc");
         in.junk("");
         in.line(9, ".");
         in.title = ".";
         return in;
     }},
    {"NulTerminatedRecords",
     [] {
         DuInput in;
         in.end = std::string(1, '\0');
         in.line(4, "./carriage\r");
         in.line(3, "./line\nbreak");  // after the first NUL, a newline is part of a name
         in.line(5, "./tab\tand space");
         in.line(20, ".");
         return in;
     }},
    {"EveryByteInNames",
     [] {
         DuInput in;
         for (int byte = 1; byte < 256; ++byte) {
             if (byte == '/' || byte == '\n') continue;
             in.line(byte, "./all/b" + std::string(1, static_cast<char>(byte)) + "e");
         }
         in.line(40000, "./all");
         in.line(40000, ".");
         return in;
     }},
};

class HostileInput : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, ChartsEveryWellFormedLine) {
    DuInput in = GetParam().build();
    ProgramResult r = runVoziv({}, in.text);
    ASSERT_EQ(r.signal, 0);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_TRUE(r.out.ends_with("\n-1\nshowpage\n"));
    Chart chart = chartOf(r.out);
    EXPECT_EQ(chart.labels.count("<malformed>"), 0u);
    if (in.title) {
        EXPECT_TRUE(chart.title == *in.title) << "title differs";
    }
    std::size_t missing = 0;
    for (const std::string& label : in.labels) {
        auto found = chart.labels.find(label);
        if (found != chart.labels.end() && found->second > 0) {
            --found->second;
        } else if (++missing <= 5) {
            ADD_FAILURE() << "not charted: " << label.substr(0, 80);
        }
    }
    EXPECT_EQ(missing, 0u) << "of " << in.labels.size() << " lines";
    for (const auto& [label, times] : chart.labels) {
        for (const std::string& name : in.absent)
            EXPECT_FALSE(label.starts_with(name + " (")) << label;
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileInput, ::testing::ValuesIn(hostileCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace voziv::testing
