#pragma once

#include <cstdint>

#include "settings/settings.hpp"

namespace voziv {

struct Node;

// The larger size first.
int compareBySize(const Node* a, const Node* b);

// Names in ascending byte order, as strcmp orders them.
int compareByName(const Node* a, const Node* b);

// A number for each node whose order agrees with an ordering wherever two
// numbers differ; where they are equal the ordering itself decides. Sorting
// by it touches each node once instead of at every comparison.
// Where equal numbers mean the nodes are equal in the ordering too, the
// key alone decides.
struct OrderingKey {
    std::uint64_t (*of)(const Node* node);
    bool decides;
};

OrderingKey keyOf(NodeOrdering ordering);

}  // namespace voziv
