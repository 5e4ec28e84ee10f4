// One line of du output: a block count, white space, and the path, which is
// everything up to the end of the line, blanks included.
#pragma once

#include <cstdint>
#include <string_view>

namespace voziv {

struct DuLine {
    std::int64_t count;
    std::string_view path;
};

// False for a line that does not scan: no count (or one beyond 64 bits), or
// nothing after it. As in scanf, white space before the count and between
// count and path is skipped, and the path may follow the count directly.
bool scanDuLine(std::string_view line, DuLine& result);

// What the line reader gives, as text: in newline-terminated input a NUL
// ends a line's text, and a carriage return before the line end is dropped,
// so that CRLF input reads as du's own.
std::string_view lineText(std::string_view line, bool nulTerminated);

}  // namespace voziv
