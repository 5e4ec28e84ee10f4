#include "tree/child_index.hpp"

#include <sys/random.h>

#include <cstring>
#include <ctime>

#include "tree/node.hpp"

namespace voziv {

namespace {

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

std::uint64_t rotl(std::uint64_t x, int b) {
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

std::uint32_t tagOf(std::string_view name) {
    auto tag = static_cast<std::uint32_t>(hashName(name));
    return tag != 0 ? tag : 1;
}

// A name holds no NUL, so the node's terminator differs from every byte of
// it; most names differ in their first byte.
bool hasName(const Node* node, std::string_view name) {
    const char* own = nodeName(node);
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (own[i] != name[i]) return false;
    }
    return own[name.size()] == '\0';
}

// Tables are kept at most three quarters full: probes pass over tags
// alone, sixteen to a cache line, so a longer probe costs little.
void place(ChildTable& table, Node* child, std::uint32_t tag) {
    const std::size_t mask = table.tags.size() - 1;
    std::size_t slot = tag & mask;
    while (table.tags[slot] != 0)
        slot = (slot + 1) & mask;
    table.tags[slot] = tag;
    table.slots[slot] = child;
    ++table.count;
}

// The same entries in a table of the given capacity, a power of two.
void resize(ChildTable& table, std::size_t capacity) {
    ChildTable grown{std::vector<std::uint32_t>(capacity), std::vector<Node*>(capacity), 0};
    for (std::size_t slot = 0; slot < table.tags.size(); ++slot) {
        if (table.tags[slot] != 0) place(grown, table.slots[slot], table.tags[slot]);
    }
    table = std::move(grown);
}

void addToTable(ChildTable& table, Node* child, std::uint32_t tag) {
    if (4 * (std::size_t{table.count} + 1) > 3 * table.tags.size()) {
        resize(table, 2 * table.tags.size());
    }
    place(table, child, tag);
}

// The first index of parent's children, once the list has grown long.
void indexChildren(ChildIndex& index, const Node* parent) {
    ChildTable& table = index.tables[parent];
    resize(table, 2 * static_cast<std::size_t>(indexThreshold));
    for (Node* child = parent->child; child != nullptr; child = child->next)
        addToTable(table, child, tagOf(nodeName(child)));
}

Node* findInList(const Node* parent, std::string_view name) {
    for (Node* node = parent->child; node != nullptr; node = node->next) {
        if (hasName(node, name)) return node;
    }
    return nullptr;
}

Node* findInTable(const ChildTable& table, std::string_view name, std::uint32_t tag) {
    const std::size_t mask = table.tags.size() - 1;
    for (std::size_t slot = tag & mask; table.tags[slot] != 0; slot = (slot + 1) & mask) {
        if (table.tags[slot] == tag && hasName(table.slots[slot], name)) return table.slots[slot];
    }
    return nullptr;
}

Node* addChild(Node* parent, std::string_view name) {
    Node* node = newNode(name);
    node->next = parent->child;
    parent->child = node;
    ++parent->nchild;
    return node;
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

Node* findOrAddChild(ChildIndex& index, Node* parent, std::string_view name) {
    if (parent->nchild < indexThreshold) {
        if (Node* found = findInList(parent, name)) return found;
        Node* node = addChild(parent, name);
        if (parent->nchild == indexThreshold) indexChildren(index, parent);
        return node;
    }
    ChildTable& table = index.tables.find(parent)->second;
    const std::uint32_t tag = tagOf(name);
    if (Node* found = findInTable(table, name, tag)) return found;
    Node* node = addChild(parent, name);
    addToTable(table, node, tag);
    return node;
}

}  // namespace voziv
