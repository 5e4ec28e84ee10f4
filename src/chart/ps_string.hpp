// Text from the input becomes the inside of a PostScript string literal. A
// directory may be named anything, so every byte that could end the string,
// start an escape or break a line is escaped; everything else, UTF-8 included,
// passes unchanged.
#pragma once

#include <string_view>

namespace voziv {

// Writes the bytes of text escaped for use between "(" and ")".
void putPsString(std::string_view text);

// The same at a place in the buffer with room for 4 bytes per byte of text;
// returns the end of what it wrote.
char* formatPsString(char* at, std::string_view text);

}  // namespace voziv
