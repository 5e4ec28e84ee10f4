// The process-wide record of every choice the command line can make. It is
// filled once, before any output, and only read afterwards.
#pragma once

#include <cstdint>
#include <string>

namespace voziv {

struct Node;

// An ordering of siblings: negative, zero or positive, as a sort's comparison.
using NodeOrdering = int (*)(const Node* a, const Node* b);

enum class PageMode : int { Eps = 0, Portrait = 1, Landscape = 2 };

struct Settings {
    PageMode mode;
    double paperWidth;   // points; in Eps mode the width of the bounding box
    double paperHeight;  // points; in Eps mode the height of the bounding box
    double margin;       // points; not used in Eps mode
    std::string fontname;
    double fontsize;         // also the height a block must exceed to be labelled
    double linewidth;        // of every block's outline
    std::int32_t ncols;      // depth columns; records at depth ncols or more are not drawn
    std::int32_t colorStep;  // hue step between siblings in 1/32768 of the circle; 0 = white
    NodeOrdering compare;
    // Beyond the plain chart:
    bool svg;             // an SVG document instead of PostScript
    double minHeight;     // blocks lower than this are gathered; 0: every block is drawn
    bool minHeightGiven;  // -min was given (the SVG document has a default of its own)
    bool fit;             // names are shortened so that labels stay in their cells
    std::int64_t unit;    // bytes per count, for human sizes in the labels; 0: plain counts
};

extern Settings settings;

struct PaperSize {
    double width;
    double height;
};

// Stored as they stand, not computed from millimetres.
constexpr PaperSize paperA3{841.889764, 1190.55118};
constexpr PaperSize paperA4{595.275591, 841.889764};
constexpr PaperSize paperB4{728.503937, 1031.811024};
constexpr PaperSize paperB5{515.905512, 728.503937};
constexpr PaperSize paperUsLetter{612, 792};

constexpr std::int32_t portraitColumns = 7;
constexpr std::int32_t landscapeColumns = 10;
constexpr std::int32_t maxColumns = 80;

void installDefaults();

}  // namespace voziv
