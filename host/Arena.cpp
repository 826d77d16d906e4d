#include "host/Arena.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace host {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kSmallAlignment = 64;

// Linux 5.14's advice to fault pages in for writing; older systems refuse it.
#if defined(MADV_POPULATE_WRITE)
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23;
#endif

constexpr std::size_t roundUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

} // namespace

void* allocateArena(std::size_t bytes) {
    if (bytes < kLargePage)
        return std::aligned_alloc(kSmallAlignment, roundUp(bytes, kSmallAlignment));
    if (bytes > SIZE_MAX - kLargePage)
        return nullptr;
    std::size_t size = roundUp(bytes, kLargePage);
    void* arena = std::aligned_alloc(kLargePage, size);
    // Only advice: without it, or when the system refuses, ordinary pages
    // serve. The first large page is left out: a heap fills from its start,
    // and a fresh heap's first few objects would otherwise commit (and clear)
    // 2 MiB at once.
    if (arena && size > kLargePage)
        (void)madvise(static_cast<std::byte*>(arena) + kLargePage, size - kLargePage, MADV_HUGEPAGE);
    return arena;
}

void freeArena(void* arena) {
    std::free(arena);
}

void commitNow(void* begin, std::size_t bytes) {
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(begin);
    if (pageSize == 0 || bytes < pageSize || start > UINTPTR_MAX - bytes)
        return;
    const std::uintptr_t first = (start + pageSize - 1) / pageSize * pageSize;
    const std::uintptr_t end = (start + bytes) / pageSize * pageSize;
    if (end > first)
        (void)madvise(reinterpret_cast<void*>(first), end - first, kPopulateWrite);
}

} // namespace host
