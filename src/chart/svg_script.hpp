// The script of the SVG document: zooming into a block, and searching names.
#pragma once

namespace voziv {

extern const char* const svgScript;

}  // namespace voziv
