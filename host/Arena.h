#pragma once

// Arenas: the large blocks of memory the runtime's heaps manage themselves.
//
// An arena of 2 MiB or more starts on a 2 MiB boundary and the system is asked
// to back it, past its first 2 MiB, with pages of that size where it can
// (transparent huge pages). A heap walked in no particular order, as the
// collector walks the object heap, then needs one address translation per
// 2 MiB instead of one per 4 KiB, and the processor's translation cache covers
// the whole heap. The first 2 MiB keep ordinary pages: the heaps fill from
// their start, and a program that has just started should commit what it has
// used, not 2 MiB per heap. Where the system says no, the arena works as well
// on ordinary pages; memory is still committed only where it is touched.
//
// Any thread.

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace host {

// An arena of at least `bytes` bytes, aligned to 16 bytes or more, or null
// when the memory cannot be had. Its contents are unspecified.
void* allocateArena(std::size_t bytes);
// Releases an arena of `allocateArena` (null: nothing).
void freeArena(void* arena);

// Asks the system to back the whole pages of `bytes` bytes from `begin` with
// memory now, in one step, rather than one page at a time as each is first
// written: for a large region about to be written whole (a fresh frame
// buffer, a large array being zeroed), whose pages would otherwise each cost
// a fault. Only advice: where the system cannot, the pages come as they are
// written. Memory committed already stays as it is.
void commitNow(void* begin, std::size_t bytes);

// `count` zeroed elements of `T` whose memory is committed in one step
// (`commitNow`): for a buffer written whole soon after it is made.
template <class T>
std::vector<T> committedBuffer(std::size_t count) {
    std::vector<T> buffer;
    buffer.reserve(count);
    commitNow(buffer.data(), count * sizeof(T));
    buffer.resize(count);
    return buffer;
}

// An allocator of zeroed memory that the system commits a page at a time as
// it is first touched, for large tables most of which a young program never
// touches (bitmaps over a whole heap). A vector made with a count leaves its
// elements as that memory has them: only for types whose zero bytes are their
// zero value. Any thread.
template <class T>
struct ZeroedAllocator {
    using value_type = T;

    ZeroedAllocator() = default;
    template <class U>
    ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        // The system's zeroed pages serve a large block as they are, untouched.
        void* memory = std::calloc(count ? count : 1, sizeof(T));
        if (!memory)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t) noexcept { std::free(memory); }

    // Made without a value: left as allocated, zero.
    template <class U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;
    }
    template <class U, class... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    template <class U>
    bool operator==(const ZeroedAllocator<U>&) const noexcept {
        return true;
    }
};

} // namespace host
