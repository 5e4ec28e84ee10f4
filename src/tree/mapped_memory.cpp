#include "tree/mapped_memory.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <new>

namespace voziv {

std::size_t mappedSize(std::size_t size) {
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (size + page - 1) / page * page;
}

char* mapMemory(std::size_t size, Pages pages) {
    size = mappedSize(size);
    const bool huge = pages == Pages::huge && size % hugePageSize == 0;
    // For alignment, map a huge page more than asked and cut off the ends.
    const std::size_t asked = huge ? size + hugePageSize : size;
    void* mapped =
        ::mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    char* run = static_cast<char*>(mapped);
    if (huge) {
        auto address = reinterpret_cast<std::uintptr_t>(run);
        std::size_t head = (hugePageSize - address % hugePageSize) % hugePageSize;
        if (head != 0) ::munmap(run, head);
        if (hugePageSize - head != 0) ::munmap(run + head + size, hugePageSize - head);
        run += head;
        ::madvise(run, size, MADV_HUGEPAGE);  // a hint; refused, it changes nothing
    }
    return run;
}

void populateUpTo(const char* cursor, char*& populatedEnd, char* runEnd) {
    constexpr std::size_t step = 256 << 10;
    while (cursor > populatedEnd) {
        const std::size_t size = std::min<std::size_t>(step, runEnd - populatedEnd);
#ifdef MADV_POPULATE_WRITE
        ::madvise(populatedEnd, size, MADV_POPULATE_WRITE);
#endif
        populatedEnd += size;
    }
}

void unmapMemory(char* run, std::size_t size) {
    ::munmap(run, mappedSize(size));
}

}  // namespace voziv
