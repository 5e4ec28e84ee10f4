#include "tree/sort_tree.hpp"

#include <algorithm>
#include <vector>

#include "settings/settings.hpp"
#include "tree/node.hpp"

namespace voziv {

namespace {

// The nodes of one list, in list order, into scratch, which is reused from
// list to list.
void collect(Node* head, std::vector<Node*>& scratch) {
    scratch.clear();
    for (Node* node = head; node != nullptr; node = node->next)
        scratch.push_back(node);
}

// Sorts the collected list and relinks it in the new order.
void sortCollected(Node*& head, std::vector<Node*>& scratch) {
    const NodeOrdering compare = settings.compare;
    auto before = [compare](const Node* a, const Node* b) { return compare(a, b) < 0; };
    if (scratch.size() <= 16) {
        // Most lists are short: an insertion sort, stable and with no buffer.
        for (std::size_t i = 1; i < scratch.size(); ++i) {
            Node* node = scratch[i];
            std::size_t j = i;
            for (; j > 0 && before(node, scratch[j - 1]); --j)
                scratch[j] = scratch[j - 1];
            scratch[j] = node;
        }
    } else {
        std::stable_sort(scratch.begin(), scratch.end(), before);
    }
    head = scratch.front();
    for (std::size_t i = 0; i + 1 < scratch.size(); ++i)
        scratch[i]->next = scratch[i + 1];
    scratch.back()->next = nullptr;
}

}  // namespace

void sortTree(Node*& head, std::int32_t count) {
    // Each list is ordered on its own, so the lists are taken in any order:
    // a list's parents-to-be are noted while it is walked in the order its
    // nodes were made, before sorting scatters it.
    std::vector<Node*> scratch;
    struct List {
        Node** head;
        std::int32_t count;
    };
    std::vector<List> pending{{&head, count}};
    while (!pending.empty()) {
        List list = pending.back();
        pending.pop_back();
        collect(*list.head, scratch);
        for (Node* node : scratch) {
            if (node->child != nullptr) pending.push_back({&node->child, node->nchild});
        }
        if (list.count > 1) sortCollected(*list.head, scratch);
    }
}

}  // namespace voziv
