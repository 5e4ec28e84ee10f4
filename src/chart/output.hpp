// The one path by which the document reaches standard output: a large buffer
// that is handed to write(2) when full and at the end. Numbers are formatted
// here as printf's "%d", "%f" and "%.2f" do in the C locale, whatever the
// process locale is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace voziv {

struct Output {
    static constexpr std::size_t capacity = 1 << 20;
    int fd = 1;                      // where the bytes go ...
    std::string* capture = nullptr;  // ... unless they are collected here
    bool failed = false;             // a write has failed; nothing more is written
    std::size_t length = 0;          // bytes waiting in the buffer
    char buffer[capacity];
};

extern Output out;

// Sends the buffered bytes on. Raises a Failure ("write error", status 5)
// when the system refuses them.
void flushOutput();

// Discards what is buffered and forgets any earlier failure; used to direct
// the writer at a new destination (tests, fuzz targets).
void resetOutput(int fd, std::string* capture);

// Makes room for at least n bytes in the buffer.
inline void reserveOutput(std::size_t n) {
    if (Output::capacity - out.length < n) flushOutput();
}

inline void putChar(char c) {
    reserveOutput(1);
    out.buffer[out.length++] = c;
}

void putBytes(std::string_view text);

inline void putLine(std::string_view text) {
    putBytes(text);
    putChar('\n');
}

void putInt(std::int64_t value);

// A real with this many digits after the point, as "%.*f" writes it, and
// within PostScript's range: a value beyond +-largestReal is written as
// that bound.
void putFixed(double value, int precision);

constexpr double largestReal = 1e38;

// The same formats written at a place in the buffer that the caller has
// reserved room at: at most 24 bytes for an integer and widestFixed for a
// real. They return the end of what they wrote.
char* formatInt(char* at, std::int64_t value);
char* formatFixed(char* at, double value, int precision);

// A real in fixed notation with six digits: a sign, 39 integer digits, the
// point and the digits after it, with room to spare.
constexpr std::size_t widestFixed = 64;

}  // namespace voziv
