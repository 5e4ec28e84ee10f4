// Text from the input becomes the inside of a PostScript string literal. A
// directory may be named anything, so every byte that could end the string,
// start an escape or break a line is escaped; everything else, UTF-8 included,
// passes unchanged.
#pragma once

#include <string_view>

namespace voziv {

// Writes the bytes of text escaped for use between "(" and ")".
void putPsString(std::string_view text);

}  // namespace voziv
