#include <gtest/gtest.h>

#include "tree/input.hpp"
#include "tree/line_reader.hpp"

namespace voziv {
namespace {

struct Split {
    std::vector<std::string> lines;
    char terminator;
};

Split split(const std::string& input) {
    readFromMemory(input);
    LineReader reader;
    Split result;
    std::string_view line;
    while (nextLine(reader, line))
        result.lines.emplace_back(line);
    result.terminator = reader.terminator;
    return result;
}

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(LineReader, SplitsAtTheTerminatorThatComesFirst) {
    EXPECT_EQ(split("1 a\n2 b\n").lines, (Lines{"1 a", "2 b"}));
    EXPECT_EQ(split("1 a\n2 b").lines, (Lines{"1 a", "2 b"}));
    EXPECT_EQ(split("").lines, Lines{});
    EXPECT_EQ(split("\n\n").lines, (Lines{"", ""}));
    Split nul = split(
        "1 a\0"s
        "2 b\nc\0"s
        "3 d"s);
    EXPECT_EQ(nul.terminator, '\0');
    EXPECT_EQ(nul.lines, (Lines{"1 a", "2 b\nc", "3 d"}));
    // du -0 output whose first path holds a newline.
    Split forged = split(
        "4\t./x\n999999 y\0"s
        "6\t.\0"s);
    EXPECT_EQ(forged.terminator, '\0');
    EXPECT_EQ(forged.lines, (Lines{"4\t./x\n999999 y", "6\t."}));
    // Past the first block a NUL is only a byte of a newline-terminated line.
    std::string filler(1u << 20, 'f');
    Split newline = split("1 a\n" + filler + "\n2 x\0y\n"s);
    EXPECT_EQ(newline.terminator, '\n');
    EXPECT_EQ(newline.lines, (Lines{"1 a", filler, "2 x"}));
}

TEST(LineReader, NewlineTextEndsAtANulOrLosesItsCarriageReturn) {
    std::string filler(1u << 20, 'f');  // past the first block, NULs are bytes of lines
    EXPECT_EQ(split(filler + "\n4 ./a\r\n4 ./b\r\r\n4 ./c\0junk\r\n4 ./d\r\0x\n\0\n5 e\r"s).lines,
              (Lines{filler, "4 ./a", "4 ./b\r", "4 ./c", "4 ./d\r", "", "5 e"}));
    // In NUL records a carriage return may end a name.
    EXPECT_EQ(split("4 ./a\r\0"s
                    "5 ./b\0"s)
                  .lines,
              (Lines{"4 ./a\r", "5 ./b"}));
}

TEST(LineReader, LinesOfAnyLengthAcrossBlocks) {
    // Lines that straddle the reader's block boundaries, and one of 10 MB.
    std::string input;
    Lines expected;
    for (std::size_t length : {1u << 20, (1u << 20) - 1, 4175u, 4176u, 10u << 20, 3u}) {
        std::string line = std::to_string(length) + " ";
        line.resize(length, 'x');
        expected.push_back(line);
        input += line + "\n";
    }
    EXPECT_EQ(split(input).lines, expected);
}

TEST(LineReader, ModeIsFoundFarIntoALongFirstLine) {
    std::string first(3u << 20, 'y');
    Split result = split("1 " + first + "\0"s + "2 z\n"s);
    EXPECT_EQ(result.terminator, '\0');
    EXPECT_EQ(result.lines, (Lines{"1 " + first, "2 z\n"}));
}

}  // namespace
}  // namespace voziv
