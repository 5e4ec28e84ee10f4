#include "chart/font_metrics.hpp"

#include <array>
#include <utility>

#include "chart/utf8.hpp"

namespace voziv {
namespace {

// A face's table: printable ASCII (95), Latin-1 from 160 (96), the ellipsis.
constexpr int glyphCount = 192;
constexpr int latin1At = 95;

// clang-format off
// Measured in Ghostscript 10.00.0 by tools/font-metrics; rerun it to regenerate.
// Faces by family and style: regular, bold, italic, bold italic.
constexpr std::string_view faceNames[3][4] = {
    {"Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"},
    {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique"},
    {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"},
};
constexpr double capHeights[3][4] = {
    {661.734, 675.734, 652.734, 668.734},
    {728.703, 728.703, 728.703, 728.703},
    {562.781, 563.781, 562.781, 563.781},
};
constexpr int uniformWidth = 600;  // every glyph of the faces without a table
constexpr int tableOf[3][4] = {{0, 1, 2, 3}, {4, 5, 4, 5}, {-1, -1, -1, -1}};
constexpr std::uint16_t widthTables[6][glyphCount] = {
    {  // Times-Roman
        250,333,408,500,500,833,778,333,333,333,500,564,250,333,250,278,500,500,500,500,500,500,500,
        500,500,500,278,278,564,564,564,444,921,722,667,667,722,611,556,722,722,333,389,722,611,889,
        722,722,556,722,667,556,611,722,722,944,722,722,611,333,278,333,469,500,333,444,500,444,500,
        444,333,500,500,278,278,500,278,778,500,500,500,500,333,389,278,500,500,722,500,500,444,480,
        200,480,541,250,333,500,500,500,500,200,500,333,760,276,500,564,333,760,333,400,564,300,300,
        333,500,453,250,333,300,310,500,750,750,750,444,722,722,722,722,722,722,889,667,611,611,611,
        611,333,333,333,333,722,722,722,722,722,722,722,564,722,722,722,722,722,722,556,500,444,444,
        444,444,444,444,667,444,444,444,444,444,278,278,278,278,500,500,500,500,500,500,500,564,500,
        500,500,500,500,500,500,500,1000},
    {  // Times-Bold
        250,333,555,500,500,1000,833,333,333,333,500,570,250,333,250,278,500,500,500,500,500,500,
        500,500,500,500,333,333,570,570,570,500,930,722,667,722,722,667,611,778,778,389,500,778,667,
        944,722,778,611,778,722,556,667,722,722,1000,722,722,667,333,278,333,581,500,333,500,556,
        444,556,444,333,500,556,278,333,556,278,833,556,500,556,556,444,389,333,556,500,722,500,500,
        444,394,220,394,520,250,333,500,500,500,500,220,500,333,747,300,500,570,333,747,333,400,570,
        300,300,333,556,540,250,333,300,330,500,750,750,750,500,722,722,722,722,722,722,1000,722,
        667,667,667,667,389,389,389,389,722,722,778,778,778,778,778,570,778,722,722,722,722,722,611,
        556,500,500,500,500,500,500,722,444,444,444,444,444,278,278,278,278,500,556,500,500,500,500,
        500,570,500,556,556,556,556,500,556,500,1000},
    {  // Times-Italic
        250,333,420,500,500,833,778,333,333,333,500,675,250,333,250,278,500,500,500,500,500,500,500,
        500,500,500,333,333,675,675,675,500,920,611,611,667,722,611,611,722,722,333,444,667,556,833,
        667,722,611,722,611,500,556,722,611,833,611,556,556,389,278,389,422,500,333,500,500,444,500,
        444,278,500,500,278,278,444,278,722,500,500,500,500,389,389,278,500,444,667,444,444,389,400,
        275,400,541,250,389,500,500,500,500,275,500,333,760,276,500,675,333,760,333,400,675,300,300,
        333,500,523,250,333,300,310,500,750,750,750,500,611,611,611,611,611,611,889,667,611,611,611,
        611,333,333,333,333,722,667,722,722,722,722,722,675,722,722,722,722,722,556,611,500,500,500,
        500,500,500,500,667,444,444,444,444,444,278,278,278,278,500,500,500,500,500,500,500,675,500,
        500,500,500,500,444,500,444,889},
    {  // Times-BoldItalic
        250,389,555,500,500,833,778,333,333,333,500,570,250,333,250,278,500,500,500,500,500,500,500,
        500,500,500,333,333,570,570,570,500,832,667,667,667,722,667,667,722,778,389,500,667,611,889,
        722,722,611,722,667,556,611,722,667,889,667,611,611,333,278,333,570,500,333,500,500,444,500,
        444,333,500,556,278,278,500,278,778,556,500,500,500,389,389,278,556,444,667,500,444,389,348,
        220,348,570,250,389,500,500,500,500,220,500,333,747,266,500,606,333,747,333,400,570,300,300,
        333,576,500,250,333,300,300,500,750,750,750,500,667,667,667,667,667,667,944,667,667,667,667,
        667,389,389,389,389,722,722,722,722,722,722,722,570,722,722,722,722,722,611,611,500,500,500,
        500,500,500,500,722,444,444,444,444,444,278,278,278,278,500,556,500,500,500,500,500,570,500,
        556,556,556,556,444,500,444,1000},
    {  // Helvetica
        278,278,355,556,556,889,667,222,333,333,389,584,278,333,278,278,556,556,556,556,556,556,556,
        556,556,556,278,278,584,584,584,556,1015,667,667,722,722,667,611,778,722,278,500,667,556,
        833,722,778,667,778,722,667,611,722,667,944,667,667,611,278,278,278,469,556,222,556,556,500,
        556,556,278,556,556,222,222,500,222,833,556,556,556,556,333,500,278,556,500,722,500,500,500,
        334,260,334,584,278,333,556,556,556,556,260,556,333,737,370,556,584,333,737,333,400,584,333,
        333,333,556,537,278,333,333,365,556,834,834,834,611,667,667,667,667,667,667,1000,722,667,
        667,667,667,278,278,278,278,722,722,778,778,778,778,778,584,778,722,722,722,722,667,667,611,
        556,556,556,556,556,556,889,500,556,556,556,556,278,278,278,278,556,556,556,556,556,556,556,
        584,611,556,556,556,556,500,556,500,1000},
    {  // Helvetica-Bold
        278,333,474,556,556,889,722,278,333,333,389,584,278,333,278,278,556,556,556,556,556,556,556,
        556,556,556,333,333,584,584,584,611,975,722,722,722,722,667,611,778,722,278,556,722,611,833,
        722,778,667,778,722,667,611,722,667,944,667,667,611,333,278,333,584,556,278,556,611,556,611,
        556,333,611,611,278,278,556,278,889,611,611,611,611,389,556,333,611,556,778,556,556,500,389,
        280,389,584,278,333,556,556,556,556,280,556,333,737,370,556,584,333,737,333,400,584,333,333,
        333,611,556,278,333,333,365,556,834,834,834,611,722,722,722,722,722,722,1000,722,667,667,
        667,667,278,278,278,278,722,722,778,778,778,778,778,584,778,722,722,722,722,667,667,611,556,
        556,556,556,556,556,889,556,556,556,556,556,278,278,278,278,611,611,611,611,611,611,611,584,
        611,611,611,611,611,556,611,556,1000},
};
// clang-format on

enum Family { serif, sansSerif, monospace };

constexpr const char* cssFamilies[3] = {
    "Times, 'Times New Roman', 'Liberation Serif', 'Nimbus Roman', serif",
    "Helvetica, Arial, 'Liberation Sans', 'Nimbus Sans', sans-serif",
    "Courier, 'Courier New', 'Liberation Mono', 'Nimbus Mono PS', monospace",
};
// A font we know nothing of besides its name: the viewer picks the face.
constexpr const char* genericFamilies[3] = {"serif", "sans-serif", "monospace"};

// The mean width of printable ASCII stands in for characters without a
// width: capitals make it a little wider than running lower-case text,
// which errs on the side of a label that fits.
constexpr double asciiAverage(const std::uint16_t* widths) {
    if (widths == nullptr) return uniformWidth;
    double sum = 0;
    for (int i = 0; i < latin1At; ++i)
        sum += widths[i];
    return sum / latin1At;
}

// Style bit 1 is bold, bit 2 italic, as in the order of faceNames. A
// generic face takes the widths of its standard counterpart as an average.
constexpr FontMetrics face(int family, int style, bool standard) {
    int table = tableOf[family][style];
    const std::uint16_t* widths = table < 0 ? nullptr : widthTables[table];
    return {standard ? cssFamilies[family] : genericFamilies[family],
            (style & 1) != 0 ? "bold" : "normal",
            (style & 2) != 0 ? "italic" : "normal",
            capHeights[family][style],
            standard ? widths : nullptr,
            asciiAverage(widths)};
}

// The twelve standard faces, then their twelve generic counterparts.
constexpr std::array<FontMetrics, 24> faces = [] {
    std::array<FontMetrics, 24> all{};
    for (int i = 0; i < 24; ++i)
        all[i] = face(i / 4 % 3, i % 4, i < 12);
    return all;
}();

// Characters East Asian fonts set a full em wide: Hangul, CJK, kana,
// full-width forms, and the pictographs that sit among them.
bool isWide(char32_t code) {
    constexpr std::pair<char32_t, char32_t> wide[] = {
        {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
        {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
    };
    for (const auto& [first, last] : wide) {
        if (code >= first && code <= last) return true;
    }
    return false;
}

double unitsOf(const FontMetrics& font, char32_t code) {
    if (font.widths != nullptr) {
        if (code >= 32 && code <= 126) return font.widths[code - 32];
        if (code >= 160 && code <= 255) return font.widths[code - 160 + latin1At];
        if (code == 0x2026) return font.widths[glyphCount - 1];
    }
    if (isWide(code)) return 1000;
    if (code >= 0x300 && code < 0x370) return 0;  // a combining accent sits on its letter
    return font.averageWidth;
}

}  // namespace

const FontMetrics& metricsFor(std::string_view fontname) {
    for (int family = 0; family < 3; ++family) {
        for (int style = 0; style < 4; ++style) {
            if (fontname == faceNames[family][style]) return faces[4 * family + style];
        }
    }
    auto has = [fontname](std::string_view part) {
        return fontname.find(part) != std::string_view::npos;
    };
    // "Mono" first: DejaVuSansMono is monospace before it is sans-serif.
    Family family = has("Courier") || has("Mono")                     ? monospace
                    : has("Helvetica") || has("Arial") || has("Sans") ? sansSerif
                                                                      : serif;
    int style = (has("Bold") ? 1 : 0) | (has("Italic") || has("Oblique") ? 2 : 0);
    return faces[12 + 4 * family + style];
}

double textWidth(const FontMetrics& font, std::string_view utf8, double size) {
    double units = 0;
    while (!utf8.empty()) {
        const Utf8Char c = decodeUtf8(utf8);
        units += c.valid ? unitsOf(font, c.code) : font.averageWidth;
        utf8.remove_prefix(c.length);
    }
    return units * size / 1000;
}

}  // namespace voziv
