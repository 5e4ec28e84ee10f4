// The order of the block records: depth first over the sorted tree, a node
// before its children, with each block's height and top edge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace voziv {

struct Node;

struct Record {
    const Node* node;
    double height;
    double top;
    std::int64_t depth;
    std::int32_t hue;  // in 1/32768 of the circle; negative: white
};

// What is left to write of one sibling list: its next node, the parent that
// the heights are shares of, and where the next block's top edge is.
struct SiblingList {
    const Node* node;
    const Node* parent;
    std::int64_t depth;
    double top;
    double parentHeight;
    std::int32_t hue;              // each list starts again at the first hue
    std::span<Node* const> ahead;  // of a long list: the nodes still to fetch
};

// A walk in progress, with an explicit stack: no recursion at any depth.
struct TreeWalk {
    std::vector<SiblingList> lists;
    bool colored = false;
    bool rootDone = false;
    double drawHeight = 0;
};

// A walk of the usage tree from its chart root.
TreeWalk startWalk(double drawHeight);

// Room for a fixed number of records, sized once and filled from the
// front many times: the first count records are this filling's.
struct RecordBatch {
    std::vector<Record> records;
    std::size_t count = 0;
    std::span<const Record> filled() const { return {records.data(), count}; }
};

// Replaces batch's records with the next ones, as many as it has room for;
// false once the walk is over.
bool walkRecords(TreeWalk& walk, RecordBatch& batch);

constexpr std::int32_t hueSteps = 32768;

}  // namespace voziv
