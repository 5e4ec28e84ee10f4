// Widths of text in the PostScript standard fonts as Ghostscript sets them,
// so that labels can be fitted to their cells without a renderer at hand.
// The twelve text faces have their own widths; any other font is one of
// three generic families of average width.
#pragma once

#include <cstdint>
#include <string_view>

namespace voziv {

struct FontMetrics {
    const char* cssFamily;  // font-family list for SVG/CSS
    const char* cssWeight;  // "normal" or "bold"
    const char* cssStyle;   // "normal" or "italic"
    double capHeight;       // top of the outline of M, in 1/1000 em
    // Widths in 1/1000 em of printable ASCII 32-126, then Latin-1 160-255,
    // then the ellipsis U+2026; null when every character is averageWidth.
    const std::uint16_t* widths;
    double averageWidth;  // for the characters the face has no width for
};

// The metrics for a PostScript font name as given with -ff. The twelve text
// faces of Times, Helvetica and Courier have their own; any other name gets a
// generic family by what it contains: "Courier" or "Mono" monospace,
// "Helvetica", "Arial" or "Sans" sans-serif, else serif, bold with "Bold",
// italic with "Italic" or "Oblique".
const FontMetrics& metricsFor(std::string_view fontname);

// The advance width in points of UTF-8 text set in the font at size points.
// Wide East Asian characters count 1 em, combining accents nothing, other
// characters without a width and every byte of invalid UTF-8 the average.
double textWidth(const FontMetrics& font, std::string_view utf8, double size);

}  // namespace voziv
