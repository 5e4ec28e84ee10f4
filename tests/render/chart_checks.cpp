#include "chart_checks.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace voziv::testing {

namespace {

struct Point {
    double x = 0, y = 0;
};

// Drawing coordinates to page points and back.
Point toPage(const Layout& l, Point d) {
    if (l.landscape) return {l.originX + d.y, l.originY - d.x};
    return {l.originX + d.x, l.originY + d.y};
}

Point toDrawing(const Layout& l, Point p) {
    if (l.landscape) return {l.originY - p.y, p.x - l.originX};
    return {p.x - l.originX, p.y - l.originY};
}

struct Block {
    double bottom, top;
    Rgb fill;
};

struct Band {
    double low, high;
};

// What one column holds: its blocks from the top down, the y of every
// outline edge, and the heights where some label may stand in it.
struct Column {
    std::vector<Block> blocks;
    std::vector<double> edges;
    std::vector<Band> labelBands;
};

bool isDrawn(const Record& r, const Layout& l) {
    return r.depth >= 0 && r.depth < l.ncols;
}

bool isLabelled(const Record& r, const Layout& l) {
    return isDrawn(r, l) && r.height > l.fontsize;
}

double baselineOf(const Record& r, const Layout& l) {
    return r.top - (r.height + l.em) / 2;
}

std::vector<Column> columnsOf(const std::vector<Record>& records, const Layout& l) {
    std::vector<Column> columns(static_cast<std::size_t>(std::max<long long>(l.ncols, 0)));
    for (const Record& r : records) {
        if (!isDrawn(r, l)) continue;
        Column& c = columns[static_cast<std::size_t>(r.depth)];
        // A block of no height is only an outline; leaving it out keeps the
        // others in order when rounding puts its edge just off theirs.
        if (r.height > 0) c.blocks.push_back({r.top - r.height, r.top, colourOf(r)});
        c.edges.push_back(r.top);
        c.edges.push_back(r.top - r.height);
        if (!isLabelled(r, l)) continue;
        // A label reaches from below its baseline (descenders) to above its
        // capitals, and may run on to the right over later columns.
        double base = baselineOf(r, l);
        for (std::size_t k = static_cast<std::size_t>(r.depth); k < columns.size(); ++k)
            columns[k].labelBands.push_back({base - 0.35 * l.fontsize, base + 1.0 * l.fontsize});
    }
    for (Column& c : columns) {
        // From the top down; the blocks of one column do not overlap.
        std::sort(c.blocks.begin(), c.blocks.end(),
                  [](const Block& a, const Block& b) { return a.bottom > b.bottom; });
        std::sort(c.edges.begin(), c.edges.end());
    }
    return columns;
}

bool nearAny(const std::vector<double>& sorted, double value, double tolerance) {
    auto it = std::lower_bound(sorted.begin(), sorted.end(), value - tolerance);
    return it != sorted.end() && *it <= value + tolerance;
}

bool inBand(const std::vector<Band>& bands, double y) {
    return std::any_of(bands.begin(), bands.end(),
                       [y](const Band& b) { return y >= b.low && y <= b.high; });
}

const Block* blockAt(const Column& c, double y) {
    auto it = std::lower_bound(c.blocks.begin(), c.blocks.end(), y,
                               [](const Block& b, double value) { return b.bottom > value; });
    // it: the first block whose bottom is at or below y.
    if (it != c.blocks.end() && it->top >= y) return &*it;
    return nullptr;
}

bool matches(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

bool isBlack(Rgb c) {
    return c.r <= 40 && c.g <= 40 && c.b <= 40;
}

std::string describe(Rgb c) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d,%d,%d)", c.r, c.g, c.b);
    return text;
}

// Pixel geometry: the page point of a pixel's centre and the pixel at a
// page point.
struct Raster {
    const Image& image;
    double scale;  // pixels per point
    double mediumHeight;

    Point centre(int px, int py) const {
        return {(px + 0.5) / scale, mediumHeight - (py + 0.5) / scale};
    }
    bool pixelAt(Point p, int& px, int& py) const {
        px = static_cast<int>(std::floor(p.x * scale));
        py = static_cast<int>(std::floor((mediumHeight - p.y) * scale));
        return px >= 0 && py >= 0 && px < image.width && py < image.height;
    }
};

// Is there a black pixel within tolerance of the drawing point, looking
// along the direction (dx, dy) in drawing coordinates?
bool blackNear(const Raster& raster, const Layout& l, Point d, Point direction, double tolerance) {
    int steps = static_cast<int>(std::ceil(tolerance * raster.scale)) + 1;
    for (int k = -steps; k <= steps; ++k) {
        double offset = k / raster.scale;
        if (std::abs(offset) > tolerance) continue;
        int px, py;
        Point p = toPage(l, {d.x + direction.x * offset, d.y + direction.y * offset});
        if (raster.pixelAt(p, px, py) && isBlack(raster.image.at(px, py))) return true;
    }
    return false;
}

}  // namespace

Rgb colourOf(const Record& record) {
    // HSB to RGB as PostScript defines it: six sectors of the hue circle.
    double h = record.hue - std::floor(record.hue), s = record.saturation, v = record.brightness;
    double sector = h * 6;
    int i = static_cast<int>(std::floor(sector)) % 6;
    double f = sector - std::floor(sector);
    double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    double rgb[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
    auto level = [](double value) { return static_cast<int>(std::lround(value * 255)); };
    return {level(rgb[i][0]), level(rgb[i][1]), level(rgb[i][2])};
}

int expectDrawingMatches(const Image& image, double dpi, const std::vector<Record>& records,
                         const Layout& l) {
    const Raster raster{image, dpi / 72.0, l.mediumHeight};
    // Outlines, and fills that touch a pixel only in part, may colour the
    // pixels within half the line width and a pixel of an edge.
    const double tolerance = l.linewidth / 2 + 1.0 / raster.scale;
    const double cell = l.cellwidth();
    const std::vector<Column> columns = columnsOf(records, l);
    const Rgb white{255, 255, 255}, grey{230, 230, 230};
    const double titleTop = l.height + l.em + 1.2 * l.fontsize;
    int failures = 0;
    auto fail = [&](const std::string& what) {
        if (++failures <= 10) ADD_FAILURE() << what;
    };
    for (int py = 0; py < image.height; ++py) {
        for (int px = 0; px < image.width; ++px) {
            Point d = toDrawing(l, raster.centre(px, py));
            bool inside = d.x > tolerance && d.x < l.width - tolerance && d.y > tolerance &&
                          d.y < l.height - tolerance;
            bool outside = d.x < -tolerance || d.x > l.width + tolerance || d.y < -tolerance ||
                           d.y > l.height + tolerance;
            Rgb expected;
            std::string where;
            if (outside) {
                if (d.y > l.height && d.y < titleTop) continue;  // the title and the date
                expected = white;
                where = "outside the drawing";
            } else if (!inside) {
                continue;  // the drawing's own border
            } else {
                double k = std::round(d.x / cell);
                if (std::abs(d.x - k * cell) < tolerance) continue;  // a column boundary
                auto c = static_cast<std::size_t>(
                    std::min<double>(std::floor(d.x / cell), static_cast<double>(l.ncols - 1)));
                const Column& column = columns[c];
                if (inBand(column.labelBands, d.y)) continue;
                if (nearAny(column.edges, d.y, tolerance)) continue;
                const Block* block = blockAt(column, d.y);
                expected = block != nullptr ? block->fill : grey;
                where = block != nullptr ? "in a block of column " + std::to_string(c)
                                         : "in the grey of column " + std::to_string(c);
            }
            Rgb actual = image.at(px, py);
            if (!matches(actual, expected)) {
                char at[96];
                std::snprintf(at, sizeof at, " at drawing point (%.2f, %.2f), pixel (%d, %d)", d.x,
                              d.y, px, py);
                fail(describe(actual) + " where " + describe(expected) + " belongs, " + where + at);
            }
        }
    }
    // Every drawn block has its outline: top and bottom edges, both sides.
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        if (!isDrawn(r, l)) continue;
        double left = static_cast<double>(r.depth) * cell;
        double bottom = r.top - r.height;
        bool outlined = true;
        for (double share : {0.3, 0.7}) {
            double x = left + share * cell;
            outlined = outlined && blackNear(raster, l, {x, r.top}, {0, 1}, tolerance) &&
                       blackNear(raster, l, {x, bottom}, {0, 1}, tolerance);
        }
        if (r.height > 2 * tolerance) {
            double y = r.top - r.height / 2;
            outlined = outlined && blackNear(raster, l, {left, y}, {1, 0}, tolerance) &&
                       blackNear(raster, l, {left + cell, y}, {1, 0}, tolerance);
        }
        if (!outlined)
            fail("record " + std::to_string(i) + " (" + r.label +
                 ") has no outline where it should");
    }
    return failures;
}

int expectLabelsMatch(const std::vector<TextSpan>& spans, const std::vector<Record>& records,
                      const Layout& l, const GlyphMap& glyphs, const std::string& title,
                      const std::vector<std::string>& dates) {
    // txtwrite reports whole points, measured from the top of the medium as
    // Ghostscript rounded it to whole pixels at 72 dpi.
    const double slack = 1.0;
    const double mediumTop = std::round(l.mediumHeight);
    std::vector<bool> used(spans.size(), false);
    int failures = 0;
    auto fail = [&](const std::string& what) {
        if (++failures <= 20) ADD_FAILURE() << what;
    };
    auto spanAt = [&](Point d, bool byEnd) -> const TextSpan* {
        Point p = toPage(l, d);
        double x = p.x, y = mediumTop - p.y;
        for (std::size_t k = 0; k < spans.size(); ++k) {
            const TextSpan& s = spans[k];
            double sx = byEnd ? s.x1 : s.x0, sy = byEnd ? s.y1 : s.y0;
            if (!used[k] && std::abs(sx - x) <= slack && std::abs(sy - y) <= slack) {
                used[k] = true;
                return &s;
            }
        }
        return nullptr;
    };
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        if (!isLabelled(r, l)) continue;
        Point start{static_cast<double>(r.depth) * l.cellwidth() + l.em / 3, baselineOf(r, l)};
        const TextSpan* span = spanAt(start, false);
        std::u32string expected = txtwriteText(glyphs, r.label);
        if (span == nullptr) {
            fail("record " + std::to_string(i) + " has no label: " + printable(expected));
        } else if (span->text != expected) {
            fail("record " + std::to_string(i) + " is labelled " + printable(span->text) +
                 ", expected " + printable(expected));
        }
    }
    const TextSpan* titleSpan = spanAt({0, l.height + l.em}, false);
    std::u32string titleText = txtwriteText(glyphs, "The number of disk blocks used at " + title);
    if (titleSpan == nullptr) {
        fail("no title: " + printable(titleText));
    } else if (titleSpan->text != titleText) {
        fail("the title is " + printable(titleSpan->text) + ", expected " + printable(titleText));
    }
    // The date ends at the drawing's right edge; its last character is the
    // line end that ctime writes, which has no glyph and no width.
    const TextSpan* dateSpan = spanAt({l.width, l.height + l.em}, true);
    if (dateSpan == nullptr) {
        fail("no date at the right edge");
    } else if (std::none_of(dates.begin(), dates.end(), [&](const std::string& date) {
                   return dateSpan->text == txtwriteText(glyphs, date);
               })) {
        fail("the date is " + printable(dateSpan->text) + ", expected " +
             printable(txtwriteText(glyphs, dates.empty() ? "" : dates.front())));
    }
    for (std::size_t k = 0; k < spans.size(); ++k) {
        if (!used[k]) fail("text that no labelled block explains: " + printable(spans[k].text));
    }
    return failures;
}

}  // namespace voziv::testing
