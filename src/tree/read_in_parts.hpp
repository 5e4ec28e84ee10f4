// A large input that can be read at any offset, a regular file or memory,
// is read by two threads at once: the main one reads the first half into
// the tree, a second one the rest into a tree of its own, and the two trees
// are merged. A pipe is read in one pass.
#pragma once

#include <cstddef>

namespace voziv {

struct Node;

// Reads the whole input into the tree below top in two parts, and says so;
// false, having read nothing, for an input that is not to be split.
bool readInParts(Node* top);

// Inputs shorter than this are read in one pass. Tests lower it.
extern std::size_t partsFrom;

}  // namespace voziv
