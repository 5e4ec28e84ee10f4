// Where the chart lies: the drawing area's size, and for a document that is
// viewed as it is (SVG), the page and the drawing's place on it.
#pragma once

namespace voziv {

struct DrawingArea {
    double width;   // W
    double height;  // H
};

// The size of the drawing area for the mode and sizes in the settings.
DrawingArea drawingArea();

// The page as it is viewed, a landscape page turned upright, and the top
// left corner of the drawing, in points from the page's top left corner.
struct PageView {
    double width, height;
    double left, top;
};

PageView pageView(const DrawingArea& area);

}  // namespace voziv
