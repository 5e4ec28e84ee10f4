// The chart's blocks in the order the document draws them: depth first over
// the sorted tree from the chart root, a node before its children, each
// with its height and top edge. Every writer draws from this one stream.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace voziv {

struct Node;

struct Block {
    std::int64_t depth;     // 0 for the chart root
    std::string_view name;  // of the node
    std::int64_t size;      // the node's count
    double height;          // points
    double top;             // the top edge, points above the drawing's bottom
    std::int32_t hue;       // in 1/32768 of the circle; negative: white
};

constexpr std::int32_t hueSteps = 32768;

// What is left to draw of one sibling list: its next node, the parent that
// the heights are shares of, and where the next block's top edge is.
struct SiblingList {
    const Node* node;
    const Node* parent;
    std::int64_t depth;
    double top;
    double parentHeight;
    std::int32_t hue;  // each list starts again at the first hue
};

// A walk in progress, with an explicit stack: no recursion at any depth.
struct BlockWalk {
    std::vector<SiblingList> lists;
    double drawHeight = 0;
    bool rootDone = false;
};

// A walk of the usage tree from its chart root, for a drawing area
// drawHeight points high.
BlockWalk startBlocks(double drawHeight);

// The next block into block; false once the walk is over.
bool nextBlock(BlockWalk& walk, Block& block);

}  // namespace voziv
