// Every option's effect on the settings, the order rules, and the failures.
#include <gtest/gtest.h>

#include "common/failure.hpp"
#include "settings/command_line.hpp"
#include "settings/settings.hpp"
#include "tree/ordering.hpp"

namespace voziv {
namespace {

void parse(std::vector<std::string> args) {
    args.insert(args.begin(), "voziv");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    getopt(static_cast<int>(args.size()), argv.data());
}

struct SettingsCase {
    std::vector<std::string> args;
    void (*expect)(Settings&);  // turns the defaults into what the args must give
};

bool sameSettings(const Settings& a, const Settings& b) {
    return a.mode == b.mode && a.paperWidth == b.paperWidth && a.paperHeight == b.paperHeight &&
           a.margin == b.margin && a.fontname == b.fontname && a.fontsize == b.fontsize &&
           a.linewidth == b.linewidth && a.ncols == b.ncols && a.colorStep == b.colorStep &&
           a.compare == b.compare;
}

TEST(CommandLine, OptionsSetTheirFieldsAndTheLastWordWins) {
    using M = PageMode;
    const SettingsCase cases[] = {
        {{}, [](Settings&) {}},
        {{"-land"}, [](Settings& s) { s.mode = M::Landscape, s.ncols = 10; }},
        {{"-land", "-port"}, [](Settings&) {}},
        {{"-ncols", "5", "-land"}, [](Settings& s) { s.mode = M::Landscape, s.ncols = 10; }},
        {{"-land", "-ncols", "5"}, [](Settings& s) { s.mode = M::Landscape, s.ncols = 5; }},
        {{"-a3"}, [](Settings& s) { s.paperWidth = 841.889764, s.paperHeight = 1190.55118; }},
        {{"-b4"}, [](Settings& s) { s.paperWidth = 728.503937, s.paperHeight = 1031.811024; }},
        {{"-b5"}, [](Settings& s) { s.paperWidth = 515.905512, s.paperHeight = 728.503937; }},
        {{"-us"}, [](Settings& s) { s.paperWidth = 612, s.paperHeight = 792; }},
        {{"-us", "-a4"}, [](Settings&) {}},
        {{"-sa"}, [](Settings& s) { s.compare = compareByName; }},
        {{"-sa", "-ss"}, [](Settings&) {}},
        {{"-color"}, [](Settings& s) { s.colorStep = 4096; }},
        {{"-color", "-bw"}, [](Settings&) {}},
        {{"-ncolor", "2"}, [](Settings& s) { s.colorStep = 16384; }},
        {{"-ncolor", "3"}, [](Settings& s) { s.colorStep = 10922; }},
        {{"-ncolor", "8"}, [](Settings& s) { s.colorStep = 4096; }},
        {{"-ncolor", "1"}, [](Settings&) {}},
        {{"-ncolor", "0"}, [](Settings&) {}},
        {{"-ncolor", "-4"}, [](Settings&) {}},
        {{"-ncolor", "32769"}, [](Settings&) {}},
        {{"-ncolor", "99999999999"}, [](Settings&) {}},
        {{"-ncolor", " +16x"}, [](Settings& s) { s.colorStep = 2048; }},
        {{"-ff", "Helvetica", "-fs", "10"},
         [](Settings& s) { s.fontname = "Helvetica", s.fontsize = 10; }},
        {{"-ff", "-land"}, [](Settings& s) { s.fontname = "-land"; }},
        {{"-ff", ""}, [](Settings& s) { s.fontname = ""; }},
        {{"-fs", "-1e38"}, [](Settings& s) { s.fontsize = -1e38; }},
        {{"-fs", "0x1p3"}, [](Settings& s) { s.fontsize = 8; }},
        {{"-ms", "-3.5", "-lw", "1e-999"}, [](Settings& s) { s.margin = -3.5, s.linewidth = 0; }},
        {{"-lw", "  2.25pt"}, [](Settings& s) { s.linewidth = 2.25; }},
        {{"-ncols", "80"}, [](Settings& s) { s.ncols = 80; }},
        {{"-ncols", "1"}, [](Settings& s) { s.ncols = 1; }},
        {{"-eps", "400", "300"},
         [](Settings& s) { s.mode = M::Eps, s.paperWidth = 400, s.paperHeight = 300; }},
        {{"-land", "-eps", "400", "300"},
         [](Settings& s) {
             s.mode = M::Eps, s.paperWidth = 400, s.paperHeight = 300, s.ncols = 10;
         }},
        {{"-eps", "400", "300", "-port"},
         [](Settings& s) { s.paperWidth = 400, s.paperHeight = 300; }},
        {{"-eps", "400", "300", "-us"},
         [](Settings& s) { s.mode = M::Eps, s.paperWidth = 612, s.paperHeight = 792; }},
    };
    for (const SettingsCase& c : cases) {
        installDefaults();
        Settings expected = settings;
        c.expect(expected);
        parse(c.args);
        std::string shown;
        for (const std::string& a : c.args)
            shown += "'" + a + "' ";
        EXPECT_TRUE(sameSettings(settings, expected)) << shown;
    }
}

struct FailureCase {
    std::vector<std::string> args;
    const char* message;
    bool showUsage;
};

TEST(CommandLine, TheFirstFaultyArgumentFails) {
    const FailureCase cases[] = {
        {{"file.txt"}, "unknown option file.txt\n", true},
        {{""}, "unknown option \n", true},
        {{"-h"}, "unknown option -h\n", true},
        {{"-LAND"}, "unknown option -LAND\n", true},
        {{"-lan"}, "unknown option -lan\n", true},
        {{"-landx"}, "unknown option -landx\n", true},
        {{"-ncols", "81"}, "too large '-ncols'\n", false},
        {{"-ncols", "99999999999"}, "too large '-ncols'\n", false},
        {{"-ncols", "0"}, "too small '-ncols'\n", false},
        {{"-ncols", "-3"}, "too small '-ncols'\n", false},
        {{"-ncols", "x"}, "too small '-ncols'\n", false},
        {{"-fs", "inf"}, "invalid number inf\n", false},
        // A font of size 0 has no letter M for the document to measure.
        {{"-fs", "0"}, "invalid number 0\n", false},
        {{"-fs", "-port"}, "invalid number -port\n", false},
        {{"-fs", ""}, "invalid number \n", false},
        {{"-fs", "4e-7"}, "invalid number 4e-7\n", false},
        {{"-ms", "nan"}, "invalid number nan\n", false},
        {{"-eps", "400", "1e999"}, "invalid number 1e999\n", false},
        {{"-lw", "-infinity"}, "invalid number -infinity\n", false},
        // Finite, but past PostScript's reals: derived sizes would overflow.
        {{"-eps", "400", "0x1p1023"}, "invalid number 0x1p1023\n", false},
        {{"-ms", "-1.1e38"}, "invalid number -1.1e38\n", false},
        {{"-ff"}, "missing value for -ff\n", true},
        {{"-land", "-ncolor"}, "missing value for -ncolor\n", true},
        {{"-eps", "400"}, "missing value for -eps\n", true},
        {{"-ncols"}, "missing value for -ncols\n", true},
        // Left to right: the first fault decides, nothing after it is looked at.
        {{"-ncols", "81", "bogus"}, "too large '-ncols'\n", false},
        {{"bogus", "-ncols", "81"}, "unknown option bogus\n", true},
        {{"-land", "-fs", "nan", "-ff"}, "invalid number nan\n", false},
    };
    for (const FailureCase& c : cases) {
        try {
            parse(c.args);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.message, c.message);
            EXPECT_EQ(failure.status, exitBadArgument);
            EXPECT_EQ(failure.showUsage, c.showUsage) << c.message;
        }
    }
}

TEST(CommandLine, IntegersReadAsAtoiButClamped) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"42", 42},
        {"  -17abc", -17},
        {"+5", 5},
        {"abc", 0},
        {"", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-99999999999999999999999", INT32_MIN},
        {"\t\n 7", 7},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(readInteger(text), value) << text;
}

TEST(CommandLine, RealsReadAsAtofUpToPostScriptsRange) {
    const std::pair<const char*, double> cases[] = {
        {"12.5pt", 12.5}, {"0x10", 16.0}, {"words", 0.0},
        {"-3e2", -300.0}, {"1e38", 1e38}, {"-1e38", -1e38},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(readReal(text), value) << text;
}

}  // namespace
}  // namespace voziv
