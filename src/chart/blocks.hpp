// The chart's blocks in the order the documents draw them: depth first over
// the sorted tree from the chart root, a node before its children, each
// with its height and top edge. Every writer draws from this one stream.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

namespace voziv {

struct Node;

struct Block {
    std::int64_t depth;     // 0 for the chart root
    std::string_view name;  // of the node; empty for gathered siblings
    std::int64_t size;      // the node's count, or the gathered siblings' sum
    std::int64_t gathered;  // 0 for a node, else how many siblings the block stands for
    double height;          // points
    double top;             // the top edge, points above the drawing's bottom
    std::int32_t hue;       // in 1/32768 of the circle; negative: white
    bool thin;              // lower than the minimum: kept only to be zoomed into
    std::int64_t leftOut;   // children that are not drawn (thin or left out)
};

constexpr std::int32_t hueSteps = 32768;

// Which blocks the stream holds. By default every block down to any depth,
// as the plain chart draws them.
struct BlockRules {
    double drawHeight = 0;
    // A block lower than this is not drawn, nor anything below it; the
    // siblings of one list left out so are one gathered block after the
    // others, if that is not lower itself.
    double minHeight = 0;
    // Keep the blocks lower than minHeight in the stream, flagged thin and
    // laid out inside their gathered block, for a document that zooms.
    bool keepThin = false;
    // Leave out entirely, as too thin to see even when zoomed, a block
    // whose height would be lower than this with its parent as tall as the
    // drawing; and a block lower than budgetHeight.
    double minZoomedHeight = 0;
    double budgetHeight = 0;
    std::int64_t maxDepth = std::numeric_limits<std::int64_t>::max();
};

// What is left to draw of one sibling list: its next node, the parent that
// the heights are shares of, and where the next block's top edge is.
struct SiblingList {
    const Node* node;
    const Node* parent;
    std::int64_t depth;
    double top;
    double parentHeight;
    std::int32_t hue;  // each list starts again at the first hue
    // The siblings left out of the drawing: they are gathered into one
    // block that begins at gatheredTop, where the drawn ones end.
    std::int64_t gatheredCount = 0;
    std::int64_t gatheredSize = 0;
    double gatheredHeight = 0;
    double gatheredTop = 0;
    double thinTop = 0;        // where the next thin sibling goes
    std::int32_t thinHue = 0;  // thin siblings' hues follow the drawn ones'
    bool thin = false;         // the whole list lies below a thin block
};

// A walk in progress, with an explicit stack: no recursion at any depth.
struct BlockWalk {
    BlockRules rules;
    std::vector<SiblingList> lists;
    bool rootDone = false;
};

// A walk of the usage tree from its chart root.
BlockWalk startBlocks(const BlockRules& rules);

// The next block into block; false once the walk is over.
bool nextBlock(BlockWalk& walk, Block& block);

}  // namespace voziv
