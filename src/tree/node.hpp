// One directory (or file) of the usage tree. A node and its name are one
// allocation: the fields below are followed directly by the name's bytes and
// a terminating NUL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "tree/mapped_memory.hpp"

namespace voziv {

struct Node {
    Node* next;                     // next sibling, or null
    Node* child;                    // head of this node's child list, or null
    std::int32_t nchild;            // length of the child list
    std::uint32_t childIndex : 29;  // 0, or 1 + the slot of this node's index (see child_index)
    std::uint32_t named : 1;        // a line has named this node
    std::uint32_t unsorted : 1;     // the list has changed since it was last sorted
    std::uint32_t permuted : 1;     // the list is no longer in the order its nodes came
    std::int64_t size;              // block count from the last line naming this node, else 0
};

inline const char* nodeName(const Node* node) {
    return reinterpret_cast<const char*>(node + 1);
}

// A node named name (which holds no NUL byte), with no siblings, children or
// blocks. Nodes come from an arena and are never released one by one.
Node* newNode(std::string_view name);

// A run of memory from mapMemory.
struct MappedRun {
    char* start;
    std::size_t size;
};

// Where one thread's new nodes come from, and the lists they grew. Runs are
// given back only by releaseNodes; a process that charts once just exits.
struct NodeStore {
    std::vector<MappedRun> runs;
    RunCursor current;  // the block that new nodes come from
    std::vector<Node*> parentsOfSeveral;
};

// Makes the calling thread's new nodes come from store, or from the
// process's own store when store is null.
void keepNodesIn(NodeStore* store);

// Hands other's runs over to the process's store. Its lists of several
// children are the caller's to pass on: a merge leaves some of them spent.
void adoptNodes(NodeStore& other);

// The order in which the process's nodes were made, as one pass over the
// input would have made them: a later node has a larger rank. Nodes read by
// a second thread rank after the main thread's once adopted.
std::uint64_t creationRank(const Node* node);

// The nodes whose child lists have grown to two nodes or more, in the order
// they did: the lists that sorting has to order.
std::vector<Node*>& parentsOfSeveral();

// Releases every node at once, with the memory of every store adopted. The tree is built once per
// run; only tests and fuzz targets, which run many times in one process, need this.
void releaseNodes();

// The one tree of the process: the top node ".." while the input is read, the
// chart root once the root has been chosen.
struct UsageTree {
    Node* root = nullptr;
};

extern UsageTree usageTree;

}  // namespace voziv
