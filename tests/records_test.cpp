// The block records: heights as shares of the parent, tops stacked from the
// top down, hues per sibling list, nothing below a node of size 0.
#include <gtest/gtest.h>
#include <pthread.h>

#include "in_process.hpp"
#include "settings/settings.hpp"

namespace voziv {
namespace {

using Records = std::vector<std::string>;

struct RecordCase {
    const char* input;
    std::int32_t colorStep;
    Records records;
    double minHeight = 0;
    std::int64_t unit = 0;
    std::int32_t ncols = 7;
};

TEST(Records, MatchTheTreeAndTheSettings) {
    const RecordCase cases[] = {
        {"120 /home/u/a\n80 /home/u/b\n210 /home/u\n",
         0,
         {"0 (u \\(210\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (a \\(120\\)) 423.94 741.89 0.000000 0.000000 1.000000",
          "1 (b \\(80\\)) 282.62 317.95 0.000000 0.000000 1.000000"}},
        {"120 /home/u/a\n80 /home/u/b\n210 /home/u\n",
         4096,
         {"0 (u \\(210\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (a \\(120\\)) 423.94 741.89 0.000000 1.000000 1.000000",
          "1 (b \\(80\\)) 282.62 317.95 0.125000 1.000000 1.000000"}},
        {"5 a\n7 b\n",
         0,
         {"0 (.. \\(12\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (b \\(7\\)) 432.77 741.89 0.000000 0.000000 1.000000",
          "1 (a \\(5\\)) 309.12 309.12 0.000000 0.000000 1.000000"}},
        // A node of size 0 gets a record of height 0 and nothing below it.
        {"3 ./z/deep\n0 ./z\n4 ./y\n10 .\n",
         0,
         {"0 (. \\(10\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (y \\(4\\)) 296.76 741.89 0.000000 0.000000 1.000000",
          "1 (z \\(0\\)) 0.00 445.13 0.000000 0.000000 1.000000"}},
        // Each sibling list starts again at the first hue; grandchildren
        // come right after their parent.
        {"1 ./a/x\n1 ./a/y\n2 ./a\n1 ./b\n3 .\n",
         4096,
         {"0 (. \\(3\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (a \\(2\\)) 494.59 741.89 0.000000 1.000000 1.000000",
          "2 (y \\(1\\)) 247.30 741.89 0.000000 1.000000 1.000000",
          "2 (x \\(1\\)) 247.30 494.59 0.125000 1.000000 1.000000",
          "1 (b \\(1\\)) 247.30 247.30 0.125000 1.000000 1.000000"}},
        // Labels are escaped; counts keep all their digits.
        {"5000000000 ./a(b\\\n5000000000 .\n",
         0,
         {"0 (. \\(5000000000\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (a\\(b\\\\ \\(5000000000\\)) 741.89 741.89 0.000000 0.000000 1.000000"}},
        // Siblings lower than -min are one grey block after the others; a
        // lone low sibling is left out (x), and nothing is written deeper than
        // the columns (y).
        {"600 ./a\n390 ./b\n4 ./c\n3 ./d\n3 ./e\n1 ./a/x\n90 ./b/y\n1000 .\n",
         4096,
         {"0 (. \\(1000\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (a \\(600\\)) 445.13 741.89 0.000000 1.000000 1.000000",
          "1 (b \\(390\\)) 289.34 296.76 0.125000 1.000000 1.000000",
          "1 (3 more \\(10\\)) 7.42 7.42 0.000000 0.000000 0.700000"},
         5,
         0,
         2},
        // Counts that add up to more than their parent's (du -h rounds up):
        // the gathered block ends where the parent does.
        {"60 ./a\n10 ./b\n10 ./c\n10 ./d\n10 ./e\n10 ./f\n100 .\n",
         0,
         {"0 (. \\(100\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (a \\(60\\)) 445.13 741.89 0.000000 0.000000 1.000000",
          "1 (5 more \\(50\\)) 296.76 296.76 0.000000 0.000000 0.700000"},
         100},
        // Human sizes: a suffix makes every count bytes; so does -unit.
        {"1.5M ./a\n512 ./b\n2G .\n",
         0,
         {"0 (. \\(2.0G\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (a \\(1.5M\\)) 0.54 741.89 0.000000 0.000000 1.000000",
          "1 (b \\(512\\)) 0.00 741.35 0.000000 0.000000 1.000000"}},
        {"3 ./a\n5 .\n",
         0,
         {"0 (. \\(5.0K\\)) 741.89 741.89 0.000000 0.000000 1.000000",
          "1 (a \\(3.0K\\)) 445.13 741.89 0.000000 0.000000 1.000000"},
         0,
         1024},
    };
    for (const RecordCase& c : cases) {
        installDefaults();
        settings.colorStep = c.colorStep;
        settings.minHeight = c.minHeight;
        settings.unit = c.unit;
        settings.ncols = c.ncols;
        EXPECT_EQ(testing::recordsOf(testing::documentFor(c.input)), c.records) << c.input;
    }
}

TEST(Records, HuesWrapRoundTheCircle) {
    std::string input;
    for (int i = 0; i < 5; ++i)
        input += std::to_string(10 - i) + " ./s" + std::to_string(i) + "\n";
    input += "100 .\n";
    installDefaults();
    settings.colorStep = 32768 / 3;
    Records records = testing::recordsOf(testing::documentFor(input));
    ASSERT_EQ(records.size(), 6u);
    const char* hues[] = {"0.000000", "0.333313", "0.666626", "0.999939", "0.333252"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NE(records[i + 1].find(std::string(" ") + hues[i] + " 1.000000 1.000000"),
                  std::string::npos)
            << records[i + 1];
    }
}

// Runs work on a thread with a small stack, where a recursion as deep as
// the tree would overflow.
void onSmallStack(void (*work)()) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 128 * 1024);
    pthread_t thread;
    auto start = [](void* w) -> void* {
        reinterpret_cast<void (*)()>(w)();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, start, reinterpret_cast<void*>(work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

Records deepRecords;

TEST(Records, DeepChainIsWrittenWithoutRecursion) {
    // Every directory of the chain is named, so every one gets a record.
    onSmallStack([] {
        installDefaults();
        std::string path = ".";
        for (int i = 0; i < 5000; ++i)
            path += "/d";
        std::string input;
        for (std::size_t end = path.size(); end > 1; end -= 2)
            input += "1 " + path.substr(0, end) + "\n";
        input += "1 .\n";
        deepRecords = testing::recordsOf(testing::documentFor(input));
    });
    ASSERT_EQ(deepRecords.size(), 5001u);
    EXPECT_EQ(deepRecords.back(), "5000 (d \\(1\\)) 741.89 741.89 0.000000 0.000000 1.000000");
}

}  // namespace
}  // namespace voziv
