#include "chart/prolog.hpp"

namespace voziv {

// rectShow reads the seven tokens of one block record from the document
// itself and draws the block; a negative depth ends the loop.
const char* const prolog[] = {
    "/readToken { currentfile token pop } bind def",
    "",
    "/rect { % width height x y",
    "  newpath moveto",
    "  1 index 0 rlineto 0 exch rlineto neg 0 rlineto closepath",
    "} bind def",
    "",
    "/rectShow {",
    "  /depth readToken def",
    "  depth 0 lt { exit } if",
    "  /str readToken def",
    "  /height readToken def",
    "  /y readToken def",
    "  /h readToken def",
    "  /s readToken def",
    "  /b readToken def",
    "  depth ncols lt { % if",
    "    /x cellwidth depth mul def",
    "    newpath x y moveto",
    "    cellwidth 0 rlineto 0 height neg rlineto cellwidth neg 0 rlineto",
    "    closepath",
    "    gsave h s b sethsbcolor fill grestore stroke",
    "    0 0 0 sethsbcolor",
    "    height fontsize gt { % if",
    "      x emheight 3 div add y height emheight add 2 div sub moveto",
    "      str show",
    "    } if",
    "  } if",
    "} bind def",
    "",
    "newpath 0 0 moveto (M) false charpath pathbbox",
    "/emheight exch def pop pop pop",
    nullptr,
};

}  // namespace voziv
