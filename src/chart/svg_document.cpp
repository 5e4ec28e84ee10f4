#include "chart/svg_document.hpp"

#include <cmath>
#include <ctime>
#include <string>

#include "chart/document.hpp"
#include "chart/font_metrics.hpp"
#include "chart/output.hpp"
#include "chart/page.hpp"
#include "chart/svg_blocks.hpp"
#include "chart/svg_script.hpp"
#include "chart/svg_text.hpp"
#include "settings/settings.hpp"
#include "tree/reader.hpp"

namespace voziv {

namespace {

void putNumber(double value) {
    putFixed(value, 6);
}

// A name="value" pair with a number, and a space before it.
void putAttribute(const char* name, double value) {
    putChar(' ');
    putBytes(name);
    putBytes("=\"");
    putNumber(value);
    putChar('"');
}

// The figures the script needs to zoom: the drawing's size, the columns,
// the font and the minimum height, as the document's own data.
void putScriptData(const DrawingArea& area) {
    putAttribute("data-width", area.width);
    putAttribute("data-height", area.height);
    putAttribute("data-columns", settings.ncols);
    putAttribute("data-fontsize", std::fabs(settings.fontsize));
    putAttribute("data-em", svgEmHeight());
    putAttribute("data-min", settings.minHeightGiven ? settings.minHeight : svgDefaultMinHeight);
}

void putSvgStart(const PageView& page, const DrawingArea& area) {
    putLine("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>");
    putBytes("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" id=\"voziv\" width=\"");
    putNumber(page.width);
    putBytes("pt\" height=\"");
    putNumber(page.height);
    putBytes("pt\" viewBox=\"0 0 ");
    putNumber(page.width);
    putChar(' ');
    putNumber(page.height);
    putChar('"');
    putScriptData(area);
    putLine(">");
    // The script's views are styled here too: a zoom marks the chart z and
    // the blocks it shows v, a search marks the chart q and the matches s.
    // Added by the script, the rules would make the browser style the
    // whole document once more as it opens.
    putLine(
        "<style>.h{display:none}text{stroke:none;fill:#000}"
        "#chart.z>g:not(.v){display:none}#chart.z>g.v{display:inline}"
        "#chart>g{cursor:pointer}#chart>g.s>rect{fill:#ffd700}"
        "#chart.q>g:not(.s)>rect{fill-opacity:.35}</style>");
    putLine("<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>");
}

// Each column clips the labels in it, a guard where a font's metrics do not
// match the one the viewer has.
void putColumnClips(const DrawingArea& area) {
    putLine("<defs>");
    const double cellwidth = area.width / settings.ncols;
    for (int column = 0; column < settings.ncols; ++column) {
        putBytes("<clipPath id=\"c");
        putInt(column);
        putBytes("\"><rect");
        putAttribute("x", cellwidth * column);
        putBytes(" y=\"0\"");
        putAttribute("width", cellwidth);
        putAttribute("height", area.height);
        putLine("/></clipPath>");
    }
    putLine("</defs>");
}

// The group that holds all text and the drawing, at the drawing's top left.
void putDrawingGroup(const PageView& page) {
    const FontMetrics& font = metricsFor(settings.fontname);
    putBytes("<g transform=\"translate(");
    putNumber(page.left);
    putChar(' ');
    putNumber(page.top);
    putBytes(")\" font-family=\"");
    putBytes(font.cssFamily);
    putBytes("\" font-weight=\"");
    putBytes(font.cssWeight);
    putBytes("\" font-style=\"");
    putBytes(font.cssStyle);
    putChar('"');
    putAttribute("font-size", std::fabs(settings.fontsize));
    putLine(">");
}

// The title and, right-aligned, the date, an em above the drawing.
void putTitle(const std::string& path, const DrawingArea& area) {
    std::string title = "The number of disk blocks used at ";
    appendDisplayText(title, path);
    std::string escaped;
    appendXml(escaped, title);
    putBytes("<title>");
    putBytes(escaped);
    putLine("</title>");
    putBytes("<text x=\"0\"");
    putAttribute("y", -svgEmHeight());
    putBytes(">");
    putBytes(escaped);
    putLine("</text>");
    const std::string date = dateText(std::time(nullptr));  // after the input has been read
    putBytes("<text text-anchor=\"end\"");
    putAttribute("x", area.width);
    putAttribute("y", -svgEmHeight());
    putBytes(">");
    putBytes(std::string_view(date).substr(0, 24));  // without the line end
    putLine("</text>");
}

// The chart: the grey background, then the blocks, filled white and
// outlined in black unless they say otherwise.
void putChart(const DrawingArea& area, const std::string& path) {
    putBytes("<g id=\"chart\" fill=\"#fff\" stroke=\"#000\"");
    putAttribute("stroke-width", std::fabs(settings.linewidth));
    putBytes(">\n<rect id=\"background\" fill=\"#e6e6e6\" stroke=\"none\"");
    putAttribute("width", area.width);
    putAttribute("height", area.height);
    putLine("/>");
    printSvgBlocks(area, path);
    putLine("</g>");
}

}  // namespace

void writeSvgDocument() {
    const DrawingArea area = drawingArea();
    const PageView page = pageView(area);
    putSvgStart(page, area);
    putColumnClips(area);
    putDrawingGroup(page);
    const std::string path = readDuOutput();
    putTitle(path, area);
    putChart(area, path);
    putLine("</g>");
    putBytes("<script><![CDATA[");
    putBytes(svgScript);
    putLine("]]></script>");
    putLine("</svg>");
}

}  // namespace voziv
