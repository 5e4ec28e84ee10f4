// GNU du writes the input: trees made on disk with files of known sizes,
// odd names, ten levels and a directory of thousands of entries, charted
// from du's own output in each of its modes.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "chart_harness.hpp"
#include "run_program.hpp"
#include "sample_trees.hpp"
#include "temp_dir.hpp"

namespace voziv::testing {
namespace {

namespace fs = std::filesystem;

// What a test made, by path below the tree's top ("" for the top itself).
struct MadeTree {
    std::set<std::string> directories{""};
    std::set<std::string> files;
};

std::string below(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "/" + name;
}

void makeDirectory(const fs::path& top, MadeTree& made, const std::string& path) {
    fs::create_directory(top / path);
    made.directories.insert(path);
}

void makeFile(const fs::path& top, MadeTree& made, const std::string& path, std::size_t size) {
    writeFile(top / path, std::string(size, 'x'));
    made.files.insert(path);
}

// Files of sizes from a few bytes to some hundred kilobytes; a directory
// for each odd name; a chain ten levels deep; a directory of 3000 entries.
MadeTree makeTree(const fs::path& top, bool withLineEndsInNames) {
    MadeTree made;
    fs::create_directories(top);
    makeFile(top, made, "small", 10);
    makeFile(top, made, "large", 300000);
    makeDirectory(top, made, "odd");
    std::vector<std::string> names = oddNames();
    if (withLineEndsInNames) {
        std::vector<std::string> more = nulOnlyNames();
        names.insert(names.end(), more.begin(), more.end());
    }
    for (std::size_t k = 0; k < names.size(); ++k) {
        std::string dir = below("odd", names[k]);
        makeDirectory(top, made, dir);
        makeFile(top, made, below(dir, "f"), 4000 * (k + 1));
    }
    std::string deep = "deep";
    for (int level = 1; level <= 10; ++level) {
        makeDirectory(top, made, deep);
        makeFile(top, made, below(deep, "f"), 9000 * static_cast<std::size_t>(level));
        deep = below(deep, "l" + std::to_string(level));
    }
    makeDirectory(top, made, "many");
    for (int k = 0; k < 3000; ++k) {
        std::string entry = below("many", "e" + std::to_string(k));
        if (k % 6 == 0) {
            makeDirectory(top, made, entry);
        } else {
            makeFile(top, made, entry, static_cast<std::size_t>(k % 5));
        }
    }
    return made;
}

struct DuCase {
    const char* name;
    std::vector<std::string> duFlags;
    std::vector<std::string> operands;  // below the tree's top; "" is the top itself
    bool fromTop;   // du runs in the tree's top with relative operands, else in its parent
    bool absolute;  // the operands are given as absolute paths
    std::vector<std::string> vozivArgs;
    Expected expected;
};

void PrintTo(const DuCase& c, std::ostream* os) {
    *os << c.name;
}

const DuCase duCases[] = {
    {"CurrentDirectory", {}, {}, true, false, {}, {}},
    {"KilobytesOfAnAbsolutePath", {"-k"}, {""}, true, true, {"-sa"}, {.byName = true}},
    {"BytesOfARelativePath", {"-b"}, {"tree"}, false, false, {"-color"}, {.colorStep = 4096}},
    {"AllEntries", {"-a"}, {"."}, true, false, {"-land"}, {.mode = Mode::Landscape, .ncols = 10}},
    {"NulRecordsOfTwoArguments", {"-0", "-a"}, {"deep", "odd"}, true, false, {}, {}},
    {"TwoRelativeArguments", {}, {"many", "odd"}, true, false, {}, {}},
    {"TwoAbsoluteArguments", {"-b"}, {"deep", "odd"}, true, true, {}, {}},
};

struct DuRun {
    std::string output;
    char terminator;
    std::vector<std::string> operands;  // as given to du
    std::vector<std::string> below;     // each operand's path below the tree's top
};

DuRun runDu(const DuCase& c, const fs::path& parent, const fs::path& top) {
    DuRun run;
    run.terminator = '\n';
    for (const std::string& flag : c.duFlags)
        if (flag == "-0") run.terminator = '\0';
    for (const std::string& operand : c.operands) {
        std::string inTop = operand == "tree" ? "" : operand == "." ? "" : operand;
        run.below.push_back(inTop);
        if (c.absolute) {
            run.operands.push_back(inTop.empty() ? top.string() : (top / inTop).string());
        } else {
            run.operands.push_back(operand);
        }
    }
    if (c.operands.empty()) run.below.push_back("");
    std::vector<std::string> argv{"sh", "-c", "cd \"$0\" && exec du \"$@\"",
                                  (c.fromTop ? top : parent).string()};
    argv.insert(argv.end(), c.duFlags.begin(), c.duFlags.end());
    argv.insert(argv.end(), run.operands.begin(), run.operands.end());
    ProgramResult r = runProgram(argv);
    EXPECT_EQ(r.status, 0) << r.err;
    run.output = r.out;
    return run;
}

// Each path du wrote is something the test made, below the operand it
// came from, and every directory made below an operand is in du's output.
void expectDuSawTheTree(const DuRun& run, const MadeTree& made, bool all) {
    std::vector<std::string> paths = pathsOfDuOutput(run.output, run.terminator);
    std::set<std::string> seen;
    for (const std::string& path : paths) {
        bool found = false;
        for (std::size_t k = 0; k < std::max<std::size_t>(run.operands.size(), 1) && !found; ++k) {
            std::string operand = run.operands.empty() ? "." : run.operands[k];
            std::string rest;
            if (path == operand) {
                rest = run.below[k];
            } else if (path.starts_with(operand + "/")) {
                rest = below(run.below[k], path.substr(operand.size() + 1));
            } else {
                continue;
            }
            found = made.directories.count(rest) || (all && made.files.count(rest));
            if (found) seen.insert(rest);
        }
        EXPECT_TRUE(found) << "du wrote a path the test did not make: " << path;
    }
    for (const std::string& dir : made.directories) {
        bool underOperand = false;
        for (const std::string& base : run.below)
            underOperand =
                underOperand || base.empty() || dir == base || dir.starts_with(base + "/");
        if (underOperand) {
            EXPECT_TRUE(seen.count(dir)) << "du left out " << dir;
        }
    }
}

class RealDu : public ::testing::TestWithParam<DuCase> {};

TEST_P(RealDu, ChartsTheTreeItMeasured) {
    const DuCase& c = GetParam();
    TempDir dir;
    const fs::path top = dir / "tree";
    bool nul = std::find(c.duFlags.begin(), c.duFlags.end(), "-0") != c.duFlags.end();
    MadeTree made = makeTree(top, nul);
    DuRun run = runDu(c, dir.path(), top);
    bool all = std::find(c.duFlags.begin(), c.duFlags.end(), "-a") != c.duFlags.end();
    expectDuSawTheTree(run, made, all);

    // The root is the directory du was run on; several arguments chart
    // their common directory, or the top above relative ones.
    std::string rootPath = run.operands.empty() ? "." : run.operands.front();
    std::string title = rootPath.starts_with("/") ? "." + rootPath : rootPath;
    if (run.operands.size() > 1) {
        rootPath = c.absolute ? top.string() : "";
        title = c.absolute ? "." + rootPath : "";
    }
    ChartModel model = modelOfDuOutput(run.output, run.terminator);
    chooseModelRoot(model, rootPath, title);
    checkChart(c.vozivArgs, run.output, c.expected, model, {.dpi = 72});
}

INSTANTIATE_TEST_SUITE_P(Modes, RealDu, ::testing::ValuesIn(duCases),
                         [](const auto& info) { return std::string(info.param.name); });

// du -0 on a directory whose only subdirectory has a line feed in its
// name: the first record holds a line feed before its NUL.
TEST(NulRecords, WhoseFirstPathHoldsALineEndAreRead) {
    TempDir dir;
    fs::create_directories(dir / "top" / "a\nb");
    writeFile(dir / "top" / "a\nb" / "f", std::string(5000, 'x'));
    ProgramResult du = runProgram({"sh", "-c", "cd \"$0\" && exec du -0", (dir / "top").string()});
    ASSERT_EQ(du.status, 0) << du.err;
    ChartModel model = modelOfDuOutput(du.out, '\0');
    chooseModelRoot(model, ".", ".");
    checkChart({}, du.out, {}, model, {.dpi = 72});
}

}  // namespace
}  // namespace voziv::testing

namespace voziv::testing {
namespace {

// The block heights of a chart by label name, and the sizes its labels show.
struct Heights {
    std::map<std::string, double> byName;
    std::vector<std::string> sizes;
};

Heights heightsOf(const std::string& document) {
    Heights heights;
    for (const Record& r : parseChart(document).records) {
        const std::size_t open = r.label.rfind(" (");
        heights.byName[r.label.substr(0, open)] = r.height;
        heights.sizes.push_back(r.label.substr(open + 2, r.label.size() - open - 3));
    }
    return heights;
}

// du -h, du -BM and du -b with -unit 1 of one tree: the same blocks, of
// the same heights within du's rounding up to a tenth (or a whole MiB),
// and every label a size as du -h writes it.
TEST(HumanSizes, FromDuHBmAndBytesChartAlike) {
    TempDir dir;
    const fs::path top = dir / "sizes";
    MadeTree made;
    fs::create_directories(top);
    // Each directory a little under whole mebibytes with its own entry, so
    // that du -BM, which rounds up, is off by a fraction.
    const std::size_t mebibyte = 1 << 20, lessEntries = 8192;
    for (auto [path, size] : std::initializer_list<std::pair<const char*, std::size_t>>{
             {"a", 0},
             {"a/f", 9 * mebibyte - lessEntries},
             {"b", 0},
             {"b/f", 23 * mebibyte / 2 - lessEntries},
             {"c", 0},
             {"c/f", 40 * mebibyte - lessEntries},
             {"c/d", 0},
             {"c/d/f", 5 * mebibyte - lessEntries}}) {
        if (size == 0) {
            makeDirectory(top, made, path);
        } else {
            makeFile(top, made, path, size);
        }
    }
    std::map<std::string, Heights> charts;
    const std::vector<std::vector<std::string>> runs = {
        {"du", "--apparent-size", "-h", top.string()},
        {"du", "--apparent-size", "-BM", top.string()},
        {"du", "-b", top.string()}};
    for (const auto& command : runs) {
        ProgramResult du = runProgram(command);
        ASSERT_EQ(du.status, 0) << du.err;
        std::vector<std::string> args;
        if (command[1] == "-b") args = {"-unit", "1"};
        ProgramResult chart = runVoziv(args, du.out);
        ASSERT_EQ(chart.status, 0) << chart.err;
        charts[command[command.size() - 2]] = heightsOf(chart.out);
    }
    const Heights& exact = charts["-b"];
    for (const auto& [flag, heights] : charts) {
        EXPECT_EQ(heights.byName.size(), exact.byName.size()) << flag;
        for (const auto& [name, height] : exact.byName)
            EXPECT_NEAR(heights.byName.at(name), height, 0.03 * height + 1) << flag << " " << name;
        for (const std::string& size : heights.sizes)
            EXPECT_TRUE(std::regex_match(size, std::regex("[0-9]+(\\.[0-9])?[KMGTPE]?"))) << size;
    }
    EXPECT_EQ(exact.sizes.front(), "66M");  // the root's sum, from the bytes
}

}  // namespace
}  // namespace voziv::testing
