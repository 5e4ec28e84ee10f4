// The chart document: a small PostScript program whose prolog draws the
// block records that follow it in the same file; or with -svg an SVG
// document.
#pragma once

#include <ctime>
#include <string>

namespace voziv {

// Writes the whole document for the settings, reading the input at the
// point where the title needs its path.
void writeDocument();

// The time as ctime renders it: 24 characters and a line end, or nothing.
std::string dateText(std::time_t when);

// The date statement for the given time, as ctime renders it: its line end
// stays inside the string, so the statement spans two lines.
void putDate(std::time_t when);

// The whole run: options, document, final flush. Returns the exit status of
// a successful run; every failure is raised, never exits.
int runChart(int argc, char** argv);

}  // namespace voziv
