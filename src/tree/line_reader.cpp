#include "tree/line_reader.hpp"

#include <cstring>

#include "tree/input.hpp"

namespace voziv {

namespace {

constexpr std::size_t blockSize = modeBlockSize;
constexpr std::size_t smallBuffer = std::size_t{64} << 10;

// Keeps the unfinished line, moved to the front, and reads more behind it;
// the buffer grows only when one line fills it.
void refill(LineReader& r) {
    if (r.start > 0) {
        std::memmove(r.buffer.data(), r.buffer.data() + r.start, r.end - r.start);
        r.end -= r.start;
        r.scanned -= r.start;
        r.nul -= r.start;
        r.nulSearched -= r.start;
        r.start = 0;
    }
    // A short input is read into a small buffer. Once the input proves
    // longer, reads fill a huge page, which costs one fault, not hundreds.
    if (r.buffer.empty()) {
        r.buffer.resize(smallBuffer);
    } else if (r.buffer.size() < hugePageSize && r.taken >= smallBuffer) {
        r.buffer.resize(hugePageSize);
    } else if (r.end == r.buffer.size()) {
        r.buffer.resize(2 * r.buffer.size());
    }
    std::size_t n = readInput(*r.source, r.buffer.data() + r.end, r.buffer.size() - r.end);
    if (n == 0) r.atEnd = true;
    r.end += n;
    r.taken += n;
}

// Settles the terminator once the first block of input is read, or all of
// a shorter input, and the first line end or NUL seen: so the answer does
// not depend on how reads happen to be cut.
void settleMode(LineReader& r) {
    if (r.firstTerminator == LineReader::none) {
        for (; r.scanned < r.end; ++r.scanned) {
            char c = r.buffer[r.scanned];
            if (c == '\0' || c == '\n') break;
        }
        if (r.scanned == r.end) {
            r.modeKnown = r.atEnd;  // no terminator at all: one line
            return;
        }
        r.firstTerminator = r.scanned;
    }
    if (r.end < blockSize && !r.atEnd) return;
    r.terminator = terminatorOf(std::string_view(r.buffer.data(), r.end));
    r.modeKnown = true;
}

// The text of the newline-terminated line [start, stop): up to its first
// NUL if it has one, else without a carriage return at its end. The buffer
// is searched for NULs a stretch at a time, not line by line.
std::string_view newlineText(LineReader& r, std::size_t stop) {
    const char* data = r.buffer.data();
    if (r.nul == r.nulSearched && r.nulSearched < stop) {  // no NUL known of yet
        const void* found = std::memchr(data + r.nulSearched, '\0', r.end - r.nulSearched);
        r.nul = found == nullptr ? r.end
                                 : static_cast<std::size_t>(static_cast<const char*>(found) - data);
        r.nulSearched = found == nullptr ? r.end : r.nul + 1;
    }
    std::string_view text(data + r.start, stop - r.start);
    if (r.nul < stop) return text.substr(0, r.nul - r.start);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    return text;
}

// Hands out [start, stop) and moves past its terminator.
std::string_view takeLine(LineReader& r, std::size_t stop) {
    std::string_view text = r.terminator == '\0'
                                ? std::string_view(r.buffer.data() + r.start, stop - r.start)
                                : newlineText(r, stop);
    r.start = r.scanned = stop < r.end ? stop + 1 : r.end;  // a final line has no terminator
    if (r.nulSearched < r.start) r.nulSearched = r.nul = r.start;
    return text;
}

}  // namespace

bool nextLine(LineReader& r, std::string_view& line) {
    for (;;) {
        if (!r.modeKnown) settleMode(r);
        if (r.modeKnown) {
            const char* data = r.buffer.data();
            // A reader told its terminator may start with no buffer at all.
            const void* found =
                r.scanned == r.end ? nullptr
                                   : std::memchr(data + r.scanned, r.terminator, r.end - r.scanned);
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
