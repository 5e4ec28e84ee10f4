#pragma once

namespace voziv {

// Writes each text of the list followed by a line end, up to the list's end
// marker, a null entry. An empty text gives an empty line.
void printText(const char* const* lines);

}  // namespace voziv
