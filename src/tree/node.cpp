#include "tree/node.hpp"

#include <cstring>
#include <memory>
#include <new>

namespace voziv {

UsageTree usageTree;

namespace {

// Nodes are bump-allocated from large blocks: one allocation per node as far
// as the tree is concerned, but no malloc per node.
constexpr std::size_t blockSize = 1 << 20;

struct Arena {
    std::vector<NodeBlock> blocks;
    std::size_t current = 0;  // the block being filled, if there is one
    bool filling = false;
};

Arena arena;

NodeBlock& newBlock(std::size_t size) {
    // Room in the list first, so that a failure cannot strand the block.
    if (arena.blocks.size() == arena.blocks.capacity()) {
        arena.blocks.reserve(arena.blocks.size() * 2 + 16);
    }
    arena.blocks.push_back({std::unique_ptr<char[]>(new char[size]), 0});
    return arena.blocks.back();
}

char* allocate(std::size_t size) {
    size = nodeFootprint(size);
    // A node with a very long name gets a block of its own, so that the rest
    // of the current block is not wasted.
    if (size > blockSize / 4) {
        NodeBlock& block = newBlock(size);
        block.used = size;
        return block.bytes.get();
    }
    if (!arena.filling || blockSize - arena.blocks[arena.current].used < size) {
        newBlock(blockSize);
        arena.current = arena.blocks.size() - 1;
        arena.filling = true;
    }
    NodeBlock& block = arena.blocks[arena.current];
    char* result = block.bytes.get() + block.used;
    block.used += size;
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

const std::vector<NodeBlock>& nodeBlocks() {
    return arena.blocks;
}

void releaseNodes() {
    arena = Arena{};
    usageTree.root = nullptr;
}

}  // namespace voziv
