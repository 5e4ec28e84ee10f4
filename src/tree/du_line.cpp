#include "tree/du_line.hpp"

namespace voziv {

namespace {

// The white space of the C locale.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool scanDuLine(std::string_view line, DuLine& result) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    if (i == line.size() || !isDigit(line[i])) return false;
    // Accumulated as a negative number, whose range reaches one further.
    std::int64_t value = 0;
    for (; i < line.size() && isDigit(line[i]); ++i) {
        if (__builtin_mul_overflow(value, 10, &value) ||
            __builtin_sub_overflow(value, line[i] - '0', &value)) {
            return false;
        }
    }
    if (!negative && __builtin_sub_overflow(std::int64_t{0}, value, &value)) return false;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size()) return false;
    result.count = value;
    result.path = line.substr(i);
    return true;
}

}  // namespace voziv
