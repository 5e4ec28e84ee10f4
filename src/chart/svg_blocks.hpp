// The blocks of the SVG document: one group each, with its tooltip, its
// rectangle and its label, all in the coordinates of the drawing area (x to
// the right, y down from its top edge).
#pragma once

#include <string>

namespace voziv {

struct DrawingArea;

// Leaves out of a zooming document the blocks too thin to see when their
// parent fills the drawing: at least this many points, or -min's.
constexpr double svgMinZoomedHeight = 0.25;
// Blocks lower than this are not drawn until zoomed into, unless -min says
// otherwise.
constexpr double svgDefaultMinHeight = 1.0;
// At most this many blocks of nodes, and a gathered block for each at the
// most: beyond it the lowest are left out, so that a browser opens the
// document of any input in a couple of seconds.
constexpr long svgMaxBlocks = 25000;

// The top of the letter M in the font at its size, from the font's metrics,
// where the PostScript prolog measures it.
double svgEmHeight();

// Writes every block of the chart; titlePath is the path of the chart root.
void printSvgBlocks(const DrawingArea& area, const std::string& titlePath);

}  // namespace voziv
