#include "tree/node.hpp"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace voziv {

UsageTree usageTree;

namespace {

// Nodes are bump-allocated from large blocks: one allocation per node as far
// as the tree is concerned, but no malloc per node.
constexpr std::size_t blockSize = 1 << 20;
constexpr std::size_t alignment = alignof(Node);

struct Arena {
    std::vector<std::unique_ptr<char[]>> blocks;
    char* cursor = nullptr;
    std::size_t left = 0;
};

Arena arena;

char* newBlock(std::size_t size) {
    // Room in the list first, so that a failure cannot strand the block.
    if (arena.blocks.size() == arena.blocks.capacity()) {
        arena.blocks.reserve(arena.blocks.size() * 2 + 16);
    }
    arena.blocks.emplace_back(new char[size]);
    return arena.blocks.back().get();
}

char* allocate(std::size_t size) {
    size = (size + alignment - 1) & ~(alignment - 1);
    // A node with a very long name gets a block of its own, so that the rest
    // of the current block is not wasted.
    if (size > blockSize / 4) return newBlock(size);
    if (size > arena.left) {
        arena.cursor = newBlock(blockSize);
        arena.left = blockSize;
    }
    char* result = arena.cursor;
    arena.cursor += size;
    arena.left -= size;
    return result;
}

}  // namespace

Node* newNode(std::string_view name) {
    char* memory = allocate(sizeof(Node) + name.size() + 1);
    Node* node = new (memory) Node{nullptr, nullptr, 0, 0, 0};
    char* text = memory + sizeof(Node);
    std::memcpy(text, name.data(), name.size());
    text[name.size()] = '\0';
    return node;
}

void releaseNodes() {
    arena = Arena{};
    usageTree.root = nullptr;
}

}  // namespace voziv
