#pragma once

// Arenas: the large blocks of memory the runtime's heaps manage themselves.
//
// An arena of 2 MiB or more starts on a 2 MiB boundary and the system is asked
// to back it with pages of that size where it can (transparent huge pages).
// A heap walked in no particular order, as the collector walks the object
// heap, then needs one address translation per 2 MiB instead of one per
// 4 KiB, and the processor's translation cache covers the whole heap. Where
// the system says no, the arena works as well on ordinary pages; memory is
// still committed only where it is touched.
//
// Any thread.

#include <cstddef>

namespace host {

// An arena of at least `bytes` bytes, aligned to 16 bytes or more, or null
// when the memory cannot be had. Its contents are unspecified.
void* allocateArena(std::size_t bytes);
// Releases an arena of `allocateArena` (null: nothing).
void freeArena(void* arena);

} // namespace host
