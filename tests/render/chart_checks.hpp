// Checks what Ghostscript drew against the block records: the pixels of a
// rendered page, and the text that txtwrite extracted.
#pragma once

#include <string>
#include <vector>

#include "chart_document.hpp"
#include "ghostscript.hpp"

namespace voziv::testing {

// Where the drawing area lies on the medium, as the options say it should,
// in points from the medium's lower left corner.
struct Layout {
    bool landscape = false;           // the drawing's x runs down the page, its y to the right
    double originX = 0, originY = 0;  // the page point of the drawing's (0, 0)
    double mediumWidth = 0, mediumHeight = 0;
    double width = 0, height = 0;  // W and H of the drawing area
    long long ncols = 0;
    double fontsize = 0, linewidth = 0;
    double em = 0;  // the font's M height at fontsize
    double cellwidth() const { return width / static_cast<double>(ncols); }
};

// The fill colour a record asks for.
Rgb colourOf(const Record& record);

// Every pixel that is not on an outline or under a label has the colour it
// should: white outside the drawing, 0.9 grey where no block is, and each
// drawn block's fill from its top down by its height in its column; every
// drawn block has its outline. Returns the number of failures recorded.
int expectDrawingMatches(const Image& image, double dpi, const std::vector<Record>& records,
                         const Layout& layout);

// Every drawn block taller than the font size carries its label, at the
// place the prolog puts it, as the text of its string; no other text is
// drawn but the title (its expected bytes given) and the date (one of the
// given ctime renderings). Returns the number of failures recorded.
int expectLabelsMatch(const std::vector<TextSpan>& spans, const std::vector<Record>& records,
                      const Layout& layout, const GlyphMap& glyphs, const std::string& title,
                      const std::vector<std::string>& dates);

}  // namespace voziv::testing
