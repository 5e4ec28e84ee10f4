#include "chart/utf8.hpp"

namespace voziv {

Utf8Char decodeUtf8(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1, true};
    const std::size_t extra = lead < 0xC2   ? 0
                              : lead < 0xE0 ? 1
                              : lead < 0xF0 ? 2
                              : lead < 0xF5 ? 3
                                            : 0;
    constexpr Utf8Char invalid{0, 1, false};
    if (extra == 0 || text.size() <= extra) return invalid;
    char32_t code = lead & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80) return invalid;
        code = code << 6 | (next & 0x3F);
    }
    constexpr char32_t least[4] = {0, 0x80, 0x800, 0x10000};
    if (code < least[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return invalid;
    }
    return {code, extra + 1, true};
}

}  // namespace voziv
