#include "settings/command_line.hpp"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "common/failure.hpp"
#include "settings/settings.hpp"
#include "tree/ordering.hpp"

namespace voziv {

const char* const usageText[] = {
    "",
    "voziv - filter for converting output of du to PostScript file",
    "Version 2.3",
    "",
    "",
    "",
    "",
    "",
    "voziv [options] < infile > outfile",
    "OPTIONS:",
    "  -land       ... landscape",
    "  -port       ... portrait (default)",
    "  -a3         ... A3",
    "  -a4         ... A4 (default)",
    "  -b4         ... B4",
    "  -b5         ... B5",
    "  -us         ... US letter",
    "  -sa         ... sort by alphabetically",
    "  -ss         ... sort by volume (default)",
    "  -bw         ... monochrome (default)",
    "  -color      ... color mode (8 colors)",
    "  -ncolor num ... number of color",
    "  -ff name    ... font family name",
    "  -fs size    ... font size",
    "  -ms size    ... margin size",
    "  -lw size    ... line width",
    "  -ncols num  ... number of columns",
    "  -eps w h    ... output an epsfile contained in BoundingBox:0 0 w h",
    "  -svg        ... output an SVG document for a web browser",
    "  -min size   ... gather the blocks lower than size points",
    "  -fit        ... shorten names so that labels stay in their cells",
    "  -unit num   ... bytes per count: sizes in labels as du -h writes them",
    nullptr,
};

const char* const versionText = "voziv " VOZIV_VERSION;

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void setPaper(PaperSize paper) {
    settings.paperWidth = paper.width;
    settings.paperHeight = paper.height;
}

void setColumns(const char* const* values) {
    std::int32_t columns = readInteger(values[0]);
    settings.ncols = columns;
    if (columns > maxColumns) fail("too large '-ncols'\n", exitBadArgument);
    // No column at all would make the document divide by zero.
    if (columns < 1) fail("too small '-ncols'\n", exitBadArgument);
}

void setHueCount(const char* const* values) {
    std::int32_t hues = readInteger(values[0]);
    settings.colorStep = hues >= 2 ? 32768 / hues : 0;
}

// The document measures its font by the letter M, which a font of size 0
// (as printed, six digits after the point) does not have.
void setFontSize(const char* const* values) {
    double size = readReal(values[0]);
    if (std::fabs(size) < 0.0000005) {
        fail(std::string("invalid number ") + values[0] + "\n", exitBadArgument);
    }
    settings.fontsize = size;
}

void setMinHeight(const char* const* values) {
    settings.minHeight = readReal(values[0]);
    settings.minHeightGiven = true;
}

// A count is at least one byte: a unit below 1 would make every size 0.
void setUnit(const char* const* values) {
    std::int32_t unit = readInteger(values[0]);
    if (unit < 1) fail(std::string("invalid number ") + values[0] + "\n", exitBadArgument);
    settings.unit = unit;
}

struct OptionWord {
    const char* word;
    int values;  // arguments that follow the word
    void (*apply)(const char* const* values);
};

// Tried in this order; the first word equal to the argument applies.
constexpr OptionWord optionWords[] = {
    {"-land", 0,
     [](const char* const*) {
         settings.mode = PageMode::Landscape;
         settings.ncols = landscapeColumns;
     }},
    {"-port", 0,
     [](const char* const*) {
         settings.mode = PageMode::Portrait;
         settings.ncols = portraitColumns;
     }},
    {"-ss", 0, [](const char* const*) { settings.compare = compareBySize; }},
    {"-sa", 0, [](const char* const*) { settings.compare = compareByName; }},
    {"-bw", 0, [](const char* const*) { settings.colorStep = 0; }},
    {"-color", 0, [](const char* const*) { settings.colorStep = 4096; }},
    {"-ncolor", 1, setHueCount},
    {"-a3", 0, [](const char* const*) { setPaper(paperA3); }},
    {"-a4", 0, [](const char* const*) { setPaper(paperA4); }},
    {"-b4", 0, [](const char* const*) { setPaper(paperB4); }},
    {"-b5", 0, [](const char* const*) { setPaper(paperB5); }},
    {"-us", 0, [](const char* const*) { setPaper(paperUsLetter); }},
    {"-ff", 1, [](const char* const* v) { settings.fontname = v[0]; }},
    {"-fs", 1, setFontSize},
    {"-ms", 1, [](const char* const* v) { settings.margin = readReal(v[0]); }},
    {"-lw", 1, [](const char* const* v) { settings.linewidth = readReal(v[0]); }},
    {"-ncols", 1, setColumns},
    {"-eps", 2,
     [](const char* const* v) {
         settings.paperWidth = readReal(v[0]);
         settings.paperHeight = readReal(v[1]);
         settings.mode = PageMode::Eps;
     }},
    {"-svg", 0, [](const char* const*) { settings.svg = true; }},
    {"-min", 1, setMinHeight},
    {"-fit", 0, [](const char* const*) { settings.fit = true; }},
    {"-unit", 1, setUnit},
};

const OptionWord* findOption(const char* argument) {
    for (const OptionWord& option : optionWords) {
        if (std::strcmp(option.word, argument) == 0) return &option;
    }
    return nullptr;
}

}  // namespace

std::int32_t readInteger(const char* text) {
    constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t smallest = std::numeric_limits<std::int32_t>::min();
    while (isBlank(*text))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    std::int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value <= largest + 1) value = value * 10 + (*text - '0');  // stays far below overflow
    }
    if (negative) value = -value;
    return static_cast<std::int32_t>(value > largest    ? largest
                                     : value < smallest ? smallest
                                                        : value);
}

// A size must be a number PostScript can hold: finite and within the range
// of its reals. Within that bound no product or sum the chart makes of the
// sizes and the counts can overflow a double.
double readReal(const char* text) {
    constexpr double largestSize = 1e38;
    double value = std::strtod(text, nullptr);
    if (!(std::fabs(value) <= largestSize)) {
        fail(std::string("invalid number ") + text + "\n", exitBadArgument);
    }
    return value;
}

Request getopt(int argc, char** argv) {
    installDefaults();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) return Request::help;
        if (std::strcmp(argv[i], "--version") == 0) return Request::version;
        const OptionWord* option = findOption(argv[i]);
        if (option == nullptr)
            fail(std::string("unknown option ") + argv[i] + "\n", exitBadArgument, true);
        if (argc - 1 - i < option->values) {
            fail(std::string("missing value for ") + argv[i] + "\n", exitBadArgument, true);
        }
        option->apply(argv + i + 1);
        i += option->values;
    }
    return Request::chart;
}

}  // namespace voziv
