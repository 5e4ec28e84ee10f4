#include "chart/prolog.hpp"

namespace voziv {

const char* const prologHead[] = {
    "/readToken { currentfile token pop } bind def",
    "",
    "/rect { % width height x y",
    "  newpath moveto",
    "  1 index 0 rlineto 0 exch rlineto neg 0 rlineto closepath",
    "} bind def",
    "",
    nullptr,
};

const char* const labelShowLine = "      str show";

// rectShow reads the seven tokens of one block record from the document
// itself and draws the block; a negative depth ends the loop.
const char* const rectShow[] = {
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
    labelShowLine,
    "    } if",
    "  } if",
    "} bind def",
    nullptr,
};

const char* const prologTail[] = {
    "",
    "newpath 0 0 moveto (M) false charpath pathbbox",
    "/emheight exch def pop pop pop",
    nullptr,
};

// The label is "name (size)": the size begins at its last " (". Where the
// label is wider than the cell (less a third of an em on either side), the
// longest start of the name that fits with an ellipsis and the size is
// shown; where not even the ellipsis fits, the size alone if it does.
const char* const fitShow[] = {
    "/labelWidth { stringwidth pop } bind def",
    "/fitShow { % label",
    "  /label exch def",
    "  /cut label length 2 sub def",
    "  { cut 0 le { exit } if",
    "    label cut get 32 eq label cut 1 add get 40 eq and { exit } if",
    "    /cut cut 1 sub def",
    "  } loop",
    "  /name label 0 cut getinterval def",
    "  /size label cut label length cut sub getinterval def",
    "  /room cellwidth emheight 2 mul 3 div sub def",
    "  /dots (\\274) def",
    "  label labelWidth room le { label show } {",
    "    dots labelWidth size labelWidth add room le {",
    "      /low 0 def /high name length def",
    "      { low high ge { exit } if",
    "        /mid low high add 1 add 2 idiv def",
    "        name 0 mid getinterval labelWidth dots labelWidth add size labelWidth add",
    "        room le { /low mid def } { /high mid 1 sub def } ifelse",
    "      } loop",
    "      name 0 low getinterval show dots show size show",
    "    } {",
    "      size 1 size length 1 sub getinterval",
    "      dup labelWidth room le { show } { pop } ifelse",
    "    } ifelse",
    "  } ifelse",
    "} bind def",
    "",
    nullptr,
};

}  // namespace voziv
