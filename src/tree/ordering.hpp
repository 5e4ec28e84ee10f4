// The two orderings of siblings that the settings can hold.
#pragma once

namespace voziv {

struct Node;

// The larger size first.
int compareBySize(const Node* a, const Node* b);

// Names in ascending byte order, as strcmp orders them.
int compareByName(const Node* a, const Node* b);

}  // namespace voziv
