// Runs Ghostscript on a document the way a careful user does: -dSAFER,
// batch mode, no pause. Any message beyond the banner and font loading, any
// output on standard error and any non-zero status is a test failure, so a
// document that makes the interpreter complain never passes quietly.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace voziv::testing {

// The medium Ghostscript draws on: a fixed page of the given size in points,
// the document's own bounding box (-dEPSCrop), or with ownPage the page
// the document asks for (a default of another size until it asks).
struct Medium {
    bool epsCrop = false;
    double width = 0;
    double height = 0;
    bool ownPage = false;
};

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// A rendered page: rows from the top, pixels from the left.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    Rgb at(int x, int y) const;
};

Image parsePpm(const std::string& bytes);

// One run of text as the txtwrite device reports it: the start of its
// baseline and its end, in points from the top left of the page, and the
// characters it mapped the glyphs to.
struct TextSpan {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::string font;
    std::u32string text;
};

std::vector<TextSpan> parseTxtwrite(const std::string& xml);

// The Ghostscript program the tests run (VOZIV_GHOSTSCRIPT, set by CTest).
std::string ghostscriptBinary();

// Renders the document at dpi with crisp edges. Records a test failure
// when Ghostscript complains.
Image renderImage(const std::string& document, const Medium& medium, double dpi);

// The page size, in points, of the PDF that Ghostscript makes of the
// document as ps2pdf does: the first page's MediaBox.
std::pair<double, double> pdfPageSize(const std::string& document);

// The text the document draws, by Ghostscript's txtwrite device. Records a
// test failure when Ghostscript complains.
std::vector<TextSpan> extractText(const std::string& document, const Medium& medium);

// What txtwrite reports for each byte of a string shown in the font: it maps
// glyph names to Unicode, so the mapping is learnt from Ghostscript itself
// with a document of its own, one byte per line.
using GlyphMap = std::array<std::u32string, 256>;
const GlyphMap& glyphMapFor(const std::string& font);

// The text txtwrite should report for these bytes.
std::u32string txtwriteText(const GlyphMap& map, const std::string& bytes);

// The top of the letter M in the font at the size, as the document's prolog
// measures it.
double emHeight(const std::string& font, double size);

// Printable form of a txtwrite text, for failure messages.
std::string printable(const std::u32string& text);

}  // namespace voziv::testing
