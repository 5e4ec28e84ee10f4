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

// The digits at line[i], accumulated as a negative number, whose range
// reaches one further; false beyond 64 bits.
bool readDigits(std::string_view line, std::size_t& i, std::int64_t& value) {
    value = 0;
    for (; i < line.size() && isDigit(line[i]); ++i) {
        if (__builtin_mul_overflow(value, 10, &value) ||
            __builtin_sub_overflow(value, line[i] - '0', &value)) {
            return false;
        }
    }
    return true;
}

// The power of 1024 that a suffix stands for, or 0 for none.
int powerOf(char suffix) {
    constexpr std::string_view suffixes = "KMGTPE";
    std::size_t at = suffixes.find(suffix);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

enum class Suffix { none, read, tooLarge };

// Reads ".5M" or "G" after the whole part at line[i] into a byte count
// (negative, as the whole part is): a suffix counts only with white space
// after it, so that 12Kb is the count 12 and the path Kb.
Suffix readSuffix(std::string_view line, std::size_t& i, std::int64_t& value) {
    std::size_t at = i;
    __int128 fraction = 0, scale = 1;  // the fraction is fraction / scale
    if (at < line.size() && line[at] == '.') {
        for (++at; at < line.size() && isDigit(line[at]); ++at) {
            if (scale >= 1'000'000'000'000'000'000) continue;  // below a byte's worth
            fraction = fraction * 10 + (line[at] - '0');
            scale *= 10;
        }
    }
    const int power = at < line.size() ? powerOf(line[at]) : 0;
    if (power == 0 || at + 1 >= line.size() || !isBlank(line[at + 1])) return Suffix::none;
    const __int128 multiplier = __int128{1} << (10 * power);
    const __int128 bytes = value * multiplier - (fraction * multiplier + scale / 2) / scale;
    if (bytes < -__int128{INT64_MAX}) return Suffix::tooLarge;
    value = static_cast<std::int64_t>(bytes);
    i = at + 1;
    return Suffix::read;
}

}  // namespace

bool scanDuLine(std::string_view line, DuLine& result) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    if (i == line.size() || !isDigit(line[i])) return false;
    std::int64_t value = 0;
    if (!readDigits(line, i, value)) return false;
    const Suffix suffix = readSuffix(line, i, value);
    if (suffix == Suffix::tooLarge) return false;
    result.human = suffix == Suffix::read;
    if (!negative && __builtin_sub_overflow(std::int64_t{0}, value, &value)) return false;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size()) return false;
    result.count = value;
    result.path = line.substr(i);
    return true;
}

}  // namespace voziv
