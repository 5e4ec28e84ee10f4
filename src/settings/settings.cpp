#include "settings/settings.hpp"

#include "tree/ordering.hpp"

namespace voziv {

Settings settings;

void installDefaults() {
    settings.mode = PageMode::Portrait;
    settings.paperWidth = paperA4.width;
    settings.paperHeight = paperA4.height;
    settings.margin = 50.0;
    settings.fontname = "Times-Roman";
    settings.fontsize = 8.0;
    settings.linewidth = 0.5;
    settings.ncols = portraitColumns;
    settings.colorStep = 0;
    settings.compare = compareBySize;
    settings.svg = false;
    settings.minHeight = 0;
    settings.minHeightGiven = false;
    settings.fit = false;
    settings.unit = 0;
}

}  // namespace voziv
