#include "chart/print_text.hpp"

#include "chart/output.hpp"

namespace voziv {

void printText(const char* const* lines) {
    for (; *lines != nullptr; ++lines)
        putLine(*lines);
}

}  // namespace voziv
