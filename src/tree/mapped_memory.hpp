// Memory for the tree's bulk data, taken straight from the kernel. A page
// fault costs microseconds on a virtual machine, and a million nodes touch
// tens of thousands of small pages: these runs are 2 MiB aligned and asked to
// be backed by huge pages, which malloc's heap is not.
#pragma once

#include <cstddef>

namespace voziv {

// A run of size bytes of zeroed memory, aligned to 2 MiB when size is a
// multiple of 2 MiB. Throws std::bad_alloc when the kernel refuses.
char* mapMemory(std::size_t size);

// Gives back a run that mapMemory returned for the same size.
void unmapMemory(char* run, std::size_t size);

// The size that mapMemory actually takes for size bytes: whole pages.
std::size_t mappedSize(std::size_t size);

constexpr std::size_t hugePageSize = std::size_t{2} << 20;

}  // namespace voziv
