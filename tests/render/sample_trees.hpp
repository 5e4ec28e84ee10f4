// Small trees as du writes them (count, tab, path; a directory after its
// contents), for the cases that need a known shape rather than real du.
#pragma once

#include <string>
#include <vector>

namespace voziv::testing {

// du run on /home/u: two subdirectories that leave 10 blocks uncovered.
std::string homeTree();

// Three levels with uneven sizes and short names, under ".".
std::string mixedTree();

// Many siblings under ".", so that hues wrap around, each with a child.
std::string wideTree(int siblings);

// A chain of directories depth levels deep under ".".
std::string deepTree(int depth);

// A directory that du gave no blocks, with children of its own.
std::string treeWithEmptyNode();

// Names that PostScript strings, du's lines or the text extraction could
// get wrong. None holds "/" or a line end, so they suit du's plain lines.
std::vector<std::string> oddNames();

// Names that only NUL-terminated records can carry.
std::vector<std::string> nulOnlyNames();

}  // namespace voziv::testing
