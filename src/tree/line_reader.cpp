#include "tree/line_reader.hpp"

#include <cstring>

namespace voziv {

namespace {

// Keeps the unfinished line, moved to the front, and reads more behind it;
// the buffer grows only when one line fills it.
void refill(LineReader& r) {
    if (r.start > 0) {
        std::memmove(r.buffer.get(), r.buffer.get() + r.start, r.end - r.start);
        r.end -= r.start;
        r.scanned -= r.start;
        r.start = 0;
    }
    if (r.end == r.capacity) {
        std::size_t capacity = r.capacity == 0 ? blockSize : 2 * r.capacity;
        std::unique_ptr<char[]> grown(new char[capacity]);
        if (r.end > 0) std::memcpy(grown.get(), r.buffer.get(), r.end);
        r.buffer = std::move(grown);
        r.capacity = capacity;
    }
    std::size_t n = readInput(*r.source, r.buffer.get() + r.end, r.capacity - r.end);
    if (n == 0) r.atEnd = true;
    r.end += n;
    // Lines hold a NUL only in odd input: one search over what came in
    // spares one per line.
    r.nulInBuffer = std::memchr(r.buffer.get(), '\0', r.end) != nullptr;
}

// The terminator is settled once the first block of input has been read,
// and a terminator seen in it, or all of a shorter input: so the answer does
// not depend on how reads happen to be cut.
bool settleMode(LineReader& r) {
    std::string_view head(r.buffer.get(), r.end);
    char terminator = terminatorOf(head);
    if (!r.atEnd && (r.end < blockSize || terminator == 0)) return false;
    r.terminator = terminator == '\0' ? '\0' : '\n';
    r.modeKnown = true;
    return true;
}

// Hands out [start, stop) and moves past its terminator: in newline mode
// up to a NUL in the line if it has one, else without a carriage return
// at its end.
std::string_view takeLine(LineReader& r, std::size_t stop) {
    std::string_view text(r.buffer.get() + r.start, stop - r.start);
    r.start = r.scanned = stop < r.end ? stop + 1 : r.end;  // a final line has no terminator
    if (r.terminator == '\0') return text;
    if (r.nulInBuffer) {
        const void* nul = std::memchr(text.data(), '\0', text.size());
        if (nul != nullptr) return text.substr(0, static_cast<const char*>(nul) - text.data());
    }
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    return text;
}

}  // namespace

bool nextLine(LineReader& r, std::string_view& line) {
    for (;;) {
        if (r.modeKnown || (r.capacity > 0 && settleMode(r))) {
            const char* data = r.buffer.get();
            const void* found = std::memchr(data + r.scanned, r.terminator, r.end - r.scanned);
            if (found != nullptr) {
                line =
                    takeLine(r, static_cast<std::size_t>(static_cast<const char*>(found) - data));
                return true;
            }
            r.scanned = r.end;
            if (r.atEnd) {
                if (r.start == r.end) return false;
                line = takeLine(r, r.end);
                return true;
            }
        }
        refill(r);
    }
}

// A NUL before the first newline means NUL records, and so does a NUL
// anywhere in the first block: plain du output never holds one, but du -0
// output whose first path holds a newline has its first NUL after that
// newline.
char terminatorOf(std::string_view head) {
    const char* data = head.data();
    const char* nul = static_cast<const char*>(std::memchr(data, '\0', head.size()));
    const char* newline = static_cast<const char*>(std::memchr(data, '\n', head.size()));
    if (nul == nullptr && newline == nullptr) return 0;
    if (nul == nullptr) return '\n';
    if (newline == nullptr || nul < newline) return '\0';
    return nul < data + blockSize ? '\0' : '\n';
}

}  // namespace voziv
