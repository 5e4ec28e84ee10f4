#include "chart/records.hpp"

#include <cstring>
#include <string_view>

#include "chart/blocks.hpp"
#include "chart/output.hpp"
#include "chart/ps_string.hpp"

namespace voziv {

namespace {

constexpr std::string_view white = "0.000000 0.000000 1.000000";

char* copy(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

// One line: depth (name \(size\)) height top hue saturation brightness,
// formatted in place around the escaped name.
void putRecord(const Block& block) {
    reserveOutput(32);
    char* p = copy(formatInt(out.buffer + out.length, block.depth), " (");
    out.length = static_cast<std::size_t>(p - out.buffer);
    putPsString(block.name);
    reserveOutput(3 * widestFixed + 24 + 64);
    p = copy(out.buffer + out.length, " \\(");
    p = copy(formatInt(p, block.size), "\\)) ");
    p = formatFixed(p, block.height, 2);
    *p++ = ' ';
    p = formatFixed(p, block.top, 2);
    *p++ = ' ';
    if (block.hue >= 0) {
        p = copy(formatFixed(p, static_cast<double>(block.hue) / hueSteps, 6),
                 " 1.000000 1.000000\n");
    } else {
        p = copy(copy(p, white), "\n");
    }
    out.length = static_cast<std::size_t>(p - out.buffer);
}

}  // namespace

void printTree(double drawHeight) {
    BlockWalk walk = startBlocks(drawHeight);
    Block block;
    while (nextBlock(walk, block))
        putRecord(block);
}

}  // namespace voziv
