#include "tree/merge_trees.hpp"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "tree/child_index.hpp"
#include "tree/node.hpp"

namespace voziv {

namespace {

struct Match {
    Node* into;    // of the earlier tree
    Node* from;    // the node of the later tree with the same path
    Node* parent;  // into's parent
};

// A child of the later node, either merged further with the earlier child
// of its name, or moved over with all it holds.
struct Sorting {
    const Match& match;
    std::vector<Match>& pending;
    Node* moved = nullptr;
    Node** tail = &moved;
    std::int32_t count = 0;
};

void place(Sorting& sorting, Node* child, Node* same) {
    if (same != nullptr) {
        sorting.pending.push_back({same, child, sorting.match.into});
        return;
    }
    *sorting.tail = child;
    sorting.tail = &child->next;
    ++sorting.count;
}

std::string_view nameOf(const Node* node) {
    const char* name = nodeName(node);
    return {name, std::strlen(name)};
}

// Without an index, among the earlier children: known is the head of their
// list, which moved children go in front of.
void placeListed(Sorting& sorting, Node* known, Node* child) {
    std::string_view name = nameOf(child);
    Node* same = known;
    while (same != nullptr && !hasName(same, name))
        same = same->next;
    place(sorting, child, same);
}

// With an index, a window of lookups is in flight: the slot of each name is
// asked for several names before it is needed. Children are placed in their
// order; placing one changes only the links of children placed before it.
void placeIndexed(Sorting& sorting, Node* first) {
    constexpr std::size_t window = 8;
    struct Lookup {
        Node* child;
        std::uint64_t hash;
    };
    std::array<Lookup, window> ahead;
    const Node* into = sorting.match.into;
    std::size_t asked = 0, done = 0;
    auto placeOldest = [&] {
        const Lookup& oldest = ahead[done++ % window];
        place(sorting, oldest.child, findHashedChild(into, nameOf(oldest.child), oldest.hash));
    };
    for (Node* child = first; child != nullptr; child = child->next) {
        if (asked == done + window) placeOldest();
        const std::uint64_t hash = hashName(nameOf(child));
        fetchSlot(into, hash);
        ahead[asked++ % window] = {child, hash};
    }
    while (done < asked)
        placeOldest();
}

// Sorts match.from's children into those to merge further and those to move
// over as they are, with all they hold.
void mergeChildren(const Match& match, std::vector<Match>& pending) {
    Node* into = match.into;
    Sorting sorting{match, pending};
    if (into->childIndex != 0) {
        placeIndexed(sorting, match.from->child);
    } else {
        Node* known = into->child;
        for (Node* child = match.from->child; child != nullptr;) {
            Node* next = child->next;  // placing the child changes its link
            placeListed(sorting, known, child);
            child = next;
        }
    }
    if (sorting.count == 0) return;
    *sorting.tail = into->child;
    into->child = sorting.moved;
    into->unsorted = 1;
    into->permuted |= match.from->permuted;
    const bool wasSeveral = into->nchild >= 2;
    into->nchild += sorting.count;
    if (!wasSeveral && into->nchild >= 2) parentsOfSeveral().push_back(into);
}

}  // namespace

void mergeTrees(Node* earlier, Node* later) {
    std::vector<Match> pending{{earlier, later, nullptr}};
    while (!pending.empty()) {
        Match match = pending.back();
        pending.pop_back();
        if (match.from->named) {
            match.into->size = match.from->size;
            match.into->named = 1;
            if (match.parent != nullptr) match.parent->unsorted = 1;  // its place may change
        }
        mergeChildren(match, pending);
        match.from->child = nullptr;
        match.from->nchild = 0;
    }
}

}  // namespace voziv
