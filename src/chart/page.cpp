#include "chart/page.hpp"

#include "settings/settings.hpp"

namespace voziv {

DrawingArea drawingArea() {
    const Settings& s = settings;
    switch (s.mode) {
        case PageMode::Landscape:
            return {s.paperHeight - (s.margin + s.margin), s.paperWidth - (s.margin + s.margin)};
        case PageMode::Eps:
            return {s.paperWidth - s.linewidth, (s.paperHeight - 2 * s.fontsize) - s.linewidth};
        case PageMode::Portrait:
            break;
    }
    return {s.paperWidth - (s.margin + s.margin), s.paperHeight - (s.margin + s.margin)};
}

// The drawing's lower left corner is a margin in from the page's lower
// left corner (half a line width in a figure), on a landscape page too once
// it is turned upright.
PageView pageView(const DrawingArea& area) {
    const Settings& s = settings;
    switch (s.mode) {
        case PageMode::Landscape:
            return {s.paperHeight, s.paperWidth, s.margin, s.paperWidth - s.margin - area.height};
        case PageMode::Eps:
            return {s.paperWidth, s.paperHeight, s.linewidth / 2,
                    s.paperHeight - s.linewidth / 2 - area.height};
        case PageMode::Portrait:
            break;
    }
    return {s.paperWidth, s.paperHeight, s.margin, s.paperHeight - s.margin - area.height};
}

}  // namespace voziv
