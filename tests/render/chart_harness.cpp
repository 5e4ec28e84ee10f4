#include "chart_harness.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "run_program.hpp"
#include "temp_dir.hpp"

namespace voziv::testing {

namespace {

std::vector<std::string> datesBetween(std::time_t first, std::time_t last) {
    std::vector<std::string> dates;
    for (std::time_t t = first; t <= last; ++t) {
        char text[64];
        if (ctime_r(&t, text) != nullptr) dates.push_back(text);
    }
    return dates;
}

// With VOZIV_RENDER_KEEP naming a directory, a test that fails leaves its
// input and document there to be looked at, however it ends.
struct KeepOnFailure {
    const std::string& input;
    const std::string& document;
    ~KeepOnFailure() {
        const char* dir = std::getenv("VOZIV_RENDER_KEEP");
        if (dir == nullptr || !::testing::Test::HasFailure()) return;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        for (char& c : name)
            if (c == '/') c = '_';
        writeFile(std::filesystem::path(dir) / (name + ".in"), input);
        writeFile(std::filesystem::path(dir) / (name + ".ps"), document);
    }
};

void expectSettings(const ChartDocument& chart, const Expected& e, const Layout& l) {
    EXPECT_EQ(chart.eps, e.mode == Mode::Eps);
    EXPECT_EQ(chart.landscape, e.mode == Mode::Landscape);
    EXPECT_NEAR(chart.width, l.width, 1e-3) << "drawing width";
    EXPECT_NEAR(chart.backgroundWidth, l.width, 1e-3) << "background width";
    EXPECT_NEAR(chart.height, l.height, 1e-3) << "drawing height";
    EXPECT_EQ(chart.ncols, e.ncols);
    EXPECT_EQ(chart.fontname, e.fontname);
    EXPECT_DOUBLE_EQ(chart.fontsize, e.fontsize);
    EXPECT_DOUBLE_EQ(chart.linewidth, e.linewidth);
}

}  // namespace

Expected onPaper(Paper paper, Expected expected) {
    expected.paperWidth = paper.width();
    expected.paperHeight = paper.height();
    return expected;
}

Layout layoutFor(const Expected& e) {
    Layout l;
    l.mediumWidth = e.paperWidth;
    l.mediumHeight = e.paperHeight;
    l.ncols = e.ncols;
    l.fontsize = e.fontsize;
    l.linewidth = e.linewidth;
    l.em = emHeight(e.fontname, e.fontsize);
    switch (e.mode) {
        case Mode::Portrait:
            l.width = e.paperWidth - 2 * e.margin;
            l.height = e.paperHeight - 2 * e.margin;
            l.originX = l.originY = e.margin;
            break;
        case Mode::Landscape:
            l.landscape = true;
            l.width = e.paperHeight - 2 * e.margin;
            l.height = e.paperWidth - 2 * e.margin;
            l.originX = e.margin;
            l.originY = e.paperHeight - e.margin;
            break;
        case Mode::Eps:
            l.width = e.paperWidth - e.linewidth;
            l.height = e.paperHeight - 2 * e.fontsize - e.linewidth;
            l.originX = l.originY = e.linewidth / 2;
            break;
    }
    return l;
}

void checkChart(const std::vector<std::string>& args, const std::string& input,
                const Expected& expected, const ChartModel& model, const Checks& checks) {
    std::time_t before = std::time(nullptr);
    ProgramResult run = runVoziv(args, input);
    std::time_t after = std::time(nullptr);
    KeepOnFailure keep{input, run.out};
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.err, "");
    const Medium medium{expected.mode == Mode::Eps, expected.paperWidth, expected.paperHeight,
                        checks.ownPage};
    ChartDocument chart;
    try {
        chart = parseChart(run.out);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "the document cannot be read back: " << e.what();
        renderImage(run.out, medium, 36);  // and what the interpreter says of it
        return;
    }
    const Layout layout = layoutFor(expected);
    expectSettings(chart, expected, layout);
    EXPECT_EQ(chart.title, model.title);
    expectRecordsMatch(chart, model, {expected.colorStep, expected.byName});

    if (checks.pixels) {
        Image image = renderImage(run.out, medium, checks.dpi);
        ASSERT_GT(image.width, 0) << "nothing rendered";
        // The page, or the figure's bounding box, to the pixel.
        double scale = checks.dpi / 72;
        EXPECT_LT(std::abs(image.width - expected.paperWidth * scale), 1.0) << "medium width";
        EXPECT_LT(std::abs(image.height - expected.paperHeight * scale), 1.0) << "medium height";
        expectDrawingMatches(image, checks.dpi, chart.records, layout);
    }
    if (checks.labels) {
        std::vector<TextSpan> spans = extractText(run.out, medium);
        expectLabelsMatch(spans, chart.records, layout, glyphMapFor(expected.fontname), chart.title,
                          datesBetween(before, after));
    }
}

}  // namespace voziv::testing
