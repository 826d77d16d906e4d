#pragma once

// The collector scans thread stacks conservatively: a dead frame below the
// caller's may still hold the address of an object a test expects to be
// freed. Tests that count what a collection frees clear those frames first.

#include <cstddef>
#include <cstdint>

namespace testing_support {

// Overwrites the stack below the caller's frame.
[[gnu::noinline]] inline void clearDeadFrames() {
    volatile std::uint8_t scratch[16384];
    for (std::size_t i = 0; i < sizeof scratch; ++i)
        scratch[i] = 0;
}

} // namespace testing_support
