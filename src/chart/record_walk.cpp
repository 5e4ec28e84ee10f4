#include "chart/record_walk.hpp"

#include "settings/settings.hpp"
#include "tree/node.hpp"
#include "tree/sort_tree.hpp"

namespace voziv {

namespace {

// How many nodes of a long list are fetched before their records are due.
constexpr std::size_t fetchDistance = 64;

std::span<Node* const> aheadOf(const Node* parent) {
    std::span<Node* const> order = sortedOrder(parent);
    return order.size() > fetchDistance ? order.subspan(fetchDistance) : std::span<Node* const>{};
}

// A node and the name that follows it, which may reach into the next line.
void fetch(const Node* node) {
    __builtin_prefetch(node);
    __builtin_prefetch(reinterpret_cast<const char*>(node) + 64);
}

}  // namespace

TreeWalk startWalk(double drawHeight) {
    TreeWalk walk;
    walk.colored = settings.colorStep != 0;
    walk.drawHeight = drawHeight;
    return walk;
}

bool walkRecords(TreeWalk& walk, RecordBatch& batch) {
    Record* next = batch.records.data();
    Record* const end = next + batch.records.size();
    const Node* root = usageTree.root;
    if (!walk.rootDone && next != end) {
        walk.rootDone = true;
        *next++ = {root, walk.drawHeight, walk.drawHeight, 0, -1};
        // A parent of size 0 gets no records below it.
        if (root->child != nullptr && root->size != 0) {
            walk.lists.push_back(
                {root->child, root, 1, walk.drawHeight, walk.drawHeight, 0, aheadOf(root)});
        }
    }
    std::vector<SiblingList>& lists = walk.lists;
    while (!lists.empty() && next != end) {
        SiblingList& list = lists.back();
        const Node* node = list.node;
        if (node == nullptr) {
            lists.pop_back();
            continue;
        }
        // The next nodes lie anywhere in memory: ask for them now.
        __builtin_prefetch(node->next);
        __builtin_prefetch(node->child);
        if (!list.ahead.empty()) {
            fetch(list.ahead.front());
            list.ahead = list.ahead.subspan(1);
        }
        double height = static_cast<double>(node->size) * list.parentHeight /
                        static_cast<double>(list.parent->size);
        *next++ = {node, height, list.top, list.depth, walk.colored ? list.hue : -1};
        SiblingList below{node->child, node, list.depth + 1, list.top, height, 0, {}};
        list.hue = (list.hue + settings.colorStep) & (hueSteps - 1);
        list.top -= height;
        list.node = node->next;
        if (below.node != nullptr && node->size != 0) {
            below.ahead = aheadOf(node);
            lists.push_back(below);
        }
    }
    batch.count = static_cast<std::size_t>(next - batch.records.data());
    return !lists.empty();
}

}  // namespace voziv
