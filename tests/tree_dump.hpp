// A readable picture of the usage tree for comparisons: name(size) and the
// children in brackets, in list order.
#pragma once

#include <string>

namespace voziv {
struct Node;
}

namespace voziv::testing {

std::string dumpTree(const Node* node);

}  // namespace voziv::testing
