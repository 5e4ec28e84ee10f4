#include "chart/blocks.hpp"

#include <algorithm>

#include "chart/output.hpp"
#include "settings/settings.hpp"
#include "tree/node.hpp"

namespace voziv {

namespace {

enum class Fate { drawn, thin, leftOut };

// size's share of the parent's size times height, bounded, so that heights
// below a count far larger than its parent's cannot grow to infinity and
// make 0 times infinity.
double shareOf(const Node* node, const Node* parent, double height) {
    return std::clamp(static_cast<double>(node->size) * height / static_cast<double>(parent->size),
                      -largestReal, largestReal);
}

// Each rule holds only when it is set: without them every block is drawn,
// even one of a negative count.
Fate fateOf(const BlockRules& rules, const SiblingList& list, const Node* node, double height) {
    if ((rules.budgetHeight > 0 && height < rules.budgetHeight) ||
        (rules.minZoomedHeight > 0 &&
         shareOf(node, list.parent, rules.drawHeight) < rules.minZoomedHeight)) {
        return Fate::leftOut;
    }
    if (list.thin || (rules.minHeight > 0 && height < rules.minHeight)) {
        return rules.keepThin ? Fate::thin : Fate::leftOut;
    }
    return Fate::drawn;
}

// A sum of counts stops at the 64-bit limits rather than wrapping round.
std::int64_t saturatingSum(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum)) return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
}

bool hasRules(const BlockRules& rules) {
    return rules.minHeight > 0 || rules.minZoomedHeight > 0 || rules.budgetHeight > 0;
}

// Goes over a new list once to find where the drawn siblings end and what
// is gathered after them.
void planList(const BlockRules& rules, SiblingList& list) {
    double drawnHeight = 0;
    std::int64_t drawn = 0;
    for (const Node* node = list.node; node != nullptr; node = node->next) {
        const double height = shareOf(node, list.parent, list.parentHeight);
        if (fateOf(rules, list, node, height) == Fate::drawn) {
            drawnHeight += height;
            ++drawn;
        } else {
            ++list.gatheredCount;
            list.gatheredSize = saturatingSum(list.gatheredSize, node->size);
            list.gatheredHeight += height;
        }
    }
    list.gatheredTop = list.thinTop = list.top - drawnHeight;
    // Sizes rounded up (du -h) can add up to more than their parent: the
    // gathered block stands for the rest and ends where the parent does.
    const double room = list.gatheredTop - (list.top - list.parentHeight);
    list.gatheredHeight = std::min(list.gatheredHeight, room);
    list.thinHue = static_cast<std::int32_t>((drawn * settings.colorStep) & (hueSteps - 1));
}

// Starts the list of node's children, below its block, and tells the block
// how many of them are not drawn. A parent of size 0 gets no blocks below it.
void pushChildren(BlockWalk& walk, const Node* node, Block& block) {
    if (node->child == nullptr || node->size == 0 || block.depth + 1 >= walk.rules.maxDepth) {
        return;
    }
    SiblingList list{node->child, node, block.depth + 1, block.top, block.height, 0};
    list.thin = block.thin;
    if (hasRules(walk.rules)) planList(walk.rules, list);
    block.leftOut = list.gatheredCount;
    walk.lists.push_back(list);
}

// The gathered block at the end of a list, if it has one to draw.
bool gatheredBlock(const BlockRules& rules, const SiblingList& list, Block& block) {
    const bool thin = list.thin || list.gatheredHeight < rules.minHeight;
    if (list.gatheredCount == 0 || (thin && !rules.keepThin)) return false;
    block = {list.depth,
             {},
             list.gatheredSize,
             list.gatheredCount,
             list.gatheredHeight,
             list.gatheredTop,
             -1,
             thin,
             0};
    return true;
}

// The next node of the list as a block, or false when it is left out.
bool siblingBlock(const BlockRules& rules, SiblingList& list, const Node* node, Block& block) {
    const double height = shareOf(node, list.parent, list.parentHeight);
    const Fate fate = fateOf(rules, list, node, height);
    if (fate == Fate::leftOut) return false;
    const bool drawn = fate == Fate::drawn;
    double& top = drawn ? list.top : list.thinTop;
    std::int32_t& hue = drawn ? list.hue : list.thinHue;
    block = {list.depth, nodeName(node), node->size, 0, height, top, hue, !drawn, 0};
    if (settings.colorStep == 0) block.hue = -1;
    top -= height;
    hue = (hue + settings.colorStep) & (hueSteps - 1);
    return true;
}

}  // namespace

BlockWalk startBlocks(const BlockRules& rules) {
    BlockWalk walk;
    walk.rules = rules;
    return walk;
}

bool nextBlock(BlockWalk& walk, Block& block) {
    if (!walk.rootDone) {
        // The root is white in every colour mode, and fills the drawing.
        walk.rootDone = true;
        const Node* root = usageTree.root;
        const double height = walk.rules.drawHeight;
        block = {0, nodeName(root), root->size, 0, height, height, -1, false, 0};
        pushChildren(walk, root, block);
        return true;
    }
    while (!walk.lists.empty()) {
        SiblingList& list = walk.lists.back();
        const Node* node = list.node;
        if (node == nullptr) {
            const bool found = gatheredBlock(walk.rules, list, block);
            walk.lists.pop_back();
            if (found) return true;
            continue;
        }
        list.node = node->next;
        if (siblingBlock(walk.rules, list, node, block)) {
            pushChildren(walk, node, block);  // list is not used after this
            return true;
        }
    }
    return false;
}

}  // namespace voziv
