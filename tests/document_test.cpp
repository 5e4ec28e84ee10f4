// The whole document, byte for byte, for each page mode; the date is the one
// part that changes from run to run and is checked by its pattern.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "chart/document.hpp"
#include "chart/output.hpp"
#include "chart/page.hpp"
#include "in_process.hpp"
#include "settings/settings.hpp"

namespace voziv {
namespace {

const char* const overviewInput = "120 /home/u/a\n80 /home/u/b\n210 /home/u\n";

std::string golden(const std::string& name) {
    std::ifstream file(std::string(VOZIV_TEST_DATA) + "/golden/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Replaces the first line of the date statement by a marker, after checking
// that both of its lines have ctime's form.
std::string withoutDate(const std::string& document) {
    static const std::regex date(
        "\\((Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}\n\\) dup stringwidth pop neg 0 "
        "rmoveto show\n");
    std::smatch found;
    if (!std::regex_search(document, found, date)) return "no date statement in:\n" + document;
    return found.prefix().str() + "(@DATE@\n) dup stringwidth pop neg 0 rmoveto show\n" +
           found.suffix().str();
}

struct FrameCase {
    const char* golden;
    void (*configure)();
};

void PrintTo(const FrameCase& c, std::ostream* os) {
    *os << c.golden;
}

class Frame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(Frame, MatchesTheGoldenDocument) {
    installDefaults();
    GetParam().configure();
    EXPECT_EQ(withoutDate(testing::documentFor(overviewInput)), golden(GetParam().golden));
}

INSTANTIATE_TEST_SUITE_P(Modes, Frame,
                         ::testing::Values(FrameCase{"portrait.ps", [] {}},
                                           FrameCase{"landscape.ps",
                                                     [] {
                                                         settings.mode = PageMode::Landscape;
                                                         settings.ncols = landscapeColumns;
                                                     }},
                                           FrameCase{"eps.ps",
                                                     [] {
                                                         settings.mode = PageMode::Eps;
                                                         settings.paperWidth = 400;
                                                         settings.paperHeight = 300;
                                                     }}),
                         [](const auto& info) {
                             return std::string(info.param.golden).substr(0, 3);
                         });

TEST(Frame, EmptyInputGivesTheTopNodeAloneAndAnEmptyTitlePath) {
    installDefaults();
    std::string document = testing::documentFor("");
    EXPECT_NE(document.find("\n(The number of disk blocks used at ) show\n"), std::string::npos);
    EXPECT_EQ(testing::recordsOf(document),
              std::vector<std::string>{"0 (.. \\(0\\)) 741.89 741.89 0.000000 0.000000 1.000000"});
    EXPECT_TRUE(document.ends_with("\n-1\nshowpage\n"));
}

// Whole points in the bounding box, rounded outward, and the exact box
// after it.
TEST(Frame, FigureBoundingBoxIsInWholePoints) {
    installDefaults();
    settings.mode = PageMode::Eps;
    settings.paperWidth = 300.5;
    settings.paperHeight = 200.01;
    EXPECT_NE(testing::documentFor("").find("\n%%BoundingBox: 0 0 301 201\n"
                                            "%%HiResBoundingBox: 0 0 300.500000 200.010000\n"),
              std::string::npos);
}

TEST(Frame, DrawingAreaFollowsTheModeAndItsSizes) {
    installDefaults();
    settings.paperWidth = 100;
    settings.paperHeight = 200;
    settings.margin = 10;
    settings.fontsize = 5;
    settings.linewidth = 1;
    settings.mode = PageMode::Portrait;
    EXPECT_DOUBLE_EQ(drawingArea().width, 80);
    EXPECT_DOUBLE_EQ(drawingArea().height, 180);
    settings.mode = PageMode::Landscape;
    EXPECT_DOUBLE_EQ(drawingArea().width, 180);
    EXPECT_DOUBLE_EQ(drawingArea().height, 80);
    settings.mode = PageMode::Eps;
    EXPECT_DOUBLE_EQ(drawingArea().width, 99);
    EXPECT_DOUBLE_EQ(drawingArea().height, 189);
}

TEST(Frame, DateIsCtimeWithItsLineEndInsideTheString) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    std::string text;
    resetOutput(-1, &text);
    putDate(0);
    putDate(1700000000);
    flushOutput();
    EXPECT_EQ(text,
              "(Thu Jan  1 00:00:00 1970\n) dup stringwidth pop neg 0 rmoveto show\n"
              "(Tue Nov 14 22:13:20 2023\n) dup stringwidth pop neg 0 rmoveto show\n");
}

}  // namespace
}  // namespace voziv
