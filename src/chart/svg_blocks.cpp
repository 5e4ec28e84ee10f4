#include "chart/svg_blocks.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "chart/blocks.hpp"
#include "chart/font_metrics.hpp"
#include "chart/labels.hpp"
#include "chart/output.hpp"
#include "chart/page.hpp"
#include "chart/svg_text.hpp"
#include "settings/settings.hpp"
#include "tree/node.hpp"

namespace voziv {

namespace {

struct SvgWriter {
    DrawingArea area;
    double cellwidth;
    const FontMetrics& font;
    double em;                          // the top of the letter M, as the prolog measures it
    std::string path;                   // of the current block, as shown
    std::vector<std::size_t> pathEnds;  // where the path of each depth above ends
    std::vector<std::int64_t> sizes;    // of the current block and those above it
    std::string element;                // the current block's, reused
};

BlockRules svgRules(double drawHeight) {
    BlockRules rules;
    rules.drawHeight = drawHeight;
    rules.minHeight = settings.minHeightGiven ? settings.minHeight : svgDefaultMinHeight;
    rules.keepThin = true;
    rules.minZoomedHeight = std::max(rules.minHeight, svgMinZoomedHeight);
    return rules;
}

// The height below which blocks are left out so that no more than
// svgMaxBlocks blocks of nodes remain: a browser opens such a document in
// seconds, whatever the input.
double budgetHeight(const BlockRules& rules) {
    std::vector<double> heights;
    BlockWalk walk = startBlocks(rules);
    Block block;
    while (nextBlock(walk, block)) {
        if (block.gathered == 0) heights.push_back(block.height);
    }
    if (heights.size() <= static_cast<std::size_t>(svgMaxBlocks)) return 0;
    auto last = heights.begin() + (svgMaxBlocks - 1);
    std::nth_element(heights.begin(), last, heights.end(), std::greater<>());
    // Blocks as low as the last one kept may be many: then it goes too.
    const auto asLow = std::count(heights.begin(), heights.end(), *last);
    return asLow > 1 ? std::nextafter(*last, largestReal) : *last;
}

void appendNumber(std::string& out, double value, int precision) {
    char text[widestFixed];
    out.append(text, formatFixed(text, value, precision));
}

void appendInt(std::string& out, std::int64_t value) {
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void appendSize(std::string& out, std::int64_t size) {
    char text[widestLabelPart];
    out.append(text, formatSize(text, size));
}

// The colour PostScript's sethsbcolor gives a hue at full saturation and
// brightness, as #rrggbb.
void appendHue(std::string& out, std::int32_t hue) {
    const double h = 6.0 * hue / hueSteps;
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const double rgb[6][3] = {{1, f, 0},     {1 - f, 1, 0}, {0, 1, f},
                              {0, 1 - f, 1}, {f, 0, 1},     {1, 0, 1 - f}};
    constexpr char hex[] = "0123456789abcdef";
    out += '#';
    for (double channel : rgb[sector]) {
        const int value = static_cast<int>(std::lround(channel * 255));
        out += hex[value >> 4];
        out += hex[value & 15];
    }
}

// The path of the block, from the chart root's as the title shows it.
void enterPath(SvgWriter& w, const Block& block, std::string_view rootPath) {
    const auto depth = static_cast<std::size_t>(block.depth);
    w.pathEnds.resize(depth);  // a block comes right after its parent's line of ancestors
    w.sizes.resize(depth);
    w.path.resize(depth == 0 ? 0 : w.pathEnds.back());
    char room[widestLabelPart];
    if (depth == 0) {
        appendDisplayText(w.path, rootPath.empty() ? block.name : rootPath);
    } else {
        w.path += '/';
        appendDisplayText(w.path, labelName(block, room));
    }
    w.pathEnds.push_back(w.path.size());
    w.sizes.push_back(block.size);
}

void appendShare(std::string& out, std::int64_t part, std::int64_t whole, const char* of) {
    if (whole == 0) return;
    appendNumber(out, 100.0 * static_cast<double>(part) / static_cast<double>(whole), 1);
    out += of;
}

// The tooltip: the block's path, its size, and its share of its parent and
// of the chart root; and what of it is too small to draw.
void appendTooltip(SvgWriter& w, const Block& block) {
    std::string& out = w.element;
    out += "<title>";
    appendXml(out, w.path);
    out += '\n';
    appendSize(out, block.size);
    if (usageTree.inBytes && std::abs(block.size) >= 1024) {
        out += " (";
        appendInt(out, block.size);
        out += " bytes)";
    }
    if (block.depth > 0) {
        out += '\n';
        appendShare(out, block.size, w.sizes[w.sizes.size() - 2], "% of its parent, ");
        appendShare(out, block.size, w.sizes.front(), "% of the chart root");
    }
    if (block.gathered != 0) out += "\nentries too small to draw, together";
    if (block.leftOut != 0) {
        out += '\n';
        appendInt(out, block.leftOut);
        out += " entries in it too small to draw";
    }
    out += "</title>";
}

// The rectangle: from the top edge down by the height (up, for a negative
// one), in the block's column.
void appendRect(SvgWriter& w, const Block& block) {
    std::string& out = w.element;
    const double top = w.area.height - block.top;
    out += "<rect x=\"";
    appendNumber(out, w.cellwidth * static_cast<double>(block.depth), 2);
    out += "\" y=\"";
    appendNumber(out, block.height < 0 ? top + block.height : top, 2);
    out += "\" width=\"";
    appendNumber(out, w.cellwidth, 2);
    out += "\" height=\"";
    appendNumber(out, std::fabs(block.height), 2);
    if (block.gathered != 0) out += "\" fill=\"#b3b3b3";
    if (block.gathered == 0 && block.hue >= 0) {
        out += "\" fill=\"";
        appendHue(out, block.hue);
    }
    out += "\"/>";
}

// The label of a block taller than the font size, where the prolog puts it,
// shortened to fit its cell; the cell clips it as a guard.
void appendLabel(SvgWriter& w, const Block& block) {
    char room[widestLabelPart], size[widestLabelPart];
    std::string name;
    appendDisplayText(name, labelName(block, room));
    const double fontsize = std::fabs(settings.fontsize);
    const std::string label =
        fitLabel(name, {size, static_cast<std::size_t>(formatSize(size, block.size) - size)},
                 w.cellwidth - 2 * w.em / 3, w.font, fontsize);
    if (label.empty()) return;
    std::string& out = w.element;
    out += "<text x=\"";
    appendNumber(out, w.cellwidth * static_cast<double>(block.depth) + w.em / 3, 2);
    out += "\" y=\"";
    appendNumber(out, w.area.height - block.top + (block.height + w.em) / 2, 2);
    out += "\" clip-path=\"url(#c";
    appendInt(out, block.depth);
    out += ")\">";
    appendXml(out, label);
    out += "</text>";
}

// One block's group. Blocks that are not drawn until zoomed into (thin or
// beyond the columns) are hidden; the script shows them.
void putBlock(SvgWriter& w, const Block& block) {
    const bool hidden = block.thin || block.depth >= settings.ncols;
    w.element = "<g data-d=\"";
    appendInt(w.element, block.depth);
    w.element += "\" data-s=\"";
    appendInt(w.element, block.size);
    if (hidden || block.gathered != 0) {
        w.element += "\" class=\"";
        w.element += hidden ? (block.thin ? "h t" : "h") : "";
        if (block.gathered != 0) w.element += hidden ? " m" : "m";
    }
    w.element += "\">";
    appendTooltip(w, block);
    appendRect(w, block);
    if (!hidden && block.height > std::fabs(settings.fontsize)) appendLabel(w, block);
    w.element += "</g>\n";
    putBytes(w.element);
}

}  // namespace

double svgEmHeight() {
    return metricsFor(settings.fontname).capHeight * settings.fontsize / 1000;
}

void printSvgBlocks(const DrawingArea& area, const std::string& titlePath) {
    BlockRules rules = svgRules(area.height);
    rules.budgetHeight = budgetHeight(rules);
    const FontMetrics& font = metricsFor(settings.fontname);
    SvgWriter writer{area, area.width / settings.ncols, font, svgEmHeight(), {}, {}, {}, {}};
    BlockWalk walk = startBlocks(rules);
    Block block;
    while (nextBlock(walk, block)) {
        enterPath(writer, block, titlePath);
        putBlock(writer, block);
    }
}

}  // namespace voziv
