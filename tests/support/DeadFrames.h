#pragma once

// The collector scans thread stacks conservatively: a dead frame below the
// caller's may still hold the address of an object a test expects to be
// freed. Tests that count what a collection frees clear those frames first,
// from the frame that called the code which held the object: a sibling
// call's own frame lies over the dead one, and its unwritten words (padding,
// spill slots, the parts of a saved context the system leaves alone) keep
// what the dead frame held.

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
