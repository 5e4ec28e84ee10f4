#include <gtest/gtest.h>

#include "tree/du_line.hpp"

namespace voziv {
namespace {

struct ScanCase {
    std::string line;
    bool scans;
    std::int64_t count;
    std::string path;
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
    };
    for (const ScanCase& c : cases) {
        DuLine line{};
        ASSERT_EQ(scanDuLine(c.line, line), c.scans) << c.line;
        if (!c.scans) continue;
        EXPECT_EQ(line.count, c.count) << c.line;
        EXPECT_EQ(line.path, c.path) << c.line;
    }
}

}  // namespace
}  // namespace voziv
