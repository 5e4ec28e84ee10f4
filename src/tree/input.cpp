#include "tree/input.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "chart/failure.hpp"

namespace voziv {

Input in;

void readFromFd(int fd) {
    in = Input{fd, false, {}};
}

void readFromMemory(std::string_view bytes) {
    in = Input{-1, true, bytes};
}

std::size_t readInput(char* into, std::size_t room) {
    if (in.fromMemory) {
        std::size_t n = room < in.memory.size() ? room : in.memory.size();
        std::memcpy(into, in.memory.data(), n);
        in.memory.remove_prefix(n);
        return n;
    }
    for (;;) {
        ssize_t n = ::read(in.fd, into, room);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) fail("read error\n", exitIoError);
    }
}

}  // namespace voziv
