#include "chart/ps_string.hpp"

#include "chart/output.hpp"

namespace voziv {

namespace {

bool needsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7f || c == '(' || c == ')' || c == '\\';
}

void putEscaped(unsigned char c) {
    reserveOutput(4);
    char* p = out.buffer + out.length;
    p[0] = '\\';
    if (c == '(' || c == ')' || c == '\\') {
        p[1] = static_cast<char>(c);
        out.length += 2;
        return;
    }
    p[1] = static_cast<char>('0' + (c >> 6));
    p[2] = static_cast<char>('0' + ((c >> 3) & 7));
    p[3] = static_cast<char>('0' + (c & 7));
    out.length += 4;
}

}  // namespace

void putPsString(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (!needsEscape(c)) continue;
        putBytes(text.substr(start, i - start));
        putEscaped(c);
        start = i + 1;
    }
    putBytes(text.substr(start));
}

}  // namespace voziv
