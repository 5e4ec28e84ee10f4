#include "tree/sort_tree.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "settings/settings.hpp"
#include "tree/mapped_memory.hpp"
#include "tree/node.hpp"
#include "tree/ordering.hpp"

namespace voziv {

namespace {

std::unordered_map<const Node*, MappedVector<Node*>> longOrders;

// Sorts long lists whose keys decide alone: a stable radix sort by the
// key's bytes, lowest first, passing over the bytes in which all keys agree
// (the high bytes of block counts, mostly).
void radixSort(MappedVector<SortEntry>& entries, MappedVector<SortEntry>& spare) {
    std::array<std::array<std::size_t, 256>, 8> counts{};
    for (const SortEntry& entry : entries) {
        for (int digit = 0; digit < 8; ++digit)
            ++counts[digit][(entry.key >> (8 * digit)) & 0xff];
    }
    spare.resize(entries.size());
    for (int digit = 0; digit < 8; ++digit) {
        std::array<std::size_t, 256>& count = counts[digit];
        const std::uint64_t first = (entries.front().key >> (8 * digit)) & 0xff;
        if (count[first] == entries.size()) continue;  // every key has this byte
        std::size_t start = 0;
        for (std::size_t& bucket : count)
            start += std::exchange(bucket, start);
        for (const SortEntry& entry : entries)
            spare[count[(entry.key >> (8 * digit)) & 0xff]++] = entry;
        entries.swap(spare);
    }
}

// Puts a list that an earlier sort relinked back into the order in which
// its nodes came, newest first, so that equal siblings keep that order.
void comeInOrder(MappedVector<SortEntry>& entries, OrderingKey key) {
    for (SortEntry& entry : entries)
        entry.key = creationRank(entry.node);
    std::sort(entries.begin(), entries.end(),
              [](const SortEntry& a, const SortEntry& b) { return a.key > b.key; });
    for (SortEntry& entry : entries)
        entry.key = key.of(entry.node);
}

// Relinks one sibling list in order. The scratch arrays are reused from list
// to list, so sorting takes two arrays the size of the longest list.
void sortList(Node* parent, OrderingKey key, NodeOrdering compare, SortScratch& arrays) {
    MappedVector<SortEntry>& scratch = arrays.entries;
    parent->unsorted = 0;
    scratch.clear();
    scratch.reserve(static_cast<std::size_t>(parent->nchild));
    for (Node* node = parent->child; node != nullptr; node = node->next) {
        scratch.push_back({key.of(node), node});
    }
    if (parent->permuted) comeInOrder(scratch, key);
    parent->permuted = 1;
    auto before = [compare, decides = key.decides](const SortEntry& a, const SortEntry& b) {
        if (a.key != b.key) return a.key < b.key;
        return !decides && compare(a.node, b.node) < 0;
    };
    if (scratch.size() <= 16) {
        // Most lists are short: an insertion sort, stable and with no buffer.
        for (std::size_t i = 1; i < scratch.size(); ++i) {
            SortEntry entry = scratch[i];
            std::size_t j = i;
            for (; j > 0 && before(entry, scratch[j - 1]); --j)
                scratch[j] = scratch[j - 1];
            scratch[j] = entry;
        }
    } else if (key.decides && scratch.size() >= 256) {
        radixSort(scratch, arrays.spare);
    } else {
        std::stable_sort(scratch.begin(), scratch.end(), before);
    }
    parent->child = scratch.front().node;
    for (std::size_t i = 0; i + 1 < scratch.size(); ++i)
        scratch[i].node->next = scratch[i + 1].node;
    scratch.back().node->next = nullptr;
    if (parent->nchild >= longList) {
        MappedVector<Node*>& order = longOrders[parent];
        order.resize(scratch.size());
        for (std::size_t i = 0; i < scratch.size(); ++i)
            order[i] = scratch[i].node;
    }
}

}  // namespace

void sortTree() {
    // Each list is ordered on its own, so the lists can be taken in any
    // order: here the order in which they grew, with no walk along the tree.
    const NodeOrdering compare = settings.compare;
    const OrderingKey key = keyOf(compare);
    SortScratch scratch;
    longOrders.clear();  // of an earlier tree, in tests
    for (Node* parent : parentsOfSeveral()) {
        if (parent->unsorted) sortList(parent, key, compare, scratch);
    }
    parentsOfSeveral() = std::vector<Node*>{};
}

void sortEarly(Node* parent, SortScratch& scratch) {
    // A long list's kept order is made at the end, and a relinked list can
    // be put back in order only once every node is in the process's runs.
    if (parent->nchild >= longList || parent->permuted) return;
    const NodeOrdering compare = settings.compare;
    sortList(parent, keyOf(compare), compare, scratch);
}

std::span<Node* const> sortedOrder(const Node* parent) {
    if (parent->nchild < longList) return {};
    auto found = longOrders.find(parent);
    if (found == longOrders.end()) return {};
    return found->second;
}

}  // namespace voziv
