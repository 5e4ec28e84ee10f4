#include "tree/child_index.hpp"

#include <sys/random.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <utility>
#include <vector>

#include "tree/node.hpp"

namespace voziv {

namespace {

// Beside each node, the low 32 bits of its name's hash: a probe passes over
// other names without loading their nodes, and a table grows without
// hashing its names again. Slots are found from the same bits, so tables
// never outgrow them. A tag is never 0, which marks an empty slot: a probe
// for a new name reads the tags alone.
struct ChildTable {
    std::unique_ptr<Node*[]> slots;
    std::unique_ptr<std::uint32_t[]> tags;  // 0 where empty
    std::uint32_t mask = 0;                 // capacity - 1; the capacity is a power of two
    std::uint32_t count = 0;
};

std::vector<ChildTable> tables;

// SipHash-1-3 with a random key: anybody can name a directory, so an
// unkeyed hash would let a crafted directory degrade its index to a list.
struct SipKey {
    std::uint64_t k0, k1;
};

SipKey makeKey() {
    SipKey key{};
    if (getrandom(&key, sizeof key, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof key)) {
        key.k0 = static_cast<std::uint64_t>(std::time(nullptr)) * 0x9e3779b97f4a7c15u;
        key.k1 = reinterpret_cast<std::uintptr_t>(&key) ^ 0xd6e8feb86659fd93u;
    }
    return key;
}

const SipKey sipKey = makeKey();

inline std::uint64_t rotl(std::uint64_t x, int b) {
    return (x << b) | (x >> (64 - b));
}

struct SipState {
    std::uint64_t v0, v1, v2, v3;
    void round() {
        v0 += v1, v1 = rotl(v1, 13), v1 ^= v0, v0 = rotl(v0, 32);
        v2 += v3, v3 = rotl(v3, 16), v3 ^= v2;
        v0 += v3, v3 = rotl(v3, 21), v3 ^= v0;
        v2 += v1, v1 = rotl(v1, 17), v1 ^= v2, v2 = rotl(v2, 32);
    }
    void absorb(std::uint64_t m) {
        v3 ^= m;
        round();
        v0 ^= m;
    }
};

// Tables are kept at most half full, so that a probe ends soon.
std::uint32_t capacityFor(std::uint32_t count) {
    std::uint32_t capacity = 32;
    while (capacity < 2 * count)
        capacity *= 2;
    return capacity;
}

ChildTable emptyTable(std::uint32_t capacity) {
    return {std::make_unique<Node*[]>(capacity), std::make_unique<std::uint32_t[]>(capacity),
            capacity - 1, 0};
}

void place(ChildTable& table, Node* child, std::uint32_t tag) {
    std::uint32_t slot = tag & table.mask;
    while (table.tags[slot] != 0)
        slot = (slot + 1) & table.mask;
    table.slots[slot] = child;
    table.tags[slot] = tag;
    ++table.count;
}

std::uint32_t tagOf(std::uint64_t hash) {
    auto tag = static_cast<std::uint32_t>(hash);
    return tag != 0 ? tag : 1;
}

// The first index of parent's children, hashing each of them.
ChildTable firstTable(const Node* parent) {
    ChildTable table = emptyTable(capacityFor(static_cast<std::uint32_t>(parent->nchild)));
    for (Node* child = parent->child; child != nullptr; child = child->next) {
        const char* name = nodeName(child);
        place(table, child, tagOf(hashName({name, std::strlen(name)})));
    }
    return table;
}

// The same entries in a table twice the size.
ChildTable grownTable(const ChildTable& old) {
    ChildTable table = emptyTable(2 * (old.mask + 1));
    for (std::uint32_t slot = 0; slot <= old.mask; ++slot) {
        if (old.tags[slot] != 0) place(table, old.slots[slot], old.tags[slot]);
    }
    return table;
}

}  // namespace

std::uint64_t hashName(std::string_view name) {
    SipState s{sipKey.k0 ^ 0x736f6d6570736575u, sipKey.k1 ^ 0x646f72616e646f6du,
               sipKey.k0 ^ 0x6c7967656e657261u, sipKey.k1 ^ 0x7465646279746573u};
    const char* p = name.data();
    std::size_t n = name.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t m;
        std::memcpy(&m, p, 8);
        s.absorb(m);
    }
    std::uint64_t last = static_cast<std::uint64_t>(name.size()) << 56;
    for (std::size_t i = 0; i < n; ++i)
        last |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    s.absorb(last);
    s.v2 ^= 0xff;
    for (int i = 0; i < 3; ++i)
        s.round();
    return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

bool hasName(const Node* node, std::string_view name) {
    const char* own = nodeName(node);
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (own[i] != name[i] || own[i] == '\0') return false;
    }
    return own[name.size()] == '\0';
}

Node* findIndexedChild(const Node* parent, std::string_view name, std::uint64_t& hash) {
    const ChildTable& table = tables[parent->childIndex - 1];
    hash = hashName(name);
    const std::uint32_t tag = tagOf(hash);
    for (std::uint32_t slot = tag & table.mask; table.tags[slot] != 0;
         slot = (slot + 1) & table.mask) {
        if (table.tags[slot] == tag && hasName(table.slots[slot], name)) return table.slots[slot];
    }
    return nullptr;
}

void indexNewChild(Node* parent, Node* child, std::uint64_t hash) {
    if (parent->childIndex == 0) {
        if (parent->nchild < indexThreshold) return;
        ChildTable table = firstTable(parent);
        tables.push_back(std::move(table));
        parent->childIndex = static_cast<std::uint32_t>(tables.size());
        return;
    }
    ChildTable& table = tables[parent->childIndex - 1];
    if (2 * (table.count + 1) > table.mask + 1) table = grownTable(table);
    place(table, child, tagOf(hash));
}

void releaseChildIndexes() {
    tables = std::vector<ChildTable>{};
}

}  // namespace voziv
