#include "chart/output.hpp"

#include <unistd.h>

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

void putInt(std::int64_t value) {
    reserveOutput(24);
    char* begin = out.buffer + out.length;
    out.length += static_cast<std::size_t>(std::to_chars(begin, begin + 24, value).ptr - begin);
}

namespace {

// Writes n with a point placed `digits` places from its right, and at
// least one digit before the point.
void putScaled(std::uint64_t n, int digits, bool negative) {
    char text[32];
    char* end = text + sizeof text;
    char* p = end;
    for (int i = 0; i < digits; ++i, n /= 10)
        *--p = static_cast<char>('0' + n % 10);
    *--p = '.';
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (negative) *--p = '-';
    auto length = static_cast<std::size_t>(end - p);
    reserveOutput(sizeof text);
    std::memcpy(out.buffer + out.length, p, length);
    out.length += length;
}

// printf's rounding of value * scale to a whole number: to nearest, ties to
// even, decided on the exact product. The product's rounding error is
// recovered exactly with a fused multiply-add, so no tie is misjudged.
std::uint64_t roundScaled(double value, double scale) {
    double product = value * scale;
    double error = std::fma(value, scale, -product);  // exact: value * scale = product + error
    double whole = std::floor(product);
    double fraction = product - whole;  // exact, below 2^52
    auto n = static_cast<std::uint64_t>(whole);
    // The error is far below a quarter, so only a fraction near one half
    // needs a closer look.
    if (fraction < 0.25) return n;
    if (fraction > 0.75) return n + 1;
    double aboveHalf = fraction - 0.5;  // exact in this range
    if (aboveHalf > -error) return n + 1;
    if (aboveHalf < -error) return n;
    return n + (n & 1);  // an exact tie
}

}  // namespace

void putFixed(double value, int precision) {
    // Common values take the short way; the rest, huge or not finite, are
    // left to the library's exact conversion.
    static constexpr double scales[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};  // exact doubles
    double magnitude = std::fabs(value);
    if (precision >= 1 && precision <= 6 && magnitude < 1e9) {
        putScaled(roundScaled(magnitude, scales[precision]), precision, std::signbit(value));
        return;
    }
    // The widest double in fixed notation: a sign, 309 integer digits, the
    // point and the digits after it.
    const std::size_t widest = 312 + static_cast<std::size_t>(precision);
    reserveOutput(widest);
    char* begin = out.buffer + out.length;
    auto result = std::to_chars(begin, begin + widest, value, std::chars_format::fixed, precision);
    out.length += static_cast<std::size_t>(result.ptr - begin);
}

}  // namespace voziv
