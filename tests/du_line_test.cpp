#include <gtest/gtest.h>

#include "tree/du_line.hpp"

namespace voziv {
namespace {

struct ScanCase {
    std::string line;
    bool scans;
    std::int64_t count;
    std::string path;
    bool human = false;
};

TEST(DuLine, ScansCountAndTheWholeRestAsPath) {
    const ScanCase cases[] = {
        {"120\t/home/u/a", true, 120, "/home/u/a"},
        {"8 /home/u/My Documents", true, 8, "/home/u/My Documents"},
        {"  \t5   a  b ", true, 5, "a  b "},
        {"12abc", true, 12, "abc"},
        {"+7 x", true, 7, "x"},
        {"-3 x", true, -3, "x"},
        {"9223372036854775807 big", true, INT64_MAX, "big"},
        {"-9223372036854775808 small", true, INT64_MIN, "small"},
        {"3000000000000 /tb", true, 3000000000000, "/tb"},
        {"9223372036854775808 beyond", false, 0, ""},
        {"-9223372036854775809 beyond", false, 0, ""},
        {"", false, 0, ""},
        {"   ", false, 0, ""},
        {"stray text", false, 0, ""},
        {"42", false, 0, ""},
        {"42 \t ", false, 0, ""},
        {"- 5 x", false, 0, ""},
        {"+", false, 0, ""},
        // Sizes as du -h and du -BM write them, in bytes.
        {"1.5M\t/usr", true, 1572864, "/usr", true},
        {"4.0K x", true, 4096, "x", true},
        {"12G x", true, 12LL << 30, "x", true},
        {"1.1K x", true, 1126, "x", true},  // 1126.4, rounded
        {"-2K x", true, -2048, "x", true},
        {"7.99E x", true, 9211842821808707338, "x", true},
        {"8E x", false, 0, ""},
        {"512 x", true, 512, "x"},
        {"12Kb", true, 12, "Kb"},  // no white space after the suffix: a path
        {"1.5 x", true, 1, ".5 x"},
        {"3k x", true, 3, "k x"},
    };
    for (const ScanCase& c : cases) {
        DuLine line{};
        ASSERT_EQ(scanDuLine(c.line, line), c.scans) << c.line;
        if (!c.scans) continue;
        EXPECT_EQ(line.count, c.count) << c.line;
        EXPECT_EQ(line.path, c.path) << c.line;
        EXPECT_EQ(line.human, c.human) << c.line;
    }
}

}  // namespace
}  // namespace voziv
