#include "chart/svg_script.hpp"

namespace voziv {

const char* const svgScript = "";

}  // namespace voziv
