// Runs a program with arguments and bytes on standard input, and collects
// what it writes and how it ends. End-to-end tests drive the built voziv
// binary (and du, and Ghostscript) through this.
#pragma once

#include <string>
#include <vector>

namespace voziv::testing {

struct ProgramResult {
    std::string out;
    std::string err;
    int status = -1;  // exit status, or -1 when killed
    int signal = 0;   // the signal that ended it, if one did
};

// Runs argv[0] (looked up in PATH when it has no "/") with the given input.
// When stdoutPath is set, standard output goes to that file instead.
ProgramResult runProgram(const std::vector<std::string>& argv, const std::string& input = "",
                         const std::string& stdoutPath = "");

// The voziv binary under test, from the VOZIV_BINARY environment variable
// that CTest sets.
std::string vozivBinary();

// Runs voziv with the arguments on the input.
ProgramResult runVoziv(const std::vector<std::string>& args, const std::string& input = "");

}  // namespace voziv::testing
