#include "chart/output.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "common/failure.hpp"

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

char* formatFixed(char* at, double value, int precision) {
    // Counts and sizes can multiply beyond what a reader's reals hold: such
    // a chart may draw nonsense, but its document must still be read.
    value = std::clamp(value, -largestReal, largestReal);
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
