// Real du output of a tree with awkward names, charted by the binary: every
// line du wrote must come back as a record with its true name and count, and
// Ghostscript must read every document without an error.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "run_program.hpp"

namespace voziv::testing {
namespace {

namespace fs = std::filesystem;
using Counts = std::map<std::string, std::string>;  // path below the root -> count

// Names that break naive parsing or PostScript strings.
const char* const oddNames[] = {
    "My Documents", "x) show (y", "back\\slash",  "caf\xc3\xa9 \xe2\x82\xac", "tab\there", "((",
    "trailing ",    "new\nline",  "ctrl\x01\x7f", "%!not a comment",
};

fs::path makeTree() {
    fs::path root = fs::temp_directory_path() / ("voziv-du-" + std::to_string(::getpid()));
    fs::remove_all(root);
    int size = 1;
    for (const char* name : oddNames) {
        fs::path dir = root / name / "inner dir";
        fs::create_directories(dir);
        std::ofstream(dir / "file (1)") << std::string(static_cast<std::size_t>(size) * 5000, 'x');
        std::ofstream(root / name / "file")
            << std::string(static_cast<std::size_t>(size) * 300, 'y');
        ++size;
    }
    return root;
}

// Reads a PostScript string literal's contents back to bytes.
std::string unescape(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
        } else if (text[i + 1] >= '0' && text[i + 1] <= '7') {
            bytes += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 3)), nullptr, 8));
            i += 3;
        } else {
            bytes += text[++i];
        }
    }
    return bytes;
}

// The records' paths relative to the chart root, and their counts.
Counts chartedCounts(const std::string& document) {
    Counts counts;
    std::vector<std::string> names;  // by depth
    std::size_t at = document.find("{ rectShow } loop\n") + 18;
    for (std::size_t end; (end = document.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = document.substr(at, end - at);
        if (line == "-1") break;
        std::size_t open = line.find(" ("), close = line.rfind(" \\(");
        std::size_t depth = std::stoul(line.substr(0, open));
        names.resize(depth);
        names.push_back(unescape(line.substr(open + 2, close - open - 2)));
        std::string path;
        for (std::size_t d = 1; d < names.size(); ++d)
            path += "/" + names[d];
        counts[path] = line.substr(close + 3, line.find("\\))", close) - close - 3);
    }
    return counts;
}

// du's own lines, relative to root; read from du -0, where no name is ambiguous.
Counts duCounts(const fs::path& root, const std::vector<std::string>& flags) {
    std::vector<std::string> argv{"du", "-0"};
    argv.insert(argv.end(), flags.begin(), flags.end());
    argv.push_back(root.string());
    std::string out = runProgram(argv).out;
    Counts counts;
    for (std::size_t at = 0, end; (end = out.find('\0', at)) != std::string::npos; at = end + 1) {
        std::string record = out.substr(at, end - at);
        std::size_t tab = record.find('\t');
        counts[record.substr(tab + 1 + root.string().size())] = record.substr(0, tab);
    }
    return counts;
}

void expectRenders(const std::string& document) {
    ProgramResult gs = runProgram(
        {"gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=nullpage", "-"}, document);
    EXPECT_EQ(gs.status, 0) << gs.out << gs.err;
    EXPECT_EQ(gs.err, "");
}

struct DuCase {
    std::vector<std::string> flags;
    bool nulRecords;
};

TEST(RealDu, EveryLineComesBackWithItsNameAndCount) {
    fs::path root = makeTree();
    const DuCase cases[] = {{{}, false},     {{"-k"}, false}, {{"-a"}, false},
                            {{"-b"}, false}, {{}, true},      {{"-a", "-b"}, true}};
    for (const DuCase& c : cases) {
        std::vector<std::string> argv{"du"};
        if (c.nulRecords) argv.push_back("-0");
        argv.insert(argv.end(), c.flags.begin(), c.flags.end());
        argv.push_back(root.string());
        ProgramResult chart = runVoziv({}, runProgram(argv).out);
        ASSERT_EQ(chart.status, 0) << chart.err;
        EXPECT_NE(chart.out.find("(The number of disk blocks used at ." + root.string() + ") show"),
                  std::string::npos);
        Counts charted = chartedCounts(chart.out);
        Counts expected = duCounts(root, c.flags);
        std::size_t checked = 0;
        for (const auto& [path, count] : expected) {
            // In plain du output a newline in a name splits the line: only
            // NUL records can carry such names.
            if (!c.nulRecords && path.find('\n') != std::string::npos) continue;
            EXPECT_EQ(charted[path], count) << "du " << argv[1] << " path " << path;
            ++checked;
        }
        EXPECT_GE(checked, c.nulRecords ? expected.size() : expected.size() - 4);
        expectRenders(chart.out);
    }
    fs::remove_all(root);
}

TEST(RealDu, TwoArgumentsShareTheRoot) {
    fs::path root = makeTree();
    ProgramResult du =
        runProgram({"du", "-0", (root / "((").string(), (root / "My Documents").string()});
    ProgramResult chart = runVoziv({}, du.out);
    ASSERT_EQ(chart.status, 0);
    Counts charted = chartedCounts(chart.out);
    Counts a = duCounts(root / "((", {}), b = duCounts(root / "My Documents", {});
    // The walk stops at the deepest directory the two have in common, which
    // du never named: it gets the sum of the two arguments.
    EXPECT_NE(chart.out.find("(The number of disk blocks used at ." + root.string() + ") show"),
              std::string::npos);
    EXPECT_EQ(std::stoll(charted[""]), std::stoll(a[""]) + std::stoll(b[""]));
    EXPECT_EQ(charted["/(("], a[""]);
    EXPECT_EQ(charted["/My Documents/inner dir"], b["/inner dir"]);
    expectRenders(chart.out);
    fs::remove_all(root);
}

}  // namespace
}  // namespace voziv::testing
