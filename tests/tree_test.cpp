// The usage tree as the reader builds it: root choice and title path,
// orderings, and lookups in large directories.
#include <gtest/gtest.h>

#include <random>

#include "settings/settings.hpp"
#include "tree/child_index.hpp"
#include "tree/input.hpp"
#include "tree/insert.hpp"
#include "tree/node.hpp"
#include "tree/ordering.hpp"
#include "tree/reader.hpp"
#include "tree/root.hpp"
#include "tree/sort_tree.hpp"
#include "tree_dump.hpp"

namespace voziv {
namespace {

struct Read {
    std::string title;
    std::string root;  // the chart root and everything below it
};

Read readTree(std::string_view input) {
    releaseNodes();
    readFromMemory(input);
    std::string title = readDuOutput();
    return {title, testing::dumpTree(usageTree.root)};
}

struct RootCase {
    const char* input;
    const char* title;
    const char* root;
};

TEST(Tree, ChoosesTheRootAndTitlePath) {
    installDefaults();
    const RootCase cases[] = {
        {"8 ./a\n20 .\n", ".", ".(20)[a(8)]"},
        {"120 /home/u/a\n80 /home/u/b\n210 /home/u\n", "./home/u", "u(210)[a(120)b(80)]"},
        {"5 a\n7 b\n", "", "..(12)[b(7)a(5)]"},
        {"10 /usr\n20 /var\n", ".", ".(30)[var(20)usr(10)]"},
        {"10 /a/b\n0 /a\n", "./a/b", "b(10)"},
        {"3 ./d/x\n4 ./d/y\n", "./d", "d(7)[y(4)x(3)]"},
        {"5 ./a\n9 ./a\n", "./a", "a(9)"},
        {"", "", "..(0)"},
        {"4 /\n", ".", ".(4)"},
        {"1 ./\n", ".", ".(1)"},
        {"3 a/b\n5 a\n", "a", "a(5)[b(3)]"},
        // No directory has an empty name: "//" and a trailing "/" add none.
        {"2 ./x//y/\n", "./x/y", "y(2)"},
        {"7 //etc//ssl\n3848 /etc/\n", "./etc", "etc(3848)[ssl(7)]"},
        {"1 ./\n2 .//\n", ".", ".(2)"},
        {"1 ./d/big\n", "./d/big", "big(1)"},
    };
    for (const RootCase& c : cases) {
        Read read = readTree(c.input);
        EXPECT_EQ(read.title, c.title) << c.input;
        EXPECT_EQ(read.root, c.root) << c.input;
    }
}

TEST(Tree, SumsStopAtThe64BitLimits) {
    installDefaults();
    EXPECT_EQ(readTree("9223372036854775807 a\n9 b\n").root,
              "..(9223372036854775807)[a(9223372036854775807)b(9)]");
    EXPECT_EQ(readTree("-9223372036854775807 a\n-9 b\n").root,
              "..(-9223372036854775808)[b(-9)a(-9223372036854775807)]");
}

TEST(Tree, OrdersSiblingsBySizeOrNameAndKeepsTiesInListOrder) {
    const char* input = "120 ./u/a\n130 ./u/b\n300 ./u\n5 ./u/c\n5 ./u/B\n5 ./u/d\n";
    installDefaults();
    // Ties keep the list's order: the reverse of their first appearance.
    EXPECT_EQ(readTree(input).root, "u(300)[b(130)a(120)d(5)B(5)c(5)]");
    settings.compare = compareByName;
    EXPECT_EQ(readTree(input).root, "u(300)[B(5)a(120)b(130)c(5)d(5)]");
    // Byte order, not locale order: bytes above 0x7f sort last.
    EXPECT_EQ(readTree("1 ./\xc3\xa9\n1 ./z\n1 ./A\n3 .\n").root, ".(3)[A(1)z(1)\xc3\xa9(1)]");
    // A name that is a prefix of another sorts first.
    EXPECT_EQ(readTree("1 ./d/abcdefghi\n1 ./d/x\n1 ./d/abcdefgh\n3 ./d\n").root,
              "d(3)[abcdefgh(1)abcdefghi(1)x(1)]");
}

TEST(Tree, LargeCountsCompareWithoutOverflow) {
    installDefaults();
    EXPECT_EQ(readTree("-9223372036854775807 ./a\n9223372036854775807 ./b\n1 .\n").root,
              ".(1)[b(9223372036854775807)a(-9223372036854775807)]");
}

// A plain model of what the reader must build: every path split at "/",
// without empty components, and entered from the top with insertPath,
// without the reader's shortcuts.
std::string modelTree(const std::vector<std::pair<std::int64_t, std::string>>& lines) {
    releaseNodes();
    usageTree.root = newNode("..");
    ChildIndex index;
    for (const auto& [count, raw] : lines) {
        std::string path = raw[0] == '/' ? "." + raw : raw;
        std::vector<std::string> parts{""};
        for (char c : path) {
            if (c == '/') {
                parts.emplace_back();
            } else {
                parts.back().push_back(c);
            }
        }
        std::vector<std::string_view> views;
        for (const std::string& part : parts)
            if (!part.empty()) views.push_back(part);
        insertPath(index, views, count);
    }
    sortTree(usageTree.root->child, usageTree.root->nchild);
    std::string title = chooseRoot();
    return title + " " + testing::dumpTree(usageTree.root);
}

TEST(Tree, ReaderBuildsWhatPlainInsertionBuilds) {
    // Random paths over few names, so that lines share prefixes, directories
    // grow past the size at which they are indexed, and names repeat.
    const char* names[] = {"a", "b", "ab", "", ".", "..", "a b", "n1", "n2", "n3"};
    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        installDefaults();
        if (round % 2) settings.compare = compareByName;
        std::vector<std::pair<std::int64_t, std::string>> lines;
        std::string input;
        for (int i = 0; i < 400; ++i) {
            std::string path = random() % 3 ? "/" : (random() % 2 ? "." : "");
            int depth = 1 + static_cast<int>(random() % 6);
            for (int d = 0; d < depth; ++d) {
                if (d > 0 || !path.empty()) path += '/';
                path += random() % 4 ? names[random() % 10] : "w" + std::to_string(random() % 40);
            }
            if (path.empty()) path = "x";
            std::int64_t count = static_cast<std::int64_t>(random() % 1000);
            lines.emplace_back(count, path);
            input += std::to_string(count) + "\t" + path + "\n";
        }
        Read read = readTree(input);
        ASSERT_EQ(read.title + " " + read.root, modelTree(lines)) << "round " << round;
    }
}

TEST(Tree, LongListsSortStablyAtEveryCountRange) {
    // Long lists sort by size in another way than short ones: check them
    // against a plain stable sort, with ties, negative counts and counts
    // that differ only in their high bytes.
    const std::int64_t extremes[] = {INT64_MIN, -1, 0, 1, INT64_MAX, 1LL << 40, -(1LL << 56)};
    std::mt19937_64 random(5);
    for (std::size_t length : {17u, 300u, 5000u}) {
        installDefaults();
        std::vector<std::pair<std::int64_t, std::string>> children;  // in list order
        std::string input;
        for (std::size_t i = 0; i < length; ++i) {
            std::int64_t count = random() % 4 == 0 ? extremes[random() % 7]
                                 : random() % 2    ? static_cast<std::int64_t>(random() % 50)
                                                   : static_cast<std::int64_t>(random());
            std::string name = "c" + std::to_string(i);
            input += std::to_string(count) + " ./d/" + name + "\n";
            children.insert(children.begin(), {count, name});  // a new child goes first
        }
        input += "7 ./d\n";
        std::stable_sort(children.begin(), children.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        std::string expected = "d(7)[";
        for (const auto& [count, name] : children)
            expected += name + "(" + std::to_string(count) + ")";
        EXPECT_EQ(readTree(input).root, expected + "]") << length << " children";
    }
}

TEST(Tree, WideAndDeepInputsBuildWithoutRecursion) {
    installDefaults();
    std::string wide;
    for (int i = 0; i < 200000; ++i)
        wide += "1 ./w/d" + std::to_string(i) + "\n";
    wide += "1 ./w/d7\n";  // a repeat is found again, not added
    releaseNodes();
    readFromMemory(wide);
    readDuOutput();
    EXPECT_EQ(usageTree.root->nchild, 200000);
    std::string deep;
    for (int i = 0; i < 300000; ++i)
        deep += "d/";
    releaseNodes();
    std::string line = "5 " + deep + "end\n";
    readFromMemory(line);
    std::string title = readDuOutput();
    EXPECT_TRUE(title == deep + "end") << "title of " << title.size() << " bytes";
    EXPECT_EQ(usageTree.root->size, 5);
}

}  // namespace
}  // namespace voziv
