// Memory for the tree's bulk data, taken straight from the kernel rather
// than from malloc's heap. A large table that is looked up at random (the
// index of a directory with very many children, sort scratch) is backed by
// huge pages, which spare it TLB misses and page faults. Memory that is
// filled from one end (nodes, the blocks of small tables) keeps small pages:
// on a virtual machine whose host takes back memory that programs free, a
// fresh huge page costs several times as much per byte as the small pages it
// replaces, and sequential filling gains little from fewer TLB entries.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace voziv {

enum class Pages { small, huge };

// A run of size bytes of zeroed memory. A run of whole huge pages asked for
// with Pages::huge is 2 MiB aligned and advised to be backed by huge pages.
// Throws std::bad_alloc when the kernel refuses.
char* mapMemory(std::size_t size, Pages pages);

// For memory handed out from one end of a run: when the cursor has passed
// populatedEnd, asks the kernel to back the next stretch (up to runEnd) with
// memory now, one call in place of a page fault per page, and moves
// populatedEnd past it. A hint: where it is refused, the pages come one
// fault at a time.
void populateUpTo(const char* cursor, char*& populatedEnd, char* runEnd);

// Where the next bytes of a run come from, for memory handed out front
// first (nodes, small tables): the rest of the run, and how far ahead of
// the cursor it is populated.
struct RunCursor {
    char* next = nullptr;
    std::size_t left = 0;
    char* populatedEnd = nullptr;
};

// Points cursor at the start of a fresh run of size bytes.
inline void startRun(RunCursor& cursor, char* run, std::size_t size) {
    cursor = {run, size, run};
}

// The next bytes of the run, which has that many left. Inline, with the
// populate call behind a test, as it is taken once per node.
inline char* takeBytes(RunCursor& cursor, std::size_t bytes) {
    char* memory = cursor.next;
    cursor.next += bytes;
    cursor.left -= bytes;
    if (cursor.next > cursor.populatedEnd)
        populateUpTo(cursor.next, cursor.populatedEnd, cursor.next + cursor.left);
    return memory;
}

// Gives back a run that mapMemory returned for the same size.
void unmapMemory(char* run, std::size_t size);

// The size that mapMemory actually takes for size bytes: whole pages.
std::size_t mappedSize(std::size_t size);

constexpr std::size_t hugePageSize = std::size_t{2} << 20;

// bytes rounded up to whole huge pages.
constexpr std::size_t wholeHugePages(std::size_t bytes) {
    return (bytes + hugePageSize - 1) / hugePageSize * hugePageSize;
}

// An allocator for the arrays that grow with the data (sort scratch, kept
// orders): a large one is mapped in whole huge pages, a small one comes from
// the heap.
template <class T>
struct MappedAllocator {
    using value_type = T;
    MappedAllocator() = default;
    template <class U>
    MappedAllocator(const MappedAllocator<U>&) {}

    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / 2 / sizeof(T)) throw std::bad_alloc();
        if (n * sizeof(T) < hugePageSize) return static_cast<T*>(::operator new(n * sizeof(T)));
        return reinterpret_cast<T*>(mapMemory(wholeHugePages(n * sizeof(T)), Pages::huge));
    }
    void deallocate(T* p, std::size_t n) {
        if (n * sizeof(T) < hugePageSize) {
            ::operator delete(p);
        } else {
            unmapMemory(reinterpret_cast<char*>(p), wholeHugePages(n * sizeof(T)));
        }
    }
    template <class U>
    bool operator==(const MappedAllocator<U>&) const {
        return true;
    }
};

template <class T>
using MappedVector = std::vector<T, MappedAllocator<T>>;

}  // namespace voziv
