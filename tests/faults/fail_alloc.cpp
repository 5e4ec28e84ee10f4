// Preloaded into the binary under test: the allocation numbered
// VOZIV_FAIL_ALLOCATION (counting from 1) fails as when memory runs out. With
// VOZIV_COUNT_ALLOCATIONS naming a file, the number of allocations the run
// made is written there when it ends.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* old, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

unsigned long allocations = 0;

// getenv allocates nothing, so it is safe to ask on every call.
bool failsNow() {
    ++allocations;
    const char* at = std::getenv("VOZIV_FAIL_ALLOCATION");
    if (at == nullptr || std::strtoul(at, nullptr, 10) != allocations) return false;
    errno = ENOMEM;
    return true;
}

struct Counter {
    ~Counter() {
        const char* path = std::getenv("VOZIV_COUNT_ALLOCATIONS");
        if (path == nullptr) return;
        char text[32];
        int length = std::snprintf(text, sizeof text, "%lu\n", allocations);
        int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return;
        ssize_t written = ::write(fd, text, static_cast<std::size_t>(length));
        (void)written;
        ::close(fd);
    }
} counter;

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
    return failsNow() ? nullptr : __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    return failsNow() ? nullptr : __libc_calloc(count, size);
}

void* realloc(void* old, std::size_t size) {
    return failsNow() ? nullptr : __libc_realloc(old, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return failsNow() ? nullptr : __libc_memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    if (failsNow()) return ENOMEM;
    *result = __libc_memalign(alignment, size);
    return *result == nullptr ? ENOMEM : 0;
}

}  // extern "C"
