// How a run ends early: one exception type carries the message and the exit
// status up to the entry point, which alone writes the message and exits.
// Running out of memory is signalled by std::bad_alloc instead.
#pragma once

#include <string>

namespace voziv {

struct Failure {
    std::string message;  // written to standard error as it stands, line end included
    int status;           // the process's exit status
    bool showUsage;       // the usage text follows on standard output
};

// Exit statuses and fixed messages shared by the parts that raise them.
constexpr int exitBadArgument = 1;
constexpr int exitIoError = 5;
constexpr int exitNoMemory = 12;
constexpr int exitPathTooLong = 63;

constexpr const char* noMemoryMessage = "malloc error\n";

[[noreturn]] void fail(std::string message, int status, bool showUsage = false);

}  // namespace voziv
