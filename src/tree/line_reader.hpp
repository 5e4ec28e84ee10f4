// Splits the input into lines of any length, read in large blocks.
//
// du ends each line with a newline, or with a NUL when run with -0. A NUL
// before the first newline, or anywhere in the first block of input, means
// NUL-terminated records, in which a newline is an ordinary byte of a path.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "tree/input.hpp"

namespace voziv {

struct LineReader {
    Input* source = &in;
    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;
    std::size_t start = 0;    // first byte of the line being looked for
    std::size_t scanned = 0;  // bytes before this hold no terminator of that line
    std::size_t end = 0;      // bytes in the buffer
    bool atEnd = false;       // the input has no more bytes
    bool modeKnown = false;
    char terminator = '\n';
    bool nulInBuffer = false;  // newline mode: some line in the buffer holds a NUL
};

// The text of the next line, without its terminator; false when the input
// is used up. A final line without a terminator is a line all the same. In
// newline-terminated input a NUL ends a line's text, and a carriage return
// before the line end is dropped, so that CRLF input reads as du's own. The
// view stays valid until the next call.
bool nextLine(LineReader& reader, std::string_view& line);

// The terminator of the input that begins with head, which holds its first
// block or all of it: '\0' or '\n', or 0 when head holds neither.
char terminatorOf(std::string_view head);

// The bytes that decide the terminator, and the size of each read.
constexpr std::size_t blockSize = std::size_t{1} << 20;

}  // namespace voziv
