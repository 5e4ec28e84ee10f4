// What Ghostscript draws, pixel by pixel, for each paper, orientation,
// figure size, colour mode, column count, font and line width.
#include <gtest/gtest.h>

#include "chart_harness.hpp"
#include "run_program.hpp"
#include "sample_trees.hpp"

namespace voziv::testing {
namespace {

struct GeometryCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    std::string rootPath;  // where du was run, as its lines name it
    std::string title;
    Expected expected;
    Checks checks = {};
};

void PrintTo(const GeometryCase& c, std::ostream* os) {
    *os << c.name;
}

const Expected landscape{.mode = Mode::Landscape, .ncols = 10};

// A page asks for its paper: rendered without a fixed medium, it is the
// whole chart on a page of that size.
const Checks ownPage{.ownPage = true};

const GeometryCase geometryCases[] = {
    {"HomeExample", {}, homeTree(), "/home/u", "./home/u", {}},
    {"A4Explicit", {"-a4"}, mixedTree(), ".", ".", {}},
    {"A3", {"-a3"}, mixedTree(), ".", ".", onPaper(a3), ownPage},
    {"B4", {"-b4"}, mixedTree(), ".", ".", onPaper(b4), ownPage},
    {"B5", {"-b5"}, mixedTree(), ".", ".", onPaper(b5), ownPage},
    {"UsLetter", {"-us"}, mixedTree(), ".", ".", onPaper(usLetter), ownPage},
    {"Landscape", {"-land"}, mixedTree(), ".", ".", landscape, ownPage},
    {"LandscapeB5", {"-b5", "-land"}, mixedTree(), ".", ".", onPaper(b5, landscape), ownPage},
    {"LandscapeA3Color",
     {"-land", "-a3", "-color"},
     wideTree(10),
     ".",
     ".",
     onPaper(a3, {.mode = Mode::Landscape, .ncols = 10, .colorStep = 4096}),
     {.dpi = 72}},
    {"PortraitAfterLandscape", {"-land", "-port"}, mixedTree(), ".", ".", {}},
    {"EightHues", {"-color"}, wideTree(11), ".", ".", {.colorStep = 4096}},
    {"ThreeHuesByName",
     {"-ncolor", "3", "-sa"},
     wideTree(11),
     ".",
     ".",
     {.colorStep = 32768 / 3, .byName = true}},
    {"TwoHues", {"-ncolor", "2"}, wideTree(5), ".", ".", {.colorStep = 16384}},
    {"MonochromeAfterColor", {"-color", "-bw"}, wideTree(5), ".", ".", {}},
    {"DeepRecordsUndrawn", {"-ncols", "3"}, deepTree(8), ".", ".", {.ncols = 3}},
    {"ManyColumnsLandscape",
     {"-land", "-ncols", "14"},
     deepTree(12),
     ".",
     ".",
     {.mode = Mode::Landscape, .ncols = 14}},
    {"Figure",
     {"-eps", "400", "300"},
     mixedTree(),
     ".",
     ".",
     {.mode = Mode::Eps, .paperWidth = 400, .paperHeight = 300}},
    {"FigureFractionalInColor",
     {"-eps", "300.5", "200.25", "-color"},
     wideTree(9),
     ".",
     ".",
     {.mode = Mode::Eps, .paperWidth = 300.5, .paperHeight = 200.25, .colorStep = 4096}},
    {"FigureWideLines",
     {"-lw", "3", "-eps", "350", "250"},
     mixedTree(),
     ".",
     ".",
     {.mode = Mode::Eps, .paperWidth = 350, .paperHeight = 250, .linewidth = 3}},
    {"FontMarginAndLine",
     {"-ff", "Helvetica", "-fs", "12", "-ms", "20", "-lw", "2"},
     mixedTree(),
     ".",
     ".",
     {.margin = 20, .fontname = "Helvetica", .fontsize = 12, .linewidth = 2}},
    {"EmptyNodeKeepsItsChildrenUndrawn", {}, treeWithEmptyNode(), ".", ".", {}},
    {"FinePixels", {}, mixedTree(), ".", ".", {}, {.dpi = 288}},
};

class Geometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(Geometry, DrawsTheRecordsOfTheData) {
    const GeometryCase& c = GetParam();
    ChartModel model = modelOfDuOutput(c.input, '\n');
    chooseModelRoot(model, c.rootPath, c.title);
    checkChart(c.args, c.input, c.expected, model, c.checks);
}

INSTANTIATE_TEST_SUITE_P(Options, Geometry, ::testing::ValuesIn(geometryCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A PDF made as ps2pdf makes it has the page of the chosen paper, upright
// for a portrait chart, turned for a landscape one.
TEST(Paper, EveryPaperGivesAPdfOfItsSize) {
    const std::pair<const char*, Paper> papers[] = {
        {"-a3", a3}, {"-a4", a4}, {"-b4", b4}, {"-b5", b5}, {"-us", usLetter}};
    for (const auto& [option, paper] : papers) {
        for (const char* orientation : {"-port", "-land"}) {
            ProgramResult run = runVoziv({option, orientation}, mixedTree());
            ASSERT_EQ(run.status, 0) << run.err;
            auto [width, height] = pdfPageSize(run.out);
            EXPECT_NEAR(width, paper.width(), 0.01) << option << " " << orientation;
            EXPECT_NEAR(height, paper.height(), 0.01) << option << " " << orientation;
        }
    }
}

}  // namespace
}  // namespace voziv::testing

namespace voziv::testing {
namespace {

// The longest run of dark pixels down the drawing's column, near its right
// edge, where labels do not reach.
int longestDarkRun(const Image& image, const Layout& layout, int column, double dpi) {
    const int x =
        static_cast<int>((layout.originX + (column + 0.92) * layout.cellwidth()) * dpi / 72);
    int longest = 0, run = 0;
    for (int y = 0; y < image.height; ++y) {
        run = image.at(x, y).r < 100 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// Hundreds of siblings thinner than their outlines merge into a solid
// black band; with -min 1 they are one grey block, and no run of black is
// longer than two outlines.
TEST(Gathering, LeavesNoSolidBand) {
    std::string input = "40000\t./big\n30000\t./other\n";
    for (int k = 0; k < 600; ++k)
        input += std::to_string(5 + k % 7) + "\t./small" + std::to_string(k) + "\n";
    input += "75000\t.\n";
    const double dpi = 144;
    const Layout layout = layoutFor({});
    for (bool gathered : {false, true}) {
        std::vector<std::string> args;
        if (gathered) args = {"-min", "1"};
        ProgramResult run = runVoziv(args, input);
        ASSERT_EQ(run.status, 0) << run.err;
        Image image = renderImage(run.out, {false, a4.width(), a4.height()}, dpi);
        ASSERT_GT(image.width, 0);
        const int longest = longestDarkRun(image, layout, 1, dpi);
        if (gathered) {
            EXPECT_LE(longest, 3) << "a band with -min 1";
        } else {
            EXPECT_GT(longest, 20) << "the plain chart should show the band";
        }
    }
}

}  // namespace
}  // namespace voziv::testing
