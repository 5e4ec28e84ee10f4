// Finding a child by name must not walk a long sibling list: a directory
// with a million entries would make reading quadratic. Small directories are
// searched along their list; once a directory has indexThreshold children,
// it gets an open-addressing hash index of them.
#pragma once

#include <cstdint>
#include <string_view>

namespace voziv {

struct Node;

constexpr std::int32_t indexThreshold = 16;

// True when node is named exactly name.
bool hasName(const Node* node, std::string_view name);

// The child of parent named name, or null; parent must have an index. The
// name's hash is left in hash, for indexNewChild.
Node* findIndexedChild(const Node* parent, std::string_view name, std::uint64_t& hash);

// The same with the name's hash known. Many lookups at once can ask for
// the slot of each with fetchSlot first, and wait for memory once, not
// once per name.
Node* findHashedChild(const Node* parent, std::string_view name, std::uint64_t hash);
void fetchSlot(const Node* parent, std::uint64_t hash);

// Records that child has just been put into parent's child list; hash is
// the one findIndexedChild gave, when parent has an index.
void indexNewChild(Node* parent, Node* child, std::uint64_t hash);

// Gives the calling thread indexes of its own, apart from the process's,
// until it calls releaseChildIndexes: a second thread that reads a part of
// the input builds a tree of its own.
void separateChildIndexes();

// Frees every index of the calling thread. They serve lookups while the input is read; nodes keep
// their childIndex number, which must not be used afterwards.
void releaseChildIndexes();

// The hash of a name, keyed per process so that names cannot be chosen to
// collide. Exposed for tests.
std::uint64_t hashName(std::string_view name);

}  // namespace voziv
