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

// Writes a piece short enough that even escaped it fits the buffer.
void putPiece(std::string_view text) {
    reserveOutput(4 * text.size());
    char* p = out.buffer + out.length;
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
    out.length = static_cast<std::size_t>(p - out.buffer);
}

}  // namespace

void putPsString(std::string_view text) {
    constexpr std::size_t piece = Output::capacity / 8;
    for (; text.size() > piece; text.remove_prefix(piece))
        putPiece(text.substr(0, piece));
    putPiece(text);
}

}  // namespace voziv
