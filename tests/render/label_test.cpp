// The labels as the interpreter draws them: names that need escaping come
// out as their true bytes, exactly the blocks taller than the font size
// carry one, and the title and the date are drawn.
#include <gtest/gtest.h>

#include <cmath>

#include "chart_harness.hpp"
#include "run_program.hpp"
#include "sample_trees.hpp"

namespace voziv::testing {
namespace {

// Each name a child of "." with a count that keeps its block tall, and the
// next name below it, so that the names stand in two columns.
std::string namedTree(const std::vector<std::string>& names, char end) {
    std::string out;
    long long total = 11;
    for (std::size_t k = 0; k < names.size(); ++k) {
        long long size = 60 - static_cast<long long>(k);
        const std::string& below = names[(k + 1) % names.size()];
        out += std::to_string(size / 2) + "\t./" + names[k] + "/" + below + end;
        out += std::to_string(size) + "\t./" + names[k] + end;
        total += size;
    }
    return out + std::to_string(total) + "\t." + end;
}

// Blocks just below, at and above the font size, as the records round them:
// 10000 blocks fill 741.89 points, so 100 are 7.42 points and 101 are 7.49.
std::string thresholdTree() {
    std::string out;
    for (long long size : {101, 100, 101, 100, 5000}) {
        std::string name = "n" + std::to_string(out.size());
        out += std::to_string(size) + "\t./" + name + "\n";
    }
    return out + "10000\t.\n";
}

struct LabelCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    char terminator;
    std::string rootPath;
    std::string title;
    Expected expected;
};

void PrintTo(const LabelCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<std::string> allNames() {
    std::vector<std::string> names = oddNames();
    std::vector<std::string> more = nulOnlyNames();
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

const std::string oddRoot = "/we(ird)/pa\\th/sp ace/\x01\xc3\xa9)";

const LabelCase labelCases[] = {
    {"OddNames", {}, namedTree(oddNames(), '\n'), '\n', ".", ".", {}},
    {"OddNamesByName",
     {"-sa", "-color"},
     namedTree(oddNames(), '\n'),
     '\n',
     ".",
     ".",
     {.colorStep = 4096, .byName = true}},
    {"NulRecords", {}, namedTree(allNames(), '\0'), '\0', ".", ".", {}},
    {"OddNamesLandscape",
     {"-land"},
     namedTree(oddNames(), '\n'),
     '\n',
     ".",
     ".",
     {.mode = Mode::Landscape, .ncols = 10}},
    {"OddNamesInFigure",
     {"-eps", "520", "640"},
     namedTree(oddNames(), '\n'),
     '\n',
     ".",
     ".",
     {.mode = Mode::Eps, .paperWidth = 520, .paperHeight = 640}},
    {"OddNamesInHelvetica",
     {"-ff", "Helvetica", "-fs", "9"},
     namedTree(oddNames(), '\n'),
     '\n',
     ".",
     ".",
     {.fontname = "Helvetica", .fontsize = 9}},
    {"OddTitle",
     {},
     "5\t" + oddRoot + "/x\n9\t" + oddRoot + "\n",
     '\n',
     oddRoot,
     "." + oddRoot,
     {}},
    {"RelativeTitle", {}, "4\tsp ace(/x\\\n8\tsp ace(\n", '\n', "sp ace(", "sp ace(", {}},
    {"EmptyInput", {}, "", '\n', "", "", {}},
    {"FontSizeBelowTheSmallBlocks",
     {"-fs", "7.41"},
     thresholdTree(),
     '\n',
     ".",
     ".",
     {.fontsize = 7.41}},
    {"FontSizeAtTheSmallerBlocks",
     {"-fs", "7.42"},
     thresholdTree(),
     '\n',
     ".",
     ".",
     {.fontsize = 7.42}},
    {"FontSizeAtTheLargerBlocks",
     {"-fs", "7.49"},
     thresholdTree(),
     '\n',
     ".",
     ".",
     {.fontsize = 7.49}},
};

class Labels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(Labels, ShowTheTrueNamesAndCounts) {
    const LabelCase& c = GetParam();
    ChartModel model = modelOfDuOutput(c.input, c.terminator);
    chooseModelRoot(model, c.rootPath, c.title);
    checkChart(c.args, c.input, c.expected, model, {.dpi = 72});
}

INSTANTIATE_TEST_SUITE_P(Names, Labels, ::testing::ValuesIn(labelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The record whose label Ghostscript drew at the span: the prolog puts the
// baseline of a block's label half way down it, in the block's column.
const Record* recordAt(const TextSpan& span, const ChartDocument& chart, const Layout& l) {
    const double x = span.x0 - l.originX, baseline = l.mediumHeight - span.y0 - l.originY;
    for (const Record& r : chart.records) {
        const double left = l.cellwidth() * static_cast<double>(r.depth);
        if (r.height > l.fontsize && x >= left && x < left + l.cellwidth() &&
            std::abs(r.top - (r.height + l.em) / 2 - baseline) < 0.3) {
            return &r;
        }
    }
    return nullptr;
}

// A fitted label is shown in up to three pieces, which txtwrite reports as
// spans of their own: joined where one begins where the other ends.
std::vector<TextSpan> joinedSpans(std::vector<TextSpan> spans) {
    std::vector<TextSpan> joined;
    for (TextSpan& span : spans) {
        if (!joined.empty() && std::abs(joined.back().y0 - span.y0) < 0.01 &&
            std::abs(joined.back().x1 - span.x0) < 0.5) {
            joined.back().x1 = span.x1;
            joined.back().text += span.text;
        } else {
            joined.push_back(std::move(span));
        }
    }
    return joined;
}

// With -fit, every label drawn ends in its block's whole size and stays
// inside its cell, in any column width and font.
TEST(FittedLabels, EndInTheirWholeSizeInsideTheirCells) {
    std::vector<std::string> names = oddNames();
    names.insert(names.end(), {"a_rather_long_directory_name", std::string(60, 'W'), "i"});
    const std::string input = namedTree(names, '\n');
    for (const char* font : {"Times-Roman", "Helvetica", "Courier"}) {
        for (long long columns : {4, 9, 20}) {
            const Expected expected{.fontname = font, .ncols = columns};
            ProgramResult run =
                runVoziv({"-fit", "-ff", font, "-ncols", std::to_string(columns)}, input);
            ASSERT_EQ(run.status, 0) << run.err;
            const ChartDocument chart = parseChart(run.out);
            const Layout layout = layoutFor(expected);
            const GlyphMap& glyphs = glyphMapFor(font);
            int labels = 0;
            for (const TextSpan& span :
                 joinedSpans(extractText(run.out, {false, a4.width(), a4.height()}))) {
                const Record* record = recordAt(span, chart, layout);
                if (record == nullptr) continue;  // the title or the date
                ++labels;
                const std::string size = record->label.substr(record->label.rfind(" (") + 1);
                EXPECT_TRUE(span.text.ends_with(txtwriteText(glyphs, size)))
                    << printable(span.text) << " of " << record->label;
                const double right = layout.originX + layout.cellwidth() * (record->depth + 1);
                EXPECT_LE(span.x1, right + 0.01) << printable(span.text) << " in " << columns;
            }
            EXPECT_GT(labels, 0) << font << " in " << columns << " columns";
        }
    }
}

}  // namespace
}  // namespace voziv::testing
