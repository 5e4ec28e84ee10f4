// Runs the document writer inside the test process: settings as a test sets
// them, input from memory, the document collected in a string.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace voziv::testing {

// Resets the tree and the writer, reads input, writes the whole document
// with the current settings and returns it. Failures propagate.
std::string documentFor(std::string_view input);

// The document's lines, without their line ends.
std::vector<std::string> linesOf(const std::string& document);

// The block records of a document: the lines between the loop start and "-1".
std::vector<std::string> recordsOf(const std::string& document);

}  // namespace voziv::testing
