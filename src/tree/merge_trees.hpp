// Two threads read the two halves of a large input into two trees; this
// joins them into the tree a single pass over the whole input would build.
#pragma once

namespace voziv {

struct Node;

// Moves the tree below later, read from the later part of the input, into
// the one below earlier. A node named in the later part takes its count from
// there; children first seen in the later part go to the head of the list,
// in their order, just as reading on would have put them. earlier's nodes
// must still have their child indexes. later's own nodes that have a match
// are left spent, with no children.
void mergeTrees(Node* earlier, Node* later);

}  // namespace voziv
