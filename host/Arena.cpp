#include "host/Arena.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace host {

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kSmallAlignment = 64;

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
    // Only advice: without it, or when the system refuses, ordinary pages serve.
    if (arena)
        (void)madvise(arena, size, MADV_HUGEPAGE);
    return arena;
}

void freeArena(void* arena) {
    std::free(arena);
}

} // namespace host
