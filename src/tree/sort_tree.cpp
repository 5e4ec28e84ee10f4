#include "tree/sort_tree.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "settings/settings.hpp"
#include "tree/node.hpp"
#include "tree/ordering.hpp"

namespace voziv {

namespace {

struct SortEntry {
    std::uint64_t key;
    Node* node;
};

// Relinks one sibling list in order. The scratch array is reused from list
// to list, so sorting takes one array the size of the longest list.
void sortList(Node* parent, OrderingKey key, NodeOrdering compare,
              std::vector<SortEntry>& scratch) {
    scratch.clear();
    for (Node* node = parent->child; node != nullptr; node = node->next) {
        scratch.push_back({key.of(node), node});
    }
    auto before = [compare, decides = key.decides](const SortEntry& a, const SortEntry& b) {
        if (a.key != b.key) return a.key < b.key;
        return !decides && compare(a.node, b.node) < 0;
    };
    if (scratch.size() <= 16) {
        // Most lists are short: an insertion sort, stable and with no buffer.
        for (std::size_t i = 1; i < scratch.size(); ++i) {
            SortEntry entry = scratch[i];
            std::size_t j = i;
            for (; j > 0 && before(entry, scratch[j - 1]); --j)
                scratch[j] = scratch[j - 1];
            scratch[j] = entry;
        }
    } else {
        std::stable_sort(scratch.begin(), scratch.end(), before);
    }
    parent->child = scratch.front().node;
    for (std::size_t i = 0; i + 1 < scratch.size(); ++i)
        scratch[i].node->next = scratch[i + 1].node;
    scratch.back().node->next = nullptr;
}

}  // namespace

void sortTree() {
    // Each list is ordered on its own, so the lists can be taken in any
    // order: here the order in which they grew, with no walk along the tree.
    const NodeOrdering compare = settings.compare;
    const OrderingKey key = keyOf(compare);
    std::vector<SortEntry> scratch;
    for (Node* parent : parentsOfSeveral())
        sortList(parent, key, compare, scratch);
    parentsOfSeveral() = std::vector<Node*>{};
}

}  // namespace voziv
