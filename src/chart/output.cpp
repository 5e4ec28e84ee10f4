#include "chart/output.hpp"

#include <unistd.h>

#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "chart/failure.hpp"

namespace voziv {

Output out;

namespace {

void writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            out.failed = true;
            fail("write error\n", exitIoError);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

}  // namespace

void flushOutput() {
    if (out.failed) fail("write error\n", exitIoError);
    std::size_t size = out.length;
    out.length = 0;
    if (out.capture != nullptr) {
        out.capture->append(out.buffer, size);
        return;
    }
    writeAll(out.fd, out.buffer, size);
}

void resetOutput(int fd, std::string* capture) {
    out.fd = fd;
    out.capture = capture;
    out.failed = false;
    out.length = 0;
}

void putBytes(std::string_view text) {
    while (!text.empty()) {
        reserveOutput(1);
        std::size_t room = Output::capacity - out.length;
        std::size_t n = text.size() < room ? text.size() : room;
        std::memcpy(out.buffer + out.length, text.data(), n);
        out.length += n;
        text.remove_prefix(n);
    }
}

char* formatInt(char* at, std::int64_t value) {
    return std::to_chars(at, at + 24, value).ptr;
}

namespace {

constexpr std::uint64_t powersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// "00" to "99", for writing two digits at a time.
constexpr auto digitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes the decimal digits of n ending just before end; returns where
// they begin. At least `count` digits are written, zeros in front.
char* digitsBefore(char* end, std::uint64_t n, int count) {
    for (; n >= 100 || count > 2; n /= 100, count -= 2) {
        end -= 2;
        std::memcpy(end, &digitPairs[2 * (n % 100)], 2);
    }
    if (n >= 10 || count == 2) {
        end -= 2;
        std::memcpy(end, &digitPairs[2 * n], 2);
    } else {
        *--end = static_cast<char>('0' + n);
    }
    return end;
}

int digitCount(std::uint64_t n) {
    int count = 1;
    for (; n >= 100; n /= 100)
        count += 2;
    return count + (n >= 10);
}

// Writes n with a point placed `digits` places from its right, and at
// least one digit before the point.
char* formatScaled(char* at, std::uint64_t n, int digits, bool negative) {
    if (negative) *at++ = '-';
    std::uint64_t whole = n / powersOfTen[digits];
    char* point = at + digitCount(whole);
    digitsBefore(point, whole, 1);
    *point = '.';
    char* end = point + 1 + digits;
    digitsBefore(end, n % powersOfTen[digits], digits);
    return end;
}

// printf's rounding of value * scale to a whole number (value * scale below
// 2^40): to nearest, ties to even, decided on the exact product.
std::uint64_t roundScaled(double value, double scale) {
    double product = value * scale;
    auto n = static_cast<std::uint64_t>(product);
    double aboveHalf = (product - static_cast<double>(n)) - 0.5;  // both steps exact
    // The product is off by at most 2^-13, so only a fraction very near one
    // half needs the exact error, which a fused multiply-add recovers.
    // The side is a coin toss for the block heights of a chart, so it is
    // taken as a value, not as a branch.
    constexpr double margin = 1.0 / 4096;
    if (std::fabs(aboveHalf) > margin) return n + (aboveHalf > 0);
    double error = std::fma(value, scale, -product);  // value * scale = product + error
    if (aboveHalf > -error) return n + 1;
    if (aboveHalf < -error) return n;
    return n + (n & 1);  // an exact tie
}

// formatScaled for the numbers of a chart, a whole part below 10^4 and
// two or six digits after the point: the whole part and the point go out
// as one eight-byte store, shifted past its leading zeros, so that the
// number's length costs no branch. Writes up to eight bytes beyond the
// number's end.
template <int digits>
char* formatSmallScaled(char* at, std::uint64_t n, bool negative) {
    constexpr std::uint64_t scale = powersOfTen[digits];
    *at = '-';
    at += negative;
    const auto whole = static_cast<std::uint32_t>(n / scale);
    std::uint64_t fraction = n % scale;
    std::uint16_t high, low;
    std::memcpy(&high, &digitPairs[2 * (whole / 100)], 2);
    std::memcpy(&low, &digitPairs[2 * (whole % 100)], 2);
    std::uint64_t word = high | std::uint64_t{low} << 16 | std::uint64_t{'.'} << 32;
    const int zeros = (whole < 10) + (whole < 100) + (whole < 1000);
    word >>= 8 * zeros;
    std::memcpy(at, &word, sizeof word);
    at += 5 - zeros;
    for (int pair = digits / 2 - 1; pair >= 0; --pair, fraction /= 100)
        std::memcpy(at + 2 * pair, &digitPairs[2 * (fraction % 100)], 2);
    return at + digits;
}

}  // namespace

char* formatFixed(char* at, double value, int precision) {
    // Common values take the short way; the rest, huge or not finite, are
    // left to the library's exact conversion.
    static constexpr double scales[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};  // exact doubles
    if (precision >= 1 && precision <= 6) {
        double magnitude = std::fabs(value);
        if (magnitude * scales[precision] < 0x1p40) {
            std::uint64_t n = roundScaled(magnitude, scales[precision]);
            bool negative = std::signbit(value);
            if constexpr (std::endian::native == std::endian::little) {
                if (precision == 2 && n < 10000 * 100) {
                    return formatSmallScaled<2>(at, n, negative);
                }
                if (precision == 6 && n < 10000 * 1000000ull) {
                    return formatSmallScaled<6>(at, n, negative);
                }
            }
            return formatScaled(at, n, precision, negative);
        }
    }
    return std::to_chars(at, at + widestFixed, value, std::chars_format::fixed, precision).ptr;
}

void putInt(std::int64_t value) {
    reserveOutput(24);
    out.length = static_cast<std::size_t>(formatInt(out.buffer + out.length, value) - out.buffer);
}

void putFixed(double value, int precision) {
    reserveOutput(widestFixed);
    out.length = static_cast<std::size_t>(formatFixed(out.buffer + out.length, value, precision) -
                                          out.buffer);
}

}  // namespace voziv
