#pragma once

#include <string>

namespace voziv {

// Reads all of the input into the usage tree, orders every sibling list,
// chooses the chart root and returns the path the title shows.
std::string readDuOutput();

struct LineReader;
struct Node;

// Enters every line of reader into the tree below top.
void readLines(LineReader& reader, Node* top);

// The longest absolute path accepted, in bytes, before "." is put in front.
constexpr std::size_t maxAbsolutePath = 4096;

}  // namespace voziv
