#include "tree/node.hpp"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace voziv {

UsageTree usageTree;

namespace {

// Nodes are bump-allocated from large blocks: one allocation per node as far
// as the tree is concerned, but no malloc per node. The blocks are asked to
// be backed by huge pages, which saves a page fault every 4 KiB.
constexpr std::size_t hugePage = 2 << 20;
constexpr std::size_t blockSize = 2 * hugePage;
constexpr std::size_t alignment = alignof(Node);

struct FreeBlock {
    void operator()(char* block) const { std::free(block); }
};

struct Arena {
    std::vector<std::unique_ptr<char, FreeBlock>> blocks;
    char* cursor = nullptr;
    std::size_t left = 0;
};

Arena arena;
std::vector<Node*> severalChildren;

char* newBlock(std::size_t size) {
    // Room in the list first, so that a failure cannot strand the block.
    if (arena.blocks.size() == arena.blocks.capacity()) {
        arena.blocks.reserve(arena.blocks.size() * 2 + 16);
    }
    bool whole = size % hugePage == 0;
    void* block = whole ? std::aligned_alloc(hugePage, size) : std::malloc(size);
    if (block == nullptr) throw std::bad_alloc();
    if (whole) ::madvise(block, size, MADV_HUGEPAGE);  // a hint; refused, it changes nothing
    arena.blocks.emplace_back(static_cast<char*>(block));
    return static_cast<char*>(block);
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

std::vector<Node*>& parentsOfSeveral() {
    return severalChildren;
}

void releaseNodes() {
    arena = Arena{};
    severalChildren = std::vector<Node*>{};
    usageTree.root = nullptr;
}

}  // namespace voziv
