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
using NodeKey = std::uint64_t (*)(const Node* node);

NodeKey keyOf(NodeOrdering ordering);

}  // namespace voziv
