#include "tree/read_in_parts.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "tree/child_index.hpp"
#include "tree/input.hpp"
#include "tree/line_reader.hpp"
#include "tree/merge_trees.hpp"
#include "tree/node.hpp"
#include "tree/reader.hpp"

namespace voziv {

std::size_t partsFrom = std::size_t{4} << 20;

namespace {

constexpr std::int64_t toTheEnd = std::numeric_limits<std::int64_t>::max();

struct Parts {
    Input earlier;
    Input later;
    char terminator;
    MappedVector<char> head;  // the earlier part's first bytes, read already
};

// The part [from, to) of whole; to may be toTheEnd.
Input partOf(const Input& whole, std::int64_t from, std::int64_t to) {
    if (whole.fromMemory) {
        std::string_view bytes = whole.memory.substr(static_cast<std::size_t>(from));
        if (to != toTheEnd) bytes = bytes.substr(0, static_cast<std::size_t>(to - from));
        return Input{-1, true, bytes};
    }
    return Input{whole.fd, false, {}, from, to};
}

std::size_t readFully(Input part, char* into, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        std::size_t n = readInput(part, into + done, size - done);
        if (n == 0) break;
        done += n;
    }
    return done;
}

// Where whole starts and how long it is, when it can be read at any offset.
bool measure(const Input& whole, std::int64_t& start, std::int64_t& size) {
    if (whole.fromMemory) {
        start = 0;
        size = static_cast<std::int64_t>(whole.memory.size());
        return true;
    }
    struct stat status;
    if (whole.offset >= 0 || ::fstat(whole.fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    start = ::lseek(whole.fd, 0, SEEK_CUR);
    size = status.st_size - start;
    return start >= 0;
}

// Cuts whole just after the first terminator past its middle, once the
// terminator is known from its first block.
bool split(const Input& whole, Parts& parts) {
    std::int64_t start = 0, size = 0;
    if (!measure(whole, start, size) || size < static_cast<std::int64_t>(partsFrom)) return false;
    MappedVector<char> head;
    head.reserve(hugePageSize);  // as the reader's buffer, which it becomes
    head.resize(std::min<std::size_t>(modeBlockSize, static_cast<std::size_t>(size)));
    head.resize(readFully(partOf(whole, start, toTheEnd), head.data(), head.size()));
    const char terminator = terminatorOf({head.data(), head.size()});
    if (terminator == 0) return false;
    std::array<char, 1 << 16> window;
    for (std::int64_t at = start + size / 2;;) {
        std::size_t n = readFully(partOf(whole, at, toTheEnd), window.data(), window.size());
        if (n == 0) return false;
        const void* found = std::memchr(window.data(), terminator, n);
        if (found == nullptr) {
            at += static_cast<std::int64_t>(n);
            continue;
        }
        at += static_cast<const char*>(found) - window.data() + 1;
        const auto headEnd = start + static_cast<std::int64_t>(head.size());
        if (at < headEnd) head.clear();  // a part shorter than the head
        parts = {partOf(whole, head.empty() ? start : headEnd, at), partOf(whole, at, toTheEnd),
                 terminator, std::move(head)};
        return true;
    }
}

void readPart(Input& part, char terminator, Node* top, MappedVector<char> head = {}) {
    LineReader reader;
    reader.source = &part;
    reader.end = head.size();
    reader.buffer = std::move(head);
    reader.modeKnown = true;
    reader.terminator = terminator;
    readLines(reader, top);
}

struct LaterPart {
    Parts& parts;
    NodeStore nodes;
    Node* top = nullptr;
    std::exception_ptr failure;
};

// The second thread: the later part into a tree of its own, with nodes and
// indexes of its own.
void readLaterPart(LaterPart& later) {
    keepNodesIn(&later.nodes);
    try {
        separateChildIndexes();
        later.top = newNode("..");
        readPart(later.parts.later, later.parts.terminator, later.top);
    } catch (...) {
        later.failure = std::current_exception();
    }
    releaseChildIndexes();
    keepNodesIn(nullptr);
}

// Leaves the input as a single pass leaves it: used up.
void useUp(const Parts& parts) {
    if (in.fromMemory) {
        in.memory = {};
    } else {
        ::lseek(in.fd, parts.later.offset, SEEK_SET);
    }
}

}  // namespace

bool readInParts(Node* top) {
    Parts parts;
    if (!split(in, parts)) return false;
    LaterPart later{parts, {}, nullptr, nullptr};
    std::thread second;
    try {
        second = std::thread(readLaterPart, std::ref(later));
    } catch (const std::system_error&) {
        return false;  // no thread to be had: read in one pass
    }
    std::exception_ptr failure;
    try {
        readPart(parts.earlier, parts.terminator, top, std::move(parts.head));
    } catch (...) {
        failure = std::current_exception();
    }
    second.join();
    // The earlier part's failure is the one a single pass would meet first.
    if (failure == nullptr) failure = later.failure;
    adoptNodes(later.nodes);
    if (failure != nullptr) std::rethrow_exception(failure);
    mergeTrees(top, later.top);
    // Merged nodes of the later tree are spent; the rest still have their lists.
    std::vector<Node*>& several = parentsOfSeveral();
    for (Node* node : later.nodes.parentsOfSeveral) {
        if (node->nchild >= 2) several.push_back(node);
    }
    useUp(parts);
    return true;
}

}  // namespace voziv
