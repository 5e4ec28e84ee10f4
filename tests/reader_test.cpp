// What the reader makes of inputs that plain du output does not show: blanks,
// NUL records, carriage returns, lines that do not scan, long paths.
#include <gtest/gtest.h>

#include "common/failure.hpp"
#include "settings/settings.hpp"
#include "tree/input.hpp"
#include "tree/node.hpp"
#include "tree/ordering.hpp"
#include "tree/reader.hpp"
#include "tree_dump.hpp"

namespace voziv {
namespace {

using namespace std::string_literals;

std::string readTree(const std::string& input) {
    releaseNodes();
    readFromMemory(input);
    std::string title = readDuOutput();
    return title + " " + testing::dumpTree(usageTree.root);
}

struct ReaderCase {
    std::string input;
    std::string tree;  // the title path, a space, the chart root's tree
};

TEST(Reader, ReadsEveryFormOfDuOutput) {
    installDefaults();
    const ReaderCase cases[] = {
        // Blanks belong to the path.
        {"4\t/home/u/My Documents/x\n9\t/home/u/My Documents\n12\t/home/u\n",
         "./home/u u(12)[My Documents(9)[x(4)]]"},
        // CRLF line ends, and no line end at the very end.
        {"2 ./a\r\n3 .\r\n", ". .(3)[a(2)]"},
        {"2 ./a\n3 .", ". .(3)[a(2)]"},
        // du -0: a newline is part of a name, and cannot forge a line.
        {"2\t./y\0"s
         "4\t./x\n999999 z\0"s
         "6\t.\0"s,
         ". .(6)[x\n999999 z(4)y(2)]"},
        {"4\t./x\n999999 z\0"s + "6\t.\0"s, ". .(6)[x\n999999 z(4)]"},
        // Past the first block of newline input, a NUL ends the line's text.
        {"4 ./a\n" + std::string(1 << 20, ' ') + "\n5 ./b\0junk\n10 .\n"s, ". .(10)[b(5)a(4)]"},
        // Lines that do not scan change nothing: a blank line, stray text,
        // a count alone, a count beyond 64 bits.
        {"2 ./a\n3 .\n\n", ". .(3)[a(2)]"},
        {"2 ./a\nnot a count\n42\n99999999999999999999 ./b\n3 .\n", ". .(3)[a(2)]"},
        // Counts beyond 32 bits stay whole.
        {"3000000000000 /big/a\n3000000000001 /big\n",
         "./big big(3000000000001)[a(3000000000000)]"},
        // A count that changes after the directory was listed: equal
        // siblings stay in the order they came, the newest first.
        {"2 ./a/x\n1 ./a/y\n3 ./a\n1 ./a/x\n", "./a a(3)[y(1)x(1)]"},
        // The path may follow its count directly.
        {"12abc\n", "abc abc(12)"},
        // Equal siblings keep the list's order whatever a name's length.
        {"1 ./d/a\n1 ./d/" + std::string(1228800, 'L') + "\n1 ./d/b\n3 ./d\n1 ./d/a\n5 .\n",
         ". .(5)[d(3)[b(1)" + std::string(1228800, 'L') + "(1)a(1)]]"},
    };
    for (const ReaderCase& c : cases)
        EXPECT_EQ(readTree(c.input), c.tree) << c.input;
}

TEST(Reader, AbsolutePathsUpTo4096BytesAreAccepted) {
    installDefaults();
    std::string longest = "/" + std::string(4095, 'p');
    EXPECT_EQ(readTree("1 " + longest + "\n"),
              "." + longest + " " + std::string(4095, 'p') + "(1)");
    try {
        readTree("1 " + longest + "p\n");
        ADD_FAILURE() << "a 4097-byte path was accepted";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.message, "too long path\n");
        EXPECT_EQ(failure.status, exitPathTooLong);
    }
    // Relative paths have no limit of their own.
    std::string relative(100000, 'r');
    EXPECT_EQ(readTree("1 " + relative + "\n"), relative + " " + relative + "(1)");
}

}  // namespace
}  // namespace voziv
