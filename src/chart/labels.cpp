#include "chart/labels.hpp"

#include <charconv>

#include "chart/blocks.hpp"
#include "tree/node.hpp"

namespace voziv {

std::string_view labelName(const Block& block, char* room) {
    if (block.gathered == 0) return block.name;
    char* end = std::to_chars(room, room + 24, block.gathered).ptr;
    constexpr std::string_view more = " more";
    end = std::copy(more.begin(), more.end(), end);
    return {room, static_cast<std::size_t>(end - room)};
}

char* formatSize(char* at, std::int64_t size) {
    if (usageTree.inBytes) return formatHumanSize(at, size);
    return std::to_chars(at, at + 24, size).ptr;
}

char* formatHumanSize(char* at, std::int64_t bytes) {
    if (bytes < 0) *at++ = '-';
    const auto magnitude = static_cast<unsigned __int128>(bytes < 0 ? -__int128{bytes} : bytes);
    if (magnitude < 1024) return std::to_chars(at, at + 24, static_cast<unsigned>(magnitude)).ptr;
    int power = 1;
    while (power < 6 && magnitude >= (static_cast<unsigned __int128>(1) << (10 * (power + 1))))
        ++power;
    auto unitOf = [](int p) { return static_cast<unsigned __int128>(1) << (10 * p); };
    unsigned __int128 tenths = (magnitude * 10 + unitOf(power) - 1) / unitOf(power);
    unsigned __int128 whole = (magnitude + unitOf(power) - 1) / unitOf(power);
    if (whole >= 1024 && power < 6) {  // rounded up into the next unit
        ++power;
        tenths = 10;
    }
    const char suffix = "BKMGTPE"[power];
    if (tenths < 100) {
        at = std::to_chars(at, at + 24, static_cast<unsigned>(tenths / 10)).ptr;
        *at++ = '.';
        *at++ = static_cast<char>('0' + static_cast<unsigned>(tenths % 10));
    } else {
        at = std::to_chars(at, at + 24, static_cast<std::uint64_t>(whole)).ptr;
    }
    *at++ = suffix;
    return at;
}

}  // namespace voziv
