// One directory (or file) of the usage tree. A node and its name are one
// allocation: the fields below are followed directly by the name's bytes and
// a terminating NUL.
#pragma once

#include <cstdint>
#include <string_view>

namespace voziv {

struct Node {
    Node* next;           // next sibling, or null
    Node* child;          // head of this node's child list, or null
    std::int32_t nchild;  // length of the child list
    std::int64_t size;    // block count from the last line naming this node, else 0
};

inline const char* nodeName(const Node* node) {
    return reinterpret_cast<const char*>(node + 1);
}

// A node named name (which holds no NUL byte), with no siblings, children or
// blocks. Nodes live until the process ends.
Node* newNode(std::string_view name);

// Releases every node at once. A run builds one tree and exits; only tests
// and fuzz targets, which build many trees in one process, need this.
void releaseNodes();

// The one tree of the process: the top node ".." while the input is read, the
// chart root once the root has been chosen.
struct UsageTree {
    Node* root = nullptr;
    bool inBytes = false;  // counts are bytes: a human size (1.5M) was read, or -unit given
};

extern UsageTree usageTree;

}  // namespace voziv
