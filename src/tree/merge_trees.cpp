#include "tree/merge_trees.hpp"

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

// The child of parent named as child is, among parent's children up to the
// merge: known is the head of that list, which new children go in front of.
Node* earlierChild(const Node* parent, Node* known, const Node* child) {
    const char* name = nodeName(child);
    std::string_view text(name, std::strlen(name));
    if (parent->childIndex != 0) {
        std::uint64_t hash;
        return findIndexedChild(parent, text, hash);
    }
    for (Node* node = known; node != nullptr; node = node->next) {
        if (hasName(node, text)) return node;
    }
    return nullptr;
}

// Sorts match.from's children into those to merge further and those to move
// over as they are, with all they hold.
void mergeChildren(const Match& match, std::vector<Match>& pending) {
    Node* into = match.into;
    Node* known = into->child;
    Node* moved = nullptr;
    Node** tail = &moved;
    std::int32_t count = 0;
    for (Node* child = match.from->child; child != nullptr;) {
        Node* next = child->next;
        if (Node* same = earlierChild(into, known, child)) {
            pending.push_back({same, child, into});
        } else {
            *tail = child;
            tail = &child->next;
            ++count;
        }
        child = next;
    }
    if (count == 0) return;
    *tail = into->child;
    into->child = moved;
    into->unsorted = 1;
    into->permuted |= match.from->permuted;
    const bool wasSeveral = into->nchild >= 2;
    into->nchild += count;
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
