#include "chart/svg_text.hpp"

#include <cstdint>

#include "chart/font_metrics.hpp"
#include "chart/utf8.hpp"

namespace voziv {

namespace {

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
        const std::size_t next = end + decodeUtf8(text.substr(end)).length;
        width += textWidth(font, text.substr(end, next - end), fontsize);
        if (width > room) break;
        end = next;
    }
    return end;
}

}  // namespace

void appendDisplayText(std::string& out, std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const Utf8Char c = decodeUtf8(bytes.substr(at));
        if (c.valid && shownAsItIs(c.code)) {
            out.append(bytes, at, c.length);
        } else {
            for (std::size_t k = 0; k < c.length; ++k)
                appendEscapedByte(out, static_cast<unsigned char>(bytes[at + k]));
        }
        at += c.length;
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
