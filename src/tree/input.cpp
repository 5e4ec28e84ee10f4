#include "tree/input.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/failure.hpp"

namespace voziv {

Input in;

void readFromFd(int fd) {
    in = Input{fd, false, {}};
}

void readFromMemory(std::string_view bytes) {
    in = Input{-1, true, bytes};
}

std::size_t readInput(Input& from, char* into, std::size_t room) {
    if (from.fromMemory) {
        std::size_t n = room < from.memory.size() ? room : from.memory.size();
        std::memcpy(into, from.memory.data(), n);
        from.memory.remove_prefix(n);
        return n;
    }
    for (;;) {
        ssize_t n = ::read(from.fd, into, room);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) fail("read error\n", exitIoError);
    }
}

}  // namespace voziv
