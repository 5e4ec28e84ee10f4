// The block records of the PostScript document: one line per block, read
// back by the document's own loop. Each gives the depth column, the label,
// the height, the top edge and the fill colour.
#pragma once

namespace voziv {

// Writes the chart root's record and every record below it; drawHeight is
// the height of the drawing area.
void printTree(double drawHeight);

}  // namespace voziv
