#include "chart/blocks.hpp"

#include <algorithm>

#include "chart/output.hpp"
#include "settings/settings.hpp"
#include "tree/node.hpp"

namespace voziv {

namespace {

// The root is white in every colour mode, and fills the drawing's height.
Block rootBlock(const BlockWalk& walk) {
    const Node* root = usageTree.root;
    return {0, nodeName(root), root->size, walk.drawHeight, walk.drawHeight, -1};
}

// A parent of size 0 gets no blocks below it.
void pushChildren(BlockWalk& walk, const Node* parent, std::int64_t depth, double top,
                  double height) {
    if (parent->child != nullptr && parent->size != 0) {
        walk.lists.push_back({parent->child, parent, depth + 1, top, height, 0});
    }
}

}  // namespace

BlockWalk startBlocks(double drawHeight) {
    BlockWalk walk;
    walk.drawHeight = drawHeight;
    return walk;
}

bool nextBlock(BlockWalk& walk, Block& block) {
    if (!walk.rootDone) {
        walk.rootDone = true;
        block = rootBlock(walk);
        pushChildren(walk, usageTree.root, 0, walk.drawHeight, walk.drawHeight);
        return true;
    }
    while (!walk.lists.empty()) {
        SiblingList& list = walk.lists.back();
        const Node* node = list.node;
        if (node == nullptr) {
            walk.lists.pop_back();
            continue;
        }
        // Bounded, so that heights below a count far larger than its
        // parent's cannot grow to infinity and make 0 times infinity.
        const double height = std::clamp(static_cast<double>(node->size) * list.parentHeight /
                                             static_cast<double>(list.parent->size),
                                         -largestReal, largestReal);
        const bool colored = settings.colorStep != 0;
        block = {list.depth, nodeName(node), node->size, height, list.top, colored ? list.hue : -1};
        list.hue = (list.hue + settings.colorStep) & (hueSteps - 1);
        list.top -= height;
        list.node = node->next;
        pushChildren(walk, node, block.depth, block.top, height);  // list is no longer used
        return true;
    }
    return false;
}

}  // namespace voziv
