#include "tree/reader.hpp"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "chart/failure.hpp"
#include "settings/settings.hpp"
#include "tree/child_index.hpp"
#include "tree/du_line.hpp"
#include "tree/insert.hpp"
#include "tree/line_reader.hpp"
#include "tree/node.hpp"
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

// How many leading components of the cached path the new path shares: those
// that end before the first differing byte, and one that ends right at it if
// both paths end or continue with "/" there.
std::size_t sharedComponents(const PathCache& cache) {
    const std::string& a = cache.previous;
    const std::string& b = cache.current;
    std::size_t common = static_cast<std::size_t>(
        std::mismatch(a.begin(),
                      a.begin() + static_cast<std::ptrdiff_t>(std::min(a.size(), b.size())),
                      b.begin())
            .first -
        a.begin());
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
void enterPath(PathCache& cache, std::int64_t count) {
    std::size_t shared = sharedComponents(cache);
    cache.components.resize(shared);
    const std::string& path = cache.current;
    if (shared == 0 || cache.components.back().end != path.size()) {
        Node* parent = shared == 0 ? usageTree.root : cache.components.back().node;
        std::size_t begin = shared == 0 ? 0 : cache.components.back().end + 1;
        for (;;) {
            std::size_t slash = path.find('/', begin);
            std::size_t end = slash == std::string::npos ? path.size() : slash;
            parent = findOrAddChild(parent, std::string_view(path).substr(begin, end - begin));
            cache.components.push_back({end, parent});
            if (slash == std::string::npos) break;
            begin = slash + 1;
        }
    }
    cache.components.back().node->size = count;
    cache.previous.swap(cache.current);
}

}  // namespace

std::string readDuOutput() {
    usageTree.root = newNode("..");
    LineReader reader;
    PathCache cache;
    std::string_view line;
    while (nextLine(reader, line)) {
        DuLine entry;
        if (!scanDuLine(lineText(line, reader.terminator == '\0'), entry)) continue;
        normalise(entry.path, cache.current);
        enterPath(cache, entry.count);
    }
    releaseChildIndexes();
    sortTree(usageTree.root->child, usageTree.root->nchild);
    return chooseRoot();
}

}  // namespace voziv
