#include "tree/node.hpp"

#include <cstddef>
#include <cstring>
#include <new>

namespace voziv {

UsageTree usageTree;

namespace {

// Nodes come from large chunks, taken one after another and never given
// back one by one: one allocation per node as far as the tree is
// concerned, but no malloc per node. Each chunk begins with a link to the
// chunk before it, so that releaseNodes can find them all.
struct Chunk {
    Chunk* previous;
};

constexpr std::size_t chunkSize = std::size_t{1} << 20;
constexpr std::size_t alignment = alignof(Node);

struct Arena {
    Chunk* last = nullptr;
    char* next = nullptr;  // the free bytes of the last chunk
    std::size_t left = 0;
};

Arena arena;

char* newChunk(std::size_t size) {
    auto* chunk = static_cast<Chunk*>(::operator new(sizeof(Chunk) + size));
    chunk->previous = arena.last;
    arena.last = chunk;
    return reinterpret_cast<char*>(chunk + 1);
}

char* allocate(std::size_t size) {
    size = (size + alignment - 1) & ~(alignment - 1);
    // A node with a very long name gets a chunk of its own, so that the
    // rest of the current chunk is not wasted.
    if (size > chunkSize / 4) return newChunk(size);
    if (size > arena.left) {
        arena.next = newChunk(chunkSize);
        arena.left = chunkSize;
    }
    char* memory = arena.next;
    arena.next += size;
    arena.left -= size;
    return memory;
}

}  // namespace

static_assert(sizeof(Chunk) % alignof(Node) == 0);

Node* newNode(std::string_view name) {
    char* memory = allocate(sizeof(Node) + name.size() + 1);
    Node* node = new (memory) Node{nullptr, nullptr, 0, 0};
    char* text = memory + sizeof(Node);
    std::memcpy(text, name.data(), name.size());
    text[name.size()] = '\0';
    return node;
}

void releaseNodes() {
    while (arena.last != nullptr) {
        Chunk* previous = arena.last->previous;
        ::operator delete(arena.last);
        arena.last = previous;
    }
    arena = Arena{};
    usageTree = UsageTree{};
}

}  // namespace voziv
