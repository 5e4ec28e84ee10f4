#include "chart/records.hpp"

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "chart/output.hpp"
#include "chart/ps_string.hpp"
#include "settings/settings.hpp"
#include "tree/node.hpp"
#include "tree/sort_tree.hpp"

namespace voziv {

namespace {

constexpr std::int32_t hueSteps = 32768;
constexpr std::string_view white = "0.000000 0.000000 1.000000";

char* copy(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

// One line: depth (name \(size\)) height top hue saturation brightness,
// formatted in place around the escaped name.
void putRecord(std::int64_t depth, const Node* node, double height, double top, std::int32_t hue,
               bool colored) {
    reserveOutput(32);
    char* p = copy(formatInt(out.buffer + out.length, depth), " (");
    out.length = static_cast<std::size_t>(p - out.buffer);
    putPsString(nodeName(node));
    reserveOutput(3 * widestFixed + 24 + 64);
    p = copy(out.buffer + out.length, " \\(");
    p = copy(formatInt(p, node->size), "\\)) ");
    p = formatFixed(p, height, 2);
    *p++ = ' ';
    p = formatFixed(p, top, 2);
    *p++ = ' ';
    if (colored) {
        p = copy(formatFixed(p, static_cast<double>(hue) / hueSteps, 6), " 1.000000 1.000000\n");
    } else {
        p = copy(copy(p, white), "\n");
    }
    out.length = static_cast<std::size_t>(p - out.buffer);
}

// What is left to write of one sibling list: its next node, the parent that
// the heights are shares of, and where the next block's top edge is.
struct SiblingList {
    const Node* node;
    const Node* parent;
    std::int64_t depth;
    double top;
    double parentHeight;
    std::int32_t hue;              // each list starts again at the first hue
    std::span<Node* const> ahead;  // of a long list: the nodes still to fetch
};

// How many nodes of a long list are fetched before their records are due.
constexpr std::size_t fetchDistance = 16;

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

void printTree(double drawHeight) {
    const Node* root = usageTree.root;
    putRecord(0, root, drawHeight, drawHeight, 0, false);
    const bool colored = settings.colorStep != 0;
    // Depth first with an explicit stack: a node's record, then its
    // children's, then its next sibling's, at any depth. A parent of size 0
    // gets no records below it.
    std::vector<SiblingList> lists;
    if (root->child != nullptr && root->size != 0) {
        lists.push_back({root->child, root, 1, drawHeight, drawHeight, 0, aheadOf(root)});
    }
    while (!lists.empty()) {
        SiblingList& list = lists.back();
        const Node* node = list.node;
        if (node == nullptr) {
            lists.pop_back();
            continue;
        }
        // The next nodes to be written lie anywhere in memory: ask for them
        // now, while this record is formatted.
        __builtin_prefetch(node->next);
        __builtin_prefetch(node->child);
        if (!list.ahead.empty()) {
            fetch(list.ahead.front());
            list.ahead = list.ahead.subspan(1);
        }
        double height = static_cast<double>(node->size) * list.parentHeight /
                        static_cast<double>(list.parent->size);
        putRecord(list.depth, node, height, list.top, list.hue, colored);
        SiblingList below{node->child, node, list.depth + 1, list.top, height, 0, {}};
        list.hue = (list.hue + settings.colorStep) & (hueSteps - 1);
        list.top -= height;
        list.node = node->next;
        if (below.node != nullptr && node->size != 0) {
            below.ahead = aheadOf(node);
            lists.push_back(below);
        }
    }
}

}  // namespace voziv
