#include "chart/document.hpp"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "chart/output.hpp"
#include "chart/page.hpp"
#include "chart/print_text.hpp"
#include "chart/prolog.hpp"
#include "chart/ps_string.hpp"
#include "chart/records.hpp"
#include "chart/svg_document.hpp"
#include "settings/command_line.hpp"
#include "settings/settings.hpp"
#include "tree/reader.hpp"

namespace voziv {

namespace {

// An EPS figure must say so in its first line, or viewers and the programs
// that place figures treat it as a plain page and ignore its bounding box.
constexpr const char* pageHeader[] = {"%!", "%%Creator: voziv", nullptr};
constexpr const char* figureHeader[] = {"%!PS-Adobe-3.0 EPSF-3.0", "%%Creator: voziv", nullptr};

void putTranslate(double x, double y) {
    putFixed(x, 6);
    putChar(' ');
    putFixed(y, 6);
    putLine(" translate");
}

// A page asks for its paper, so that viewers and converters do not crop it
// to their default. Where the interpreter has no setpagedevice (a printer
// of the first level), or the device cannot take the size, the request does
// nothing. The paper is portrait for both orientations: a landscape chart
// turns itself.
void putPaperRequest() {
    putBytes("/setpagedevice where { pop mark { << /PageSize [");
    putFixed(settings.paperWidth, 6);
    putChar(' ');
    putFixed(settings.paperHeight, 6);
    putLine("] >> setpagedevice } stopped cleartomark } if");
}

// The conventions want whole points in the bounding box, rounded outward;
// the exact box follows in its own comment.
void putBoundingBox() {
    const double width = settings.paperWidth, height = settings.paperHeight;
    const double corners[] = {std::floor(std::min(0.0, width)), std::floor(std::min(0.0, height)),
                              std::ceil(std::max(0.0, width)), std::ceil(std::max(0.0, height))};
    putBytes("%%BoundingBox:");
    for (double corner : corners) {
        putChar(' ');
        putFixed(corner, 0);
    }
    putLine("");
    putBytes("%%HiResBoundingBox: 0 0 ");
    putFixed(width, 6);
    putChar(' ');
    putFixed(height, 6);
    putLine("");
}

void putPageSetup() {
    switch (settings.mode) {
        case PageMode::Portrait:
            putPaperRequest();
            putLine("");
            putTranslate(settings.margin, settings.margin);
            break;
        case PageMode::Landscape:
            putPaperRequest();
            putLine("-90 rotate");
            putLine("");
            putTranslate(settings.margin - settings.paperHeight, settings.margin);
            break;
        case PageMode::Eps:
            putBoundingBox();
            putLine("");
            putLine("gsave 12 dict begin");
            putTranslate(0.5 * settings.linewidth, 0.5 * settings.linewidth);
            break;
    }
}

void putDefinitions(const DrawingArea& area) {
    putBytes("/fontsize ");
    putFixed(settings.fontsize, 6);
    putLine(" def");
    putBytes("/");
    putBytes(settings.fontname);
    putLine(" findfont fontsize scalefont setfont");
    putBytes("/ncols ");
    putInt(settings.ncols);
    putLine(" def");
    putBytes("/cellwidth ");
    putFixed(area.width, 6);
    putLine(" ncols div def");
}

// The procedures; with -fit, labels are shown through fitShow, which
// keeps them inside their cells.
void putProlog() {
    printText(prologHead);
    if (settings.fit) printText(fitShow);
    for (const char* const* line = rectShow; *line != nullptr; ++line)
        putLine(settings.fit && std::string_view(*line) == labelShowLine ? "      str fitShow"
                                                                         : *line);
    printText(prologTail);
}

// The grey background, the drawing state, and the move to the title.
void putBackground(const DrawingArea& area) {
    putBytes("newpath ");
    putFixed(area.width, 6);
    putChar(' ');
    putFixed(area.height, 6);
    putLine(" 0 0 rect .9 setgray fill");
    putFixed(settings.linewidth, 6);
    putLine(" setlinewidth 0 setgray");
    putBytes("0 ");
    putFixed(area.height, 6);
    putLine(" emheight add moveto");
}

void putTitle(const std::string& path, const DrawingArea& area) {
    putBytes("(The number of disk blocks used at ");
    putPsString(path);
    putLine(") show");
    putFixed(area.width, 6);
    putChar(' ');
    putFixed(area.height, 6);
    putLine(" emheight add moveto");
}

}  // namespace

std::string dateText(std::time_t when) {
    char text[64] = "";
    // A clock beyond the year 9999 has no such rendering: no date.
    if (ctime_r(&when, text) == nullptr) text[0] = '\0';
    return text;
}

void putDate(std::time_t when) {
    putBytes("(");
    putBytes(dateText(when));
    putLine(") dup stringwidth pop neg 0 rmoveto show");
}

void writeDocument() {
    printText(settings.mode == PageMode::Eps ? figureHeader : pageHeader);
    putPageSetup();
    const DrawingArea area = drawingArea();
    putDefinitions(area);
    putProlog();
    putBackground(area);
    putTitle(readDuOutput(), area);
    putDate(std::time(nullptr));  // after the whole input has been read
    putLine("{ rectShow } loop");
    printTree(area.height);
    putLine("-1");
    putLine(settings.mode == PageMode::Eps ? "end grestore" : "showpage");
}

namespace {

// Typed at a terminal, voziv would seem to hang while it waits for input.
void hintAtTerminal() {
    if (::isatty(STDIN_FILENO) == 0) return;
    constexpr std::string_view hint =
        "voziv: reading du output from the terminal; usage: du -k DIR | voziv > chart.ps\n";
    ssize_t ignored = ::write(STDERR_FILENO, hint.data(), hint.size());
    (void)ignored;
}

}  // namespace

int runChart(int argc, char** argv) {
    switch (getopt(argc, argv)) {
        case Request::help:
            printText(usageText);
            break;
        case Request::version:
            putLine(versionText);
            break;
        case Request::chart:
            hintAtTerminal();
            if (settings.svg) {
                writeSvgDocument();
            } else {
                writeDocument();
            }
            break;
    }
    flushOutput();
    return 0;
}

}  // namespace voziv
