#pragma once

#include <cstddef>
#include <string>

namespace voziv {

// Reads all of the input into the usage tree, orders every sibling list,
// chooses the chart root and returns the path the title shows.
std::string readDuOutput();

// The longest absolute path accepted, in bytes, before "." is put in front.
constexpr std::size_t maxAbsolutePath = 4096;

}  // namespace voziv
