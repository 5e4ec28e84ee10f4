// Names as an SVG document shows them: valid UTF-8 shown as it is, every
// other byte and every control character in a visible escaped form, and
// markup characters escaped for XML, so that no name can break the document
// or inject markup. And labels shortened to fit their cells.
#pragma once

#include <string>
#include <string_view>

namespace voziv {

struct FontMetrics;

// The text a name is shown as: valid UTF-8 passes, except control
// characters (C0, DEL, C1) and the noncharacters XML forbids; those and
// every byte that is not part of valid UTF-8 are written as \xNN.
void appendDisplayText(std::string& out, std::string_view bytes);

// Appends text with &, <, >, " and ' escaped as XML entities.
void appendXml(std::string& out, std::string_view text);

// The label "name (size)" of display text, shortened to fit room points:
// the longest start of the name, whole characters, with "…" and the size;
// the size alone, "(size)", where not even that fits; empty where nothing
// does.
std::string fitLabel(std::string_view name, std::string_view size, double room,
                     const FontMetrics& font, double fontsize);

}  // namespace voziv
