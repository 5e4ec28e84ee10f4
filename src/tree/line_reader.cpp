#include "tree/line_reader.hpp"

#include <cstring>

#include "tree/input.hpp"

namespace voziv {

namespace {

constexpr std::size_t blockSize = 1 << 20;

// Keeps the unfinished line, moved to the front, and reads more behind it;
// the buffer grows only when one line fills it.
void refill(LineReader& r) {
    if (r.start > 0) {
        std::memmove(r.buffer.data(), r.buffer.data() + r.start, r.end - r.start);
        r.end -= r.start;
        r.scanned -= r.start;
        r.start = 0;
    }
    if (r.buffer.size() < blockSize) r.buffer.resize(blockSize);
    if (r.end == r.buffer.size()) r.buffer.resize(2 * r.buffer.size());
    std::size_t n = readInput(r.buffer.data() + r.end, r.buffer.size() - r.end);
    if (n == 0) r.atEnd = true;
    r.end += n;
}

// Settles the terminator on the first newline or NUL of the input.
bool settleMode(LineReader& r) {
    for (std::size_t i = r.scanned; i < r.end; ++i) {
        if (r.buffer[i] == '\n' || r.buffer[i] == '\0') {
            r.terminator = r.buffer[i];
            r.modeKnown = true;
            return true;
        }
    }
    if (r.atEnd) r.modeKnown = true;
    return r.modeKnown;
}

}  // namespace

bool nextLine(LineReader& r, std::string_view& line) {
    for (;;) {
        if (r.modeKnown || settleMode(r)) {
            const char* data = r.buffer.data();
            const void* found = std::memchr(data + r.scanned, r.terminator, r.end - r.scanned);
            if (found != nullptr) {
                std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(found) - data);
                line = std::string_view(data + r.start, stop - r.start);
                r.start = r.scanned = stop + 1;
                return true;
            }
        }
        r.scanned = r.end;
        if (r.atEnd) {
            if (r.start == r.end) return false;
            line = std::string_view(r.buffer.data() + r.start, r.end - r.start);
            r.start = r.end;
            return true;
        }
        refill(r);
    }
}

}  // namespace voziv
