// Sizes in labels are written as du -h writes them; coreutils' numfmt,
// which rounds the same way, says what that is.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "chart/labels.hpp"
#include "run_program.hpp"

namespace voziv {
namespace {

std::string human(std::int64_t size) {
    char text[widestLabelPart];
    return std::string(text, formatHumanSize(text, size));
}

TEST(HumanSize, AsCoreutilsWritesIt) {
    std::vector<std::int64_t> sizes = {0,       1,       1023,      1024,           1025,
                                       1536,    10239,   10240,     10241,          1048575,
                                       1048576, 1572864, INT64_MAX, (1LL << 60) - 1};
    std::mt19937_64 random(9);
    for (int i = 0; i < 500; ++i)
        sizes.push_back(static_cast<std::int64_t>(random() >> (1 + random() % 63)));
    std::string numbers;
    for (std::int64_t size : sizes)
        numbers += std::to_string(size) + "\n";
    testing::ProgramResult r = testing::runProgram({"numfmt", "--to=iec", "--round=up"}, numbers);
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream theirs(r.out);
    for (std::int64_t size : sizes) {
        std::string expected;
        std::getline(theirs, expected);
        EXPECT_EQ(human(size), expected) << size;
    }
    // du writes no negative size; one is its magnitude with a sign.
    EXPECT_EQ(human(-2048), "-2.0K");
}

}  // namespace
}  // namespace voziv
