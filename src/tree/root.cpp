#include "tree/root.hpp"

#include <cstdint>
#include <limits>

#include "tree/node.hpp"

namespace voziv {

namespace {

// The children's sizes added up. A sum beyond the 64-bit range stops at its
// limit rather than wrapping round to the other sign.
std::int64_t sumOfChildren(const Node* node) {
    __int128 sum = 0;
    for (const Node* child = node->child; child != nullptr; child = child->next)
        sum += child->size;
    constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t smallest = std::numeric_limits<std::int64_t>::min();
    if (sum > largest) return largest;
    if (sum < smallest) return smallest;
    return static_cast<std::int64_t>(sum);
}

}  // namespace

std::string chooseRoot() {
    Node* top = usageTree.root;
    if (top->nchild != 1) {
        top->size = sumOfChildren(top);
        return {};
    }
    std::string title;
    Node* node = top->child;
    for (;;) {
        if (node != top->child) title += '/';
        title += nodeName(node);
        if (node->size != 0) break;
        if (node->nchild != 1) {
            if (node->nchild > 1) node->size = sumOfChildren(node);
            break;
        }
        node = node->child;
    }
    usageTree.root = node;
    return title;
}

}  // namespace voziv
