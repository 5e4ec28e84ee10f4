#pragma once

namespace voziv {

// The procedures the document defines, one text per line, each list ending
// in null: the prolog is the head, rectShow and the tail, in that order.
extern const char* const prologHead[];
extern const char* const rectShow[];
extern const char* const prologTail[];

// With -fit: fitShow, which keeps a label inside its cell; rectShow then
// shows its labels with fitShow in place of show.
extern const char* const fitShow[];
extern const char* const labelShowLine;

}  // namespace voziv
