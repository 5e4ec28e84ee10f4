#include "chart/records.hpp"

#include <cstring>
#include <string_view>

#include "chart/blocks.hpp"
#include "chart/labels.hpp"
#include "chart/output.hpp"
#include "chart/ps_string.hpp"
#include "settings/settings.hpp"

namespace voziv {

namespace {

constexpr std::string_view white = "0.000000 0.000000 1.000000";
// Gathered siblings are grey, darker than the background that stands for a
// directory's own files.
constexpr std::string_view gatheredGrey = "0.000000 0.000000 0.700000";

char* copy(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

char* formatColour(char* at, const Block& block) {
    if (block.gathered != 0) return copy(at, gatheredGrey);
    if (block.hue < 0) return copy(at, white);
    return copy(formatFixed(at, static_cast<double>(block.hue) / hueSteps, 6),
                " 1.000000 1.000000");
}

// One line: depth (name \(size\)) height top hue saturation brightness,
// formatted in place around the escaped name.
void putRecord(const Block& block) {
    char room[widestLabelPart];
    reserveOutput(32);
    char* p = copy(formatInt(out.buffer + out.length, block.depth), " (");
    out.length = static_cast<std::size_t>(p - out.buffer);
    putPsString(labelName(block, room));
    reserveOutput(3 * widestFixed + 2 * widestLabelPart);
    p = copy(out.buffer + out.length, " \\(");
    p = copy(formatSize(p, block.size), "\\)) ");
    p = formatFixed(p, block.height, 2);
    *p++ = ' ';
    p = formatFixed(p, block.top, 2);
    *p++ = ' ';
    p = copy(formatColour(p, block), "\n");
    out.length = static_cast<std::size_t>(p - out.buffer);
}

}  // namespace

void printTree(double drawHeight) {
    BlockRules rules;
    rules.drawHeight = drawHeight;
    rules.minHeight = settings.minHeight;
    // Records deeper than the columns are not drawn; once the chart leaves
    // out what it does not draw, they are not written either.
    if (settings.minHeight > 0) rules.maxDepth = settings.ncols;
    BlockWalk walk = startBlocks(rules);
    Block block;
    while (nextBlock(walk, block))
        putRecord(block);
}

}  // namespace voziv
