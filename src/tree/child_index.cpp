#include "tree/child_index.hpp"

#include <sys/random.h>

#include <array>
#include <bit>
#include <cstring>
#include <ctime>
#include <vector>

#include "tree/mapped_memory.hpp"
#include "tree/node.hpp"

namespace voziv {

namespace {

// Beside each node, the low 32 bits of its name's hash: a probe passes over
// other names without loading their nodes, and a table grows without
// hashing its names again. Slots are found from the same bits, so tables
// never outgrow them. A tag is never 0, which marks an empty slot: a probe
// for a new name reads the tags alone.
struct ChildTable {
    Node** slots;
    std::uint32_t* tags;  // 0 where empty
    std::uint32_t mask;   // capacity - 1; the capacity is a power of two
    std::uint32_t count;
};

// Table memory: a table of capacity c takes 12c bytes, the tags first.
// Small tables come from blocks of 4 MiB and go back to a free list of
// their capacity when they grow; a big table is a run of its own.
constexpr std::size_t tableBlockSize = 2 * hugePageSize;
constexpr std::size_t bigTableBytes = hugePageSize / 2;
constexpr int capacityClasses = 33;

struct TableStore {
    std::vector<ChildTable> tables;
    std::vector<MappedRun> blocks;
    RunCursor current;                                       // the block being filled
    std::array<std::vector<char*>, capacityClasses> unused;  // by log2 of the capacity
};

TableStore processTables;
thread_local TableStore* ownTables = nullptr;  // see separateChildIndexes

TableStore& tablesHere() {
    return ownTables != nullptr ? *ownTables : processTables;
}

std::size_t tableBytes(std::uint32_t capacity) {
    return std::size_t{capacity} * (sizeof(std::uint32_t) + sizeof(Node*));
}

char* tableMemory(std::uint32_t capacity) {
    TableStore& s = tablesHere();
    const std::size_t bytes = tableBytes(capacity);
    if (bytes >= bigTableBytes) return mapMemory(wholeHugePages(bytes), Pages::huge);
    std::vector<char*>& unused = s.unused[std::countr_zero(capacity)];
    if (!unused.empty()) {
        char* memory = unused.back();
        unused.pop_back();
        std::memset(memory, 0, std::size_t{capacity} * sizeof(std::uint32_t));
        return memory;
    }
    if (bytes > s.current.left) {
        if (s.blocks.size() == s.blocks.capacity()) s.blocks.reserve(2 * s.blocks.size() + 16);
        char* block = mapMemory(tableBlockSize, Pages::small);
        s.blocks.push_back({block, tableBlockSize});
        startRun(s.current, block, tableBlockSize);
    }
    return takeBytes(s.current, bytes);  // fresh from the kernel, so already zero
}

void freeTable(const ChildTable& table) {
    const std::uint32_t capacity = table.mask + 1;
    char* memory = reinterpret_cast<char*>(table.tags);
    if (tableBytes(capacity) >= bigTableBytes) {
        unmapMemory(memory, wholeHugePages(tableBytes(capacity)));
    } else {
        tablesHere().unused[std::countr_zero(capacity)].push_back(memory);
    }
}

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

// Tables are kept at most three quarters full: probes pass over tags alone,
// sixteen to a cache line, so a longer probe costs little, and the tables of
// a million nodes take megabytes less.
bool roomFor(std::uint64_t count, std::uint64_t capacity) {
    return 4 * count <= 3 * capacity;
}

std::uint32_t capacityFor(std::uint32_t count) {
    std::uint32_t capacity = 16;
    while (!roomFor(count, capacity))
        capacity *= 2;
    return capacity;
}

ChildTable emptyTable(std::uint32_t capacity) {
    char* memory = tableMemory(capacity);
    auto* tags = reinterpret_cast<std::uint32_t*>(memory);
    auto** slots = reinterpret_cast<Node**>(memory + std::size_t{capacity} * sizeof(std::uint32_t));
    return {slots, tags, capacity - 1, 0};
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
    hash = hashName(name);
    return findHashedChild(parent, name, hash);
}

Node* findHashedChild(const Node* parent, std::string_view name, std::uint64_t hash) {
    const ChildTable& table = tablesHere().tables[parent->childIndex - 1];
    const std::uint32_t tag = tagOf(hash);
    std::uint32_t slot = tag & table.mask;
    for (; table.tags[slot] != 0; slot = (slot + 1) & table.mask) {
        if (table.tags[slot] == tag && hasName(table.slots[slot], name)) return table.slots[slot];
    }
    // A child not found is most often added next, at this very slot: its
    // line of the pointer array is fetched while the node is made.
    __builtin_prefetch(&table.slots[slot], 1);
    return nullptr;
}

void fetchSlot(const Node* parent, std::uint64_t hash) {
    const ChildTable& table = tablesHere().tables[parent->childIndex - 1];
    __builtin_prefetch(&table.tags[tagOf(hash) & table.mask]);
}

void indexNewChild(Node* parent, Node* child, std::uint64_t hash) {
    if (parent->childIndex == 0) {
        if (parent->nchild < indexThreshold) return;
        std::vector<ChildTable>& tables = tablesHere().tables;
        tables.push_back(firstTable(parent));
        parent->childIndex = static_cast<std::uint32_t>(tables.size());
        return;
    }
    ChildTable& table = tablesHere().tables[parent->childIndex - 1];
    if (!roomFor(table.count + 1, std::uint64_t{table.mask} + 1)) {
        ChildTable grown = grownTable(table);
        freeTable(table);
        table = grown;
    }
    place(table, child, tagOf(hash));
}

void releaseChildIndexes() {
    TableStore& s = tablesHere();
    for (const ChildTable& table : s.tables) {
        if (tableBytes(table.mask + 1) >= bigTableBytes) freeTable(table);
    }
    for (const MappedRun& block : s.blocks)
        unmapMemory(block.start, block.size);
    s = TableStore{};
    delete ownTables;
    ownTables = nullptr;
}

void separateChildIndexes() {
    if (ownTables == nullptr) ownTables = new TableStore;
}

}  // namespace voziv
