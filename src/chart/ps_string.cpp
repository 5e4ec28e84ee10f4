#include "chart/ps_string.hpp"

#include <array>

#include "chart/output.hpp"

namespace voziv {

namespace {

// What each byte becomes: 0 passes unchanged, 1 takes a backslash before
// it, 2 is written as a backslash and three octal digits.
constexpr std::array<unsigned char, 256> escapes = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 0x20; ++c)
        table[c] = 2;
    table[0x7f] = 2;
    table['('] = table[')'] = table['\\'] = 1;
    return table;
}();

}  // namespace

char* formatPsString(char* p, std::string_view text) {
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        switch (escapes[c]) {
            case 0:
                *p++ = ch;
                break;
            case 1:
                *p++ = '\\';
                *p++ = ch;
                break;
            default:
                *p++ = '\\';
                *p++ = static_cast<char>('0' + (c >> 6));
                *p++ = static_cast<char>('0' + ((c >> 3) & 7));
                *p++ = static_cast<char>('0' + (c & 7));
        }
    }
    return p;
}

void putPsString(std::string_view text) {
    // In pieces that fit the buffer even when every byte is escaped.
    constexpr std::size_t piece = Output::capacity / 8;
    while (!text.empty()) {
        std::string_view part = text.substr(0, piece);
        reserveOutput(4 * part.size());
        out.length =
            static_cast<std::size_t>(formatPsString(out.buffer + out.length, part) - out.buffer);
        text.remove_prefix(part.size());
    }
}

}  // namespace voziv
