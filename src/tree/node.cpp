#include "tree/node.hpp"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "tree/mapped_memory.hpp"

namespace voziv {

UsageTree usageTree;

namespace {

// Nodes are bump-allocated from large runs: one allocation per node as far
// as the tree is concerned, but no malloc per node.
constexpr std::size_t blockSize = 2 * hugePageSize;
constexpr std::size_t alignment = alignof(Node);

NodeStore processStore;
thread_local NodeStore* store = &processStore;

// The process's runs by address, each with its place in the order they
// were made; emptied when the runs change, made again when asked for.
std::vector<std::pair<const char*, std::uint64_t>> runsByAddress;

char* newRun(std::size_t size) {
    // Room in the list first, so that a failure cannot strand the run.
    std::vector<MappedRun>& runs = store->runs;
    if (runs.size() == runs.capacity()) runs.reserve(2 * runs.size() + 16);
    char* run = mapMemory(size, Pages::small);
    runs.push_back({run, size});
    if (store == &processStore) runsByAddress.clear();
    return run;
}

char* allocate(std::size_t size) {
    size = (size + alignment - 1) & ~(alignment - 1);
    NodeStore& s = *store;
    // A node with a very long name gets a run of its own, so that the rest
    // of the current block is not wasted.
    if (size > blockSize / 4) return newRun(size);
    if (size > s.current.left) startRun(s.current, newRun(blockSize), blockSize);
    return takeBytes(s.current, size);
}

}  // namespace

Node* newNode(std::string_view name) {
    char* memory = allocate(sizeof(Node) + name.size() + 1);
    Node* node = new (memory) Node{nullptr, nullptr, 0, 0, 0, 0, 0, 0};
    char* text = memory + sizeof(Node);
    std::memcpy(text, name.data(), name.size());
    text[name.size()] = '\0';
    return node;
}

void keepNodesIn(NodeStore* own) {
    store = own != nullptr ? own : &processStore;
}

void adoptNodes(NodeStore& other) {
    processStore.runs.insert(processStore.runs.end(), other.runs.begin(), other.runs.end());
    other.runs.clear();
    runsByAddress.clear();
}

std::uint64_t creationRank(const Node* node) {
    const std::vector<MappedRun>& runs = processStore.runs;
    if (runsByAddress.empty()) {
        for (std::size_t i = 0; i < runs.size(); ++i)
            runsByAddress.emplace_back(runs[i].start, i);
        std::sort(runsByAddress.begin(), runsByAddress.end());
    }
    const char* address = reinterpret_cast<const char*>(node);
    auto run = std::upper_bound(runsByAddress.begin(), runsByAddress.end(),
                                std::make_pair(address, ~std::uint64_t{0}));
    --run;  // the last run that starts at or before the node
    return run->second << 40 | static_cast<std::uint64_t>(address - run->first);
}

std::vector<Node*>& parentsOfSeveral() {
    return store->parentsOfSeveral;
}

void releaseNodes() {
    for (const MappedRun& run : processStore.runs)
        unmapMemory(run.start, run.size);
    processStore = NodeStore{};
    runsByAddress.clear();
    usageTree.root = nullptr;
}

}  // namespace voziv
