// The writer's number formats must give printf's bytes exactly, and a
// refused write must be a failure, not silence.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "chart/output.hpp"
#include "common/failure.hpp"

namespace voziv {
namespace {

std::string formatted(void (*put)()) {
    std::string text;
    resetOutput(-1, &text);
    put();
    flushOutput();
    return text;
}

std::string printfFixed(double value, int precision) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", precision, value);
    return text;
}

TEST(Output, FixedNumbersAreThoseOfPrintf) {
    std::vector<double> values = {0.0, -0.0, 0.125, 0.375, 2.675, 1.005, 0.5, 1.5, 2.5, 423.937008,
                                  1190.55118, 841.889764, -791.889764, 1e-7, 5e-7, 123456789.987654,
                                  1e300, -1e300, std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::max(), 10922.0 / 32768,
                                  // where the whole part gains a digit
                                  9.995, 99.995, 999.995, -999.995, 9999.994, 9999.995, 0.9999995,
                                  9999.9999995};
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(
            std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 40) - 53));
        values.push_back(static_cast<double>(random() % 100000) / 100.0 + 0.005);
    }
    // Exact ties at two and six digits, the doubles next to them, and large
    // values whose products carry rounding errors.
    for (int i = 0; i < 20000; ++i) {
        for (double tie : {i / 8.0, i / 128.0, 123456789 + i / 8.0, i / 1024.0 + 1e6}) {
            values.insert(values.end(),
                          {tie, -tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e300)});
        }
    }
    for (double value : values) {
        // Beyond PostScript's reals, a value is written as the bound.
        const double written = std::clamp(value, -largestReal, largestReal);
        for (int precision : {0, 2, 6}) {
            std::string text;
            resetOutput(-1, &text);
            putFixed(value, precision);
            flushOutput();
            ASSERT_EQ(text, printfFixed(written, precision)) << value;
        }
    }
}

TEST(Output, IntegersCoverTheWhole64BitRange) {
    EXPECT_EQ(formatted([] {
                  putInt(std::numeric_limits<std::int64_t>::min());
                  putChar(' ');
                  putInt(std::numeric_limits<std::int64_t>::max());
                  putChar(' ');
                  putInt(0);
              }),
              "-9223372036854775808 9223372036854775807 0");
}

TEST(Output, TextLongerThanTheBufferArrivesWhole) {
    std::string big(3 * Output::capacity + 17, 'x');
    for (std::size_t i = 0; i < big.size(); i += 4099)
        big[i] = static_cast<char>('a' + i % 26);
    std::string text;
    resetOutput(-1, &text);
    putBytes(big);
    putLine("end");
    flushOutput();
    EXPECT_EQ(text, big + "end\n");
}

TEST(Output, RefusedWritesFailWithStatusFive) {
    int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    resetOutput(full, nullptr);
    putLine("chart");
    try {
        flushOutput();
        ADD_FAILURE() << "the write to /dev/full went unnoticed";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.message, "write error\n");
        EXPECT_EQ(failure.status, exitIoError);
    }
    // Once failed, the writer stays failed: a later flush cannot report success.
    EXPECT_THROW(flushOutput(), Failure);
    ::close(full);
    resetOutput(1, nullptr);
}

}  // namespace
}  // namespace voziv
