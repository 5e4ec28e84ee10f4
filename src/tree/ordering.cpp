#include "tree/ordering.hpp"

#include <cstring>

#include "tree/node.hpp"

namespace voziv {

int compareBySize(const Node* a, const Node* b) {
    // Compared, not subtracted: a difference of two 64-bit counts can overflow.
    if (a->size > b->size) return -1;
    if (a->size < b->size) return 1;
    return 0;
}

int compareByName(const Node* a, const Node* b) {
    return std::strcmp(nodeName(a), nodeName(b));
}

}  // namespace voziv
