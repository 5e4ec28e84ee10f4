// Finding a child by name must not walk a long sibling list: a directory
// with a million entries would make reading quadratic. A directory is
// searched along its list until it has indexThreshold children; from then
// on it has a hash index of them.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace voziv {

struct Node;

constexpr std::int32_t indexThreshold = 16;

// The index of one large directory: open addressing, with the low 32 bits
// of each name's hash beside its node, so that a probe passes over other
// names without loading their nodes. A tag of 0 marks an empty slot.
struct ChildTable {
    std::vector<std::uint32_t> tags;
    std::vector<Node*> slots;
    std::uint32_t count = 0;
};

// The indexes of every large directory of one tree, for as long as it is
// being built. Nodes know nothing of it.
struct ChildIndex {
    std::unordered_map<const Node*, ChildTable> tables;
};

// The child of parent named name; a new one is put at the head of parent's
// child list when there is none yet.
Node* findOrAddChild(ChildIndex& index, Node* parent, std::string_view name);

// The hash of a name, keyed per process so that names cannot be chosen to
// collide.
std::uint64_t hashName(std::string_view name);

}  // namespace voziv
