// Where the du output comes from: standard input, or for tests and fuzz
// targets a piece of memory.
#pragma once

#include <cstddef>
#include <string_view>

namespace voziv {

struct Input {
    int fd = 0;
    bool fromMemory = false;
    std::string_view memory;  // what is still to be read, when fromMemory
};

extern Input in;

void readFromFd(int fd);
void readFromMemory(std::string_view bytes);

// Reads up to room bytes; 0 at the end of input. A read error is a Failure
// ("read error", status 5), never taken for the end.
std::size_t readInput(Input& from, char* into, std::size_t room);

}  // namespace voziv
