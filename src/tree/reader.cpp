#include "tree/reader.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/failure.hpp"
#include "settings/settings.hpp"
#include "tree/child_index.hpp"
#include "tree/du_line.hpp"
#include "tree/line_reader.hpp"
#include "tree/node.hpp"
#include "tree/root.hpp"
#include "tree/sort_tree.hpp"

namespace voziv {

namespace {

// du writes a directory's lines next to each other, so consecutive paths
// share most of their components. The previous path and the nodes of its
// components are kept, and a new path looks up only what differs.
struct PathCache {
    std::string previous;
    std::string current;
    std::vector<std::size_t> ends;  // of previous's components: the offset past each
    std::vector<Node*> nodes;       // of previous's components
};

// Writes into path the path as it is entered: an absolute path gets a "."
// in front.
void normalise(std::string_view raw, std::string& path) {
    path.clear();
    if (raw.front() == '/') {
        if (raw.size() > maxAbsolutePath) fail("too long path\n", exitPathTooLong);
        path += '.';
    }
    path += raw;
}

// The length of the longest common prefix of a and b, compared eight
// bytes at a time: consecutive paths share most of their bytes.
std::size_t commonPrefix(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) break;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// How many leading components of the previous path the current one shares:
// those that end before the first differing byte, and one that ends right
// at it if both paths end or continue with "/" there.
std::size_t sharedComponents(const PathCache& cache) {
    const std::string& a = cache.previous;
    const std::string& b = cache.current;
    const std::size_t common = commonPrefix(a, b);
    std::size_t shared = static_cast<std::size_t>(
        std::lower_bound(cache.ends.begin(), cache.ends.end(), common) - cache.ends.begin());
    auto endsAt = [common](const std::string& path) {
        return common == path.size() || path[common] == '/';
    };
    if (shared < cache.ends.size() && cache.ends[shared] == common && endsAt(a) && endsAt(b)) {
        ++shared;
    }
    return shared;
}

// Enters the current path and gives its last node the count.
void enterPath(PathCache& cache, ChildIndex& index, std::int64_t count) {
    const std::size_t shared = sharedComponents(cache);
    cache.ends.resize(shared);
    cache.nodes.resize(shared);
    const std::string& path = cache.current;
    std::size_t begin = shared == 0 ? 0 : cache.ends.back() + 1;
    Node* parent = shared == 0 ? usageTree.root : cache.nodes.back();
    while (begin <= path.size()) {
        const std::size_t end = std::min(path.find('/', begin), path.size());
        // No directory has an empty name: "//" or a trailing "/" (as tab
        // completion leaves it in du -k /etc/) adds none, and ./ is ".".
        if (end > begin) {
            const std::string_view name = std::string_view(path).substr(begin, end - begin);
            parent = findOrAddChild(index, parent, name);
            cache.ends.push_back(end);
            cache.nodes.push_back(parent);
        }
        begin = end + 1;
    }
    cache.nodes.back()->size = count;
    cache.previous.swap(cache.current);
}

// The line's size in the tree's unit: bytes once counts are bytes, that is
// when a count has a suffix (du -h writes sizes below 1 KiB without one) or
// each count is a unit of bytes. False for a size beyond 64 bits.
bool sizeOf(const DuLine& entry, std::int64_t& size) {
    if (entry.human) usageTree.inBytes = true;
    size = entry.count;
    return entry.human || settings.unit == 0 ||
           !__builtin_mul_overflow(entry.count, settings.unit, &size);
}

// Enters every line of the input below the top node. A line that does not
// scan (no count, or nothing after it) changes nothing.
void readLines() {
    LineReader reader;
    PathCache cache;
    ChildIndex index;
    std::string_view line;
    std::int64_t size = 0;
    while (nextLine(reader, line)) {
        DuLine entry;
        if (!scanDuLine(line, entry) || !sizeOf(entry, size)) continue;
        normalise(entry.path, cache.current);
        enterPath(cache, index, size);
    }
}

}  // namespace

std::string readDuOutput() {
    usageTree.root = newNode("..");
    usageTree.inBytes = settings.unit != 0;
    readLines();
    sortTree(usageTree.root->child, usageTree.root->nchild);
    return chooseRoot();
}

}  // namespace voziv
