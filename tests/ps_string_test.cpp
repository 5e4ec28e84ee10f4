#include <gtest/gtest.h>

#include "chart/output.hpp"
#include "chart/ps_string.hpp"

namespace voziv {
namespace {

std::string escaped(std::string_view text) {
    std::string result;
    resetOutput(-1, &result);
    putPsString(text);
    flushOutput();
    return result;
}

TEST(PsString, EscapesWhatCouldEndOrBreakTheString) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain name", "plain name"},
        {"x) show (y", "x\\) show \\(y"},
        {"a\\", "a\\\\"},
        {"((", "\\(\\("},
        {"tab\there", "tab\\011here"},
        {"new\nline", "new\\012line"},
        {std::string("\x01\x1f\x7f", 3), "\\001\\037\\177"},
        {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"},  // UTF-8 passes
        {"\xff\x80", "\xff\x80"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(escaped(text), expected) << text;
}

TEST(PsString, EveryByteEscapedOrItself) {
    // Every byte value, checked against the rule rather than a list.
    for (int c = 1; c < 256; ++c) {
        std::string text(1, static_cast<char>(c));
        std::string out = escaped(text);
        if (c < 0x20 || c == 0x7f) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            EXPECT_EQ(out, octal);
        } else if (c == '(' || c == ')' || c == '\\') {
            EXPECT_EQ(out, "\\" + text);
        } else {
            EXPECT_EQ(out, text);
        }
    }
}

}  // namespace
}  // namespace voziv
