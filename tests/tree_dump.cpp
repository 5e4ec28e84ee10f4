#include "tree_dump.hpp"

#include <vector>

#include "tree/node.hpp"

namespace voziv::testing {

std::string dumpTree(const Node* node) {
    // Iterative like the code under test: trees of any depth are dumped.
    std::string text;
    std::vector<const Node*> pending{node};
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        if (n == nullptr) {
            text += ']';
            continue;
        }
        text += nodeName(n);
        text += '(' + std::to_string(n->size) + ')';
        if (n->child == nullptr) continue;
        text += '[';
        pending.push_back(nullptr);
        std::vector<const Node*> children;
        for (const Node* c = n->child; c != nullptr; c = c->next)
            children.push_back(c);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return text;
}

}  // namespace voziv::testing
