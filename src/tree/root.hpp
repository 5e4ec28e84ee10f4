#pragma once

#include <string>

namespace voziv {

// Moves the tree reference from the top node down to the chart root: the
// directory du was run on, as far as the input tells. Returns the path the
// title shows: the names from the top node's child down to the chart root,
// joined with "/", or nothing when the top node stays the root.
std::string chooseRoot();

}  // namespace voziv
