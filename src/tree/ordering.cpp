#include "tree/ordering.hpp"

#include <cstring>

#include "tree/node.hpp"

namespace voziv {

namespace {

// Larger sizes give smaller keys.
std::uint64_t sizeKey(const Node* node) {
    return ~(static_cast<std::uint64_t>(node->size) ^ (std::uint64_t{1} << 63));
}

// The first eight bytes of the name, the first one highest; a shorter name
// is padded with zeros, which sort before every byte a name can hold.
std::uint64_t nameKey(const Node* node) {
    const char* name = nodeName(node);
    std::uint64_t key = 0;
    int i = 0;
    for (; i < 8 && name[i] != '\0'; ++i)
        key = key << 8 | static_cast<unsigned char>(name[i]);
    return i == 0 ? 0 : key << (8 * (8 - i));  // a shift by 64 bits is undefined
}

std::uint64_t noKey(const Node*) {
    return 0;
}

}  // namespace

int compareBySize(const Node* a, const Node* b) {
    // Compared, not subtracted: a difference of two 64-bit counts can overflow.
    if (a->size > b->size) return -1;
    if (a->size < b->size) return 1;
    return 0;
}

int compareByName(const Node* a, const Node* b) {
    return std::strcmp(nodeName(a), nodeName(b));
}

OrderingKey keyOf(NodeOrdering ordering) {
    if (ordering == compareBySize) return {sizeKey, true};
    if (ordering == compareByName) return {nameKey, false};
    return {noKey, false};
}

}  // namespace voziv
