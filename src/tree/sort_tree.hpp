#pragma once

#include <cstdint>
#include <span>

#include "tree/mapped_memory.hpp"

namespace voziv {

struct Node;

// Orders every sibling list of the usage tree with the ordering in the
// settings. Siblings that compare equal keep their order.
void sortTree();

struct SortEntry {
    std::uint64_t key;
    Node* node;
};

// Arrays that sorting reuses from list to list.
struct SortScratch {
    MappedVector<SortEntry> entries, spare;
};

// Sorts parent's list now, if it is shorter than a long list: a directory
// that du has just named has had all its children, which are still in the
// cache. A list that grows again, or one of whose nodes gets a new count,
// is sorted again by sortTree, which first puts it back in the order its
// nodes came, so that the result is the same.
void sortEarly(Node* parent, SortScratch& scratch);

// A sibling list this long keeps its sorted order beside it, so that
// printing can fetch its nodes well ahead instead of one link at a time.
constexpr std::int32_t longList = 1024;

// The order sortTree gave the children of parent, if their list is long;
// else empty.
std::span<Node* const> sortedOrder(const Node* parent);

}  // namespace voziv
