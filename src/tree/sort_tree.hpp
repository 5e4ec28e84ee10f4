#pragma once

#include <cstdint>
#include <span>

namespace voziv {

struct Node;

// Orders every sibling list of the usage tree with the ordering in the
// settings. Siblings that compare equal keep their order.
void sortTree();

// A sibling list this long keeps its sorted order beside it, so that
// printing can fetch its nodes well ahead instead of one link at a time.
constexpr std::int32_t longList = 1024;

// The order sortTree gave the children of parent, if their list is long;
// else empty.
std::span<Node* const> sortedOrder(const Node* parent);

}  // namespace voziv
