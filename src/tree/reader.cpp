#include "tree/reader.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "chart/failure.hpp"
#include "settings/settings.hpp"
#include "tree/child_index.hpp"
#include "tree/du_line.hpp"
#include "tree/insert.hpp"
#include "tree/line_reader.hpp"
#include "tree/node.hpp"
#include "tree/read_in_parts.hpp"
#include "tree/root.hpp"
#include "tree/sort_tree.hpp"

namespace voziv {

namespace {

// du writes a directory's lines next to each other, so consecutive paths
// share most of their components. The previous path and the nodes of its
// components are kept, and a new path looks up only what differs.
struct Component {
    std::size_t end;  // offset in the path just past the component's last byte
    Node* node;
};

struct PathCache {
    std::string previous;
    std::string current;
    std::vector<Component> components;  // of previous
    SortScratch scratch;
};

// Writes into path the path as it is entered: an absolute path gets a "."
// in front, and "./" becomes ".".
void normalise(std::string_view raw, std::string& path) {
    path.clear();
    if (raw.front() == '/') {
        if (raw.size() > maxAbsolutePath) fail("too long path\n", exitPathTooLong);
        path += '.';
    }
    path += raw;
    if (path == "./") path.resize(1);
}

// The length of the longest common prefix of a and b, sixteen bytes at a
// time where the machine has SSE2.
std::size_t commonPrefix(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
#ifdef __SSE2__
    for (; i + 16 <= n; i += 16) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data() + i));
        __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data() + i));
        auto same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)));
        if (same != 0xffff) return i + static_cast<std::size_t>(__builtin_ctz(~same));
    }
#endif
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// How many leading components of the cached path the new path shares: those
// that end before the first differing byte, and one that ends right at it if
// both paths end or continue with "/" there.
std::size_t sharedComponents(const PathCache& cache) {
    const std::string& a = cache.previous;
    const std::string& b = cache.current;
    std::size_t common = commonPrefix(a, b);
    auto endsAt = [](const std::string& path, std::size_t at) {
        return at == path.size() || path[at] == '/';
    };
    std::size_t shared = static_cast<std::size_t>(
        std::lower_bound(cache.components.begin(), cache.components.end(), common,
                         [](const Component& c, std::size_t at) { return c.end < at; }) -
        cache.components.begin());
    if (shared < cache.components.size() && cache.components[shared].end == common &&
        endsAt(a, common) && endsAt(b, common)) {
        ++shared;
    }
    return shared;
}

// Enters the current path, splitting at every "/": a//b has an empty middle
// component, and a trailing "/" an empty last one.
void enterPath(PathCache& cache, Node* top, std::int64_t count) {
    std::size_t shared = sharedComponents(cache);
    cache.components.resize(shared);
    const std::string& path = cache.current;
    if (shared == 0 || cache.components.back().end != path.size()) {
        Node* parent = shared == 0 ? top : cache.components.back().node;
        std::size_t begin = shared == 0 ? 0 : cache.components.back().end + 1;
        for (;;) {
            const void* slash = std::memchr(path.data() + begin, '/', path.size() - begin);
            std::size_t end =
                slash == nullptr
                    ? path.size()
                    : static_cast<std::size_t>(static_cast<const char*>(slash) - path.data());
            parent = findOrAddChild(parent, std::string_view(path).substr(begin, end - begin));
            cache.components.push_back({end, parent});
            if (slash == nullptr) break;
            begin = end + 1;
        }
    }
    const std::size_t depth = cache.components.size();
    Node* named = cache.components.back().node;
    named->size = count;
    named->named = 1;
    // A new count can move the node in its parent's list.
    (depth == 1 ? top : cache.components[depth - 2].node)->unsorted = 1;
    if (named->unsorted && named->nchild >= 2) sortEarly(named, cache.scratch);
    cache.previous.swap(cache.current);
}

}  // namespace

void readLines(LineReader& reader, Node* top) {
    PathCache cache;
    std::string_view line;
    while (nextLine(reader, line)) {
        DuLine entry;
        if (!scanDuLine(line, entry)) continue;
        normalise(entry.path, cache.current);
        enterPath(cache, top, entry.count);
    }
}

std::string readDuOutput() {
    usageTree.root = newNode("..");
    if (!readInParts(usageTree.root)) {
        LineReader reader;
        readLines(reader, usageTree.root);
    }
    releaseChildIndexes();
    sortTree();
    return chooseRoot();
}

}  // namespace voziv
