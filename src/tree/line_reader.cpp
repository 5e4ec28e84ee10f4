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

// Settles the terminator. A NUL before the first newline means NUL records,
// and so does a NUL anywhere in the first block of input: plain du output
// never holds one, but du -0 output whose first path holds a newline has
// its first NUL after that newline. The whole first block is read before
// deciding, so the answer does not depend on how reads happen to be cut.
void settleMode(LineReader& r) {
    if (r.firstNewline == LineReader::none) {
        for (; r.scanned < r.end; ++r.scanned) {
            char c = r.buffer[r.scanned];
            if (c == '\0') {
                r.terminator = '\0';
                r.modeKnown = true;
                return;
            }
            if (c == '\n') break;
        }
        if (r.scanned == r.end) {
            r.modeKnown = r.atEnd;
            return;
        }
        r.firstNewline = r.scanned;
    }
    if (r.end < blockSize && !r.atEnd) return;  // read the rest of the first block first
    std::size_t block = r.end < blockSize ? r.end : blockSize;
    const char* data = r.buffer.data();
    bool nul = std::memchr(data + r.firstNewline, '\0', block - r.firstNewline) != nullptr;
    r.terminator = nul ? '\0' : '\n';
    r.modeKnown = true;
}

}  // namespace

bool nextLine(LineReader& r, std::string_view& line) {
    for (;;) {
        if (!r.modeKnown) settleMode(r);
        if (r.modeKnown) {
            const char* data = r.buffer.data();
            const void* found = std::memchr(data + r.scanned, r.terminator, r.end - r.scanned);
            if (found != nullptr) {
                std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(found) - data);
                line = std::string_view(data + r.start, stop - r.start);
                r.start = r.scanned = stop + 1;
                return true;
            }
            r.scanned = r.end;
            if (r.atEnd) {
                if (r.start == r.end) return false;
                line = std::string_view(data + r.start, r.end - r.start);
                r.start = r.end;
                return true;
            }
        }
        refill(r);
    }
}

}  // namespace voziv
