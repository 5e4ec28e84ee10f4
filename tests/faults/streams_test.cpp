// The binary when its resources fail it: too little memory, standard input
// or output that cannot be used, a reader that stops early, and a memory
// checker watching a whole run. Each failure has one message and status,
// and what the document wrote before it stays on standard output.
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "build_kind.hpp"
#include "run_program.hpp"
#include "temp_dir.hpp"

namespace voziv::testing {
namespace {

// The last line written before the input is read, for the default A4 page.
const char* const frameEnd = "\n0 741.889764 emheight add moveto\n";

// du's output for a tree of dirs directories of files entries each, below
// /data: enough for every sibling list to be sorted and big lists indexed.
std::string duTree(std::int64_t dirs, std::int64_t files) {
    std::string text;
    for (std::int64_t d = 0; d < dirs; ++d) {
        for (std::int64_t f = 0; f < files; ++f)
            text += std::to_string(f + 1) + "\t/data/dir" + std::to_string(d) + "/f" +
                    std::to_string(f) + "\n";
        text += std::to_string(files * files) + "\t/data/dir" + std::to_string(d) + "\n";
    }
    return text + std::to_string(dirs * files * files) + "\t/data\n";
}

// Many siblings: several megabytes of records, more than the document's
// buffer holds and far more than a pipe does.
const std::string& bigInput() {
    static const std::string text = duTree(1, 200'000);
    return text;
}

// Runs voziv through sh, as "$0", with the rest of the command line as given.
ProgramResult runInShell(const std::string& shellCommand, const std::string& input = "") {
    return runProgram({"sh", "-c", shellCommand, vozivBinary()}, input);
}

// The document with its date statement cut out: two runs differ only there.
std::string withoutDate(const std::string& document) {
    const std::string dateEnd = ") dup stringwidth pop neg 0 rmoveto show\n";
    std::size_t end = document.find(dateEnd);
    if (end == std::string::npos) return document;
    std::size_t begin = document.rfind("\n(", end) + 1;  // the date's own line end is inside
    return document.substr(0, begin) + document.substr(end + dateEnd.size());
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// --- Memory -----------------------------------------------------------------

// About three times what the binary needs to start and chart a small tree.
const char* const memoryLimit = "ulimit -v 32768 && exec \"$0\"";

struct MemoryCase {
    const char* name;
    std::string (*input)();
};

void PrintTo(const MemoryCase& c, std::ostream* os) {
    *os << c.name;
}

// Each exhausts a different allocation: the line buffer, the nodes and the
// child index of one directory, the nodes and components of one path.
const MemoryCase memoryCases[] = {
    {"OneLongLine", [] { return "1 ./" + std::string(24'000'000, 'x') + "\n"; }},
    {"MillionSiblings", [] { return duTree(1, 1'000'000); }},
    {"MillionComponents",
     [] {
         std::string path = ".";
         for (int i = 0; i < 1'000'000; ++i)
             path += "/a";
         return "1 " + path + "\n";
     }},
};

class MemoryLimit : public ::testing::TestWithParam<MemoryCase> {
protected:
    void SetUp() override {
        if (underAddressSanitizer) GTEST_SKIP() << "the sanitizer needs more address space";
    }
};

TEST_P(MemoryLimit, ReportsMallocErrorAndKeepsTheFrame) {
    ProgramResult r = runInShell(memoryLimit, GetParam().input());
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.status, 12);
    EXPECT_EQ(r.err, "malloc error\n");
    EXPECT_TRUE(r.out.ends_with(frameEnd));
}

INSTANTIATE_TEST_SUITE_P(Faults, MemoryLimit, ::testing::ValuesIn(memoryCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Without this, the limit could be failing every run, not only large ones.
TEST_F(MemoryLimit, LeavesRoomForAnOrdinaryTree) {
    ProgramResult r = runInShell(memoryLimit, duTree(50, 40));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out.ends_with("\n-1\nshowpage\n"));
}

// Every allocation of a run fails in turn, one per run: each run ends with
// the one message and status, or completes with the whole document.
TEST_F(MemoryLimit, AnyFailedAllocationIsReportedNeverASignal) {
    const std::string shim = VOZIV_FAIL_ALLOC;
    // Indexed and sorted lists, a line longer than the reader's block.
    const std::string input = duTree(3, 40) + "1 ./" + std::string(1200000, 'n') + "\n";
    const std::string preload = "LD_PRELOAD=" + shim;
    TempDir dir;
    const std::string countFile = (dir / "allocations").string();
    ProgramResult full = runProgram(
        {"env", preload, "VOZIV_COUNT_ALLOCATIONS=" + countFile, vozivBinary(), "-sa"}, input);
    ASSERT_EQ(full.status, 0) << full.err;
    const long total = std::stol(readFile(countFile));
    ASSERT_GT(total, 20);
    for (long n = 1; n <= total; ++n) {
        ProgramResult r = runProgram(
            {"env", preload, "VOZIV_FAIL_ALLOCATION=" + std::to_string(n), vozivBinary(), "-sa"},
            input);
        ASSERT_EQ(r.signal, 0) << "allocation " << n << " of " << total;
        if (r.status == 0) {
            EXPECT_EQ(withoutDate(r.out), withoutDate(full.out)) << "allocation " << n;
        } else {
            EXPECT_EQ(r.status, 12) << "allocation " << n;
            EXPECT_EQ(r.err, "malloc error\n") << "allocation " << n;
        }
    }
}

// --- Standard input and output ----------------------------------------------

struct StreamCase {
    const char* name;
    const char* command;  // for sh, with voziv as "$0"
    bool bigInput;
};

void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

// Standard input that cannot be read (a directory is tested with the other
// end-to-end tests).
const StreamCase readErrorCases[] = {
    {"Closed", "\"$0\" <&-", false},
    {"OpenedForWritingOnly", "\"$0\" 0>/dev/null", false},
    {"InputOutputError", "\"$0\" </proc/self/mem", false},
};

class ReadError : public ::testing::TestWithParam<StreamCase> {};

TEST_P(ReadError, ReportsReadErrorAndKeepsTheFrame) {
    ProgramResult r = runInShell(GetParam().command);
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.err, "read error\n");
    EXPECT_TRUE(r.out.ends_with(frameEnd));
}

INSTANTIATE_TEST_SUITE_P(Faults, ReadError, ::testing::ValuesIn(readErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Output that fails part way through a large document, or at the first
// write; one message however many writes were refused.
const StreamCase writeErrorCases[] = {
    {"FullDeviceMidDocument", "\"$0\" >/dev/full", true},
    {"OpenedForReadingOnly", "\"$0\" 1</dev/null", false},
    {"ReaderGoneWithSigpipeIgnored",
     "exec bash -c 'trap \"\" PIPE; \"$0\" | head -c 100; exit \"${PIPESTATUS[0]}\"' \"$0\"", true},
};

class WriteError : public ::testing::TestWithParam<StreamCase> {};

TEST_P(WriteError, ReportsWriteErrorOnce) {
    ProgramResult r = runInShell(GetParam().command, GetParam().bigInput ? bigInput() : "");
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.err, "write error\n");
}

INSTANTIATE_TEST_SUITE_P(Faults, WriteError, ::testing::ValuesIn(writeErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

// voziv < big | head -c 100: the pipe's reader leaves early, and voziv ends
// as filters do, killed by SIGPIPE (or quietly, had it finished first).
TEST(EarlyReaderExit, EndsByBrokenPipeWithoutAMessage) {
    ProgramResult r = runProgram({"env", "--default-signal=PIPE", "bash", "-c",
                                  "\"$0\" | head -c 100; exit \"${PIPESTATUS[0]}\"", vozivBinary()},
                                 bigInput());
    EXPECT_TRUE(r.status == 128 + SIGPIPE || r.status == 0) << r.status;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.size(), 100u);
    EXPECT_TRUE(r.out.starts_with("%!\n%%Creator: voziv\n"));
}

// --- The path limit under every line end ------------------------------------

struct PathLengthCase {
    const char* name;
    std::string end;     // the line end after the path
    std::size_t length;  // of the absolute path
    int status;
};

void PrintTo(const PathLengthCase& c, std::ostream* os) {
    *os << c.name;
}

// The line end is not part of the path: a carriage return before the
// newline, or the NUL of du -0, must not push 4096 bytes over the limit.
const PathLengthCase pathLengthCases[] = {
    {"CrlfAtTheLimit", "\r\n", 4096, 0},
    {"CrlfOverTheLimit", "\r\n", 4097, 63},
    {"NulAtTheLimit", std::string(1, '\0'), 4096, 0},
    {"NulOverTheLimit", std::string(1, '\0'), 4097, 63},
};

class PathLength : public ::testing::TestWithParam<PathLengthCase> {};

TEST_P(PathLength, LimitsAbsolutePathsAlone) {
    const PathLengthCase& c = GetParam();
    std::string path = "/" + std::string(c.length - 1, 'p');
    ProgramResult r = runVoziv({}, "1\t./a" + c.end + "1\t" + path + c.end + "2\t." + c.end);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.status == 0 ? "" : "too long path\n");
    EXPECT_TRUE(r.out.ends_with(c.status == 0 ? "\n-1\nshowpage\n" : frameEnd));
}

INSTANTIATE_TEST_SUITE_P(Faults, PathLength, ::testing::ValuesIn(pathLengthCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Memory checker -----------------------------------------------------------

struct CheckedRun {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    int status;
};

void PrintTo(const CheckedRun& c, std::ostream* os) {
    *os << c.name;
}

// A full run with sorting, indexing and colours, and a run that fails
// while the tree is half built.
const CheckedRun checkedRuns[] = {
    {"OrdinaryTree", {}, duTree(20, 30), 0},
    {"ByNameInColourOnALandscapePage", {"-sa", "-color", "-land"}, duTree(20, 30), 0},
    {"TooLongPathHalfWay", {}, duTree(5, 30) + "1 /" + std::string(4096, 'p') + "\n", 63},
};

class Valgrind : public ::testing::TestWithParam<CheckedRun> {};

TEST_P(Valgrind, FindsNoInvalidAccessAndNoLeak) {
    if (underAddressSanitizer) GTEST_SKIP() << "valgrind cannot run a sanitized binary";
    if (!onPath("valgrind")) GTEST_SKIP() << "valgrind is not installed";
    const CheckedRun& run = GetParam();
    std::vector<std::string> argv{"valgrind",
                                  "-q",
                                  "--error-exitcode=1",
                                  "--leak-check=full",
                                  "--errors-for-leak-kinds=definite",
                                  vozivBinary()};
    argv.insert(argv.end(), run.args.begin(), run.args.end());
    ProgramResult r = runProgram(argv, run.input);
    EXPECT_EQ(r.status, run.status);
    EXPECT_EQ(r.err, run.status == 0 ? "" : "too long path\n");
}

INSTANTIATE_TEST_SUITE_P(Faults, Valgrind, ::testing::ValuesIn(checkedRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace voziv::testing
