#pragma once

namespace voziv {

// Orders every sibling list of the usage tree with the ordering in the
// settings. Siblings that compare equal keep their order.
void sortTree();

}  // namespace voziv
