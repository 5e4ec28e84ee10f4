// One line of du output: a size, white space, and the path, which is
// everything up to the end of the line, blanks included.
#pragma once

#include <cstdint>
#include <string_view>

namespace voziv {

struct DuLine {
    std::int64_t count;  // the count as written, or bytes for a human size
    bool human;          // the size had a suffix, as du -h writes it: count is in bytes
    std::string_view path;
};

// False for a line that does not scan: no count (or one beyond 64 bits), or
// nothing after it. As in scanf, white space before the count and between
// count and path is skipped, and the path may follow the count directly.
// A count with a fraction and a suffix K, M, G, T, P or E (powers of 1024)
// and white space after it, such as 1.5M or 12G, is a size in bytes,
// rounded to whole bytes.
bool scanDuLine(std::string_view line, DuLine& result);

}  // namespace voziv
