#include "chart/svg_text.hpp"

#include <cstdint>

#include "chart/font_metrics.hpp"

namespace voziv {

namespace {

// The length of the valid UTF-8 sequence at text[at], or 0.
std::size_t sequenceLength(std::string_view text, std::size_t at, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || at + length > text.size()) return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = code << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are invalid.
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return length;
}

bool shownAsItIs(char32_t code) {
    if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) return false;
    return code != 0xFFFE && code != 0xFFFF;
}

void appendEscapedByte(std::string& out, unsigned char byte) {
    constexpr char hex[] = "0123456789abcdef";
    out += "\\x";
    out += hex[byte >> 4];
    out += hex[byte & 15];
}

// The end of the longest start of text (whole characters) that is at most
// room points wide; widths add up character by character.
std::size_t fittingStart(std::string_view text, double room, const FontMetrics& font,
                         double fontsize) {
    std::size_t end = 0;
    double width = 0;
    while (end < text.size()) {
        std::size_t next = end + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
            ++next;
        width += textWidth(font, text.substr(end, next - end), fontsize);
        if (width > room) break;
        end = next;
    }
    return end;
}

}  // namespace

void appendDisplayText(std::string& out, std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        const std::size_t length = sequenceLength(bytes, at, code);
        if (length == 0 || !shownAsItIs(code)) {
            for (std::size_t k = 0; k < (length == 0 ? 1 : length); ++k)
                appendEscapedByte(out, static_cast<unsigned char>(bytes[at + k]));
            at += length == 0 ? 1 : length;
        } else {
            out.append(bytes, at, length);
            at += length;
        }
    }
}

void appendXml(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
}

std::string fitLabel(std::string_view name, std::string_view size, double room,
                     const FontMetrics& font, double fontsize) {
    const std::string tail = " (" + std::string(size) + ")";
    const std::string whole = std::string(name) + tail;
    if (textWidth(font, whole, fontsize) <= room) return whole;
    constexpr std::string_view dots = "\u2026";
    const double rest = textWidth(font, std::string(dots) + tail, fontsize);
    if (rest <= room) {
        const std::size_t end = fittingStart(name, room - rest, font, fontsize);
        return std::string(name.substr(0, end)) + std::string(dots) + tail;
    }
    const std::string alone = tail.substr(1);
    return textWidth(font, alone, fontsize) <= room ? alone : std::string();
}

}  // namespace voziv
