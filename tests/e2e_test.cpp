// The built binary as a user runs it: exit statuses, messages, and what
// stays on standard output when a run fails.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "run_program.hpp"

namespace voziv::testing {
namespace {

const char* const overviewInput = "120 /home/u/a\n80 /home/u/b\n210 /home/u\n";

TEST(Binary, ChartsTheExampleAndExitsZero) {
    ProgramResult r = runVoziv({}, overviewInput);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(
        r.out.starts_with("%!\n%%Creator: voziv\n/setpagedevice where { pop mark { << /PageSize "
                          "[595.275591 841.889764] >> setpagedevice } stopped cleartomark } if\n\n"
                          "50.000000 50.000000 translate\n"));
    EXPECT_NE(
        r.out.find("\n1 (b \\(80\\)) 282.62 317.95 0.000000 0.000000 1.000000\n-1\nshowpage\n"),
        std::string::npos);
}

TEST(Binary, WriteErrorsAreReportedWithStatusFive) {
    ProgramResult r = runProgram({"sh", "-c", "\"$0\" </dev/null >/dev/full", vozivBinary()});
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.err, "write error\n");
    r = runProgram({"sh", "-c", "\"$0\" </dev/null >&-", vozivBinary()});
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.err, "write error\n");
}

TEST(Binary, ReadErrorKeepsTheFrameAndExitsFive) {
    ProgramResult r = runProgram({"sh", "-c", "\"$0\" </", vozivBinary()});
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.err, "read error\n");
    EXPECT_TRUE(r.out.ends_with("\n0 741.889764 emheight add moveto\n"));
}

TEST(Binary, TooLongPathKeepsTheFrameAndExits63) {
    std::string accepted = "1 /" + std::string(4095, 'x') + "\n";
    ProgramResult r = runVoziv({}, accepted);
    EXPECT_EQ(r.status, 0);
    r = runVoziv({}, "1 /" + std::string(4096, 'x') + "\n");
    EXPECT_EQ(r.status, 63);
    EXPECT_EQ(r.err, "too long path\n");
    EXPECT_TRUE(r.out.ends_with("\n0 741.889764 emheight add moveto\n"));
}

std::string usageText() {
    std::ifstream file(std::string(VOZIV_TEST_DATA) + "/golden/usage.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

struct ArgumentCase {
    std::vector<std::string> args;
    const char* err;
    bool usage;  // the usage text on standard output, else nothing at all
};

TEST(Binary, BadArgumentsEndTheRunBeforeTheDocument) {
    const ArgumentCase cases[] = {
        {{"chart.ps"}, "unknown option chart.ps\n", true},
        {{"-color", ""}, "unknown option \n", true},
        {{"-Land"}, "unknown option -Land\n", true},
        {{"-ncols", "81"}, "too large '-ncols'\n", false},
        {{"-ncols", "0"}, "too small '-ncols'\n", false},
        {{"-fs", "nan"}, "invalid number nan\n", false},
        {{"-eps", "400"}, "missing value for -eps\n", true},
    };
    for (const ArgumentCase& c : cases) {
        ProgramResult r = runVoziv(c.args, "1 ./a\n");
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, c.usage ? usageText() : "") << c.err;
    }
    ProgramResult accepted = runVoziv({"-ncols", "80"}, "");
    EXPECT_EQ(accepted.status, 0);
    EXPECT_NE(accepted.out.find("\n/ncols 80 def\n"), std::string::npos);
}

TEST(Binary, HelpAndVersionGoToStandardOutput) {
    ProgramResult help = runVoziv({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out, usageText());
    ProgramResult version = runVoziv({"-land", "--version", "-bogus"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "voziv " VOZIV_VERSION "\n");
    // After a bad argument, the error decides; -h is no option.
    ProgramResult bad = runVoziv({"-h", "--help"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "unknown option -h\n");
}

// Run at a terminal, voziv says how it is meant to be fed, then reads on:
// here an end of file typed at the terminal.
TEST(Binary, HintsAtPipingWhenInputIsATerminal) {
    int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    const std::string device = ::ptsname(terminal);
    ASSERT_EQ(::write(terminal, "\x04", 1), 1);  // the end-of-file character
    ProgramResult r = runProgram({"sh", "-c", "exec \"$0\" <\"$1\"", vozivBinary(), device});
    ::close(terminal);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "voziv: reading du output from the terminal; usage: du -k DIR | voziv > chart.ps\n");
    EXPECT_TRUE(r.out.ends_with("\n-1\nshowpage\n"));
    EXPECT_EQ(runVoziv({}, "").err, "");  // not when input is a pipe
}

}  // namespace
}  // namespace voziv::testing
