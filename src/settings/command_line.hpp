// The command line: whole-word options, some followed by values. There are
// no file arguments; input and output are always the standard streams.
#pragma once

#include <cstdint>

namespace voziv {

// What the command line asks for: a chart, or only the usage text or the
// version (--help, --version, which end the parse where they stand).
enum class Request { chart, help, version };

// Installs the defaults, then applies the options from left to right; the
// last word wins for every field. The first faulty argument raises a
// Failure; nothing has been written by then.
Request getopt(int argc, char** argv);

// What --version writes: the program's name and version.
extern const char* const versionText;

// The usage text, one text per line, ending in null.
extern const char* const usageText[];

// A value as atoi reads it (leading white space, a sign, the digits; 0 when
// there are none), clamped to the 32-bit range instead of overflowing.
std::int32_t readInteger(const char* text);

// A value as atof reads it, hexadecimal included; raises a Failure when it
// is not a finite number, which PostScript could not read.
double readReal(const char* text);

}  // namespace voziv
