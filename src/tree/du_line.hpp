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

}  // namespace voziv
