// The chart as an SVG document for a web browser: the same page, drawing,
// blocks, colours and labels as the PostScript document, each block with a
// tooltip, and a small script that zooms into a block and searches names
// where the document is viewed with scripts.
#pragma once

namespace voziv {

// Writes the whole SVG document for the settings, reading the input at the
// point where the title needs its path.
void writeSvgDocument();

}  // namespace voziv
