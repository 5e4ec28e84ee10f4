#pragma once

namespace voziv {

// The procedures the document defines, one text per line, ending in null.
extern const char* const prolog[];

}  // namespace voziv
