#include "tree/sort_tree.hpp"

#include <algorithm>
#include <vector>

#include "settings/settings.hpp"
#include "tree/node.hpp"

namespace voziv {

namespace {

// Relinks one sibling list in order. The scratch array is reused from list
// to list, so sorting takes one array the size of the longest list.
void sortList(Node*& head, std::int32_t count, std::vector<Node*>& scratch) {
    if (count < 2) return;
    scratch.clear();
    for (Node* node = head; node != nullptr; node = node->next)
        scratch.push_back(node);
    NodeOrdering compare = settings.compare;
    std::stable_sort(scratch.begin(), scratch.end(),
                     [compare](const Node* a, const Node* b) { return compare(a, b) < 0; });
    head = scratch.front();
    for (std::size_t i = 0; i + 1 < scratch.size(); ++i)
        scratch[i]->next = scratch[i + 1];
    scratch.back()->next = nullptr;
}

}  // namespace

void sortTree(Node*& head, std::int32_t count) {
    // Each list is ordered on its own, so the order in which lists are visited
    // does not matter; an explicit stack keeps any depth off the call stack.
    std::vector<Node*> scratch;
    std::vector<Node*> pending;
    auto sortAndQueue = [&](Node*& list, std::int32_t length) {
        sortList(list, length, scratch);
        for (Node* node = list; node != nullptr; node = node->next) {
            if (node->child != nullptr) pending.push_back(node);
        }
    };
    sortAndQueue(head, count);
    while (!pending.empty()) {
        Node* parent = pending.back();
        pending.pop_back();
        sortAndQueue(parent->child, parent->nchild);
    }
}

}  // namespace voziv
