#pragma once

#include <cstdint>

namespace voziv {

struct Node;

// Orders the list that starts at head, count nodes long, and every list
// below it, with the ordering in the settings. Siblings that compare equal
// keep their order.
void sortTree(Node*& head, std::int32_t count);

}  // namespace voziv
