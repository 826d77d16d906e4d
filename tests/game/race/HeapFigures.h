#pragma once
// The heap as the race tests compare it: after a full collection, the live
// objects and the used blocks of the object and buffer heaps, with their
// sizes.
//
// Equal contents need not give equal used bytes. The allocator takes a
// free block whole when a split would leave no more than
// `MemoryManager::kSplitSlack` bytes, so a block may be up to that much
// larger than its request, depending on which free block it found; where
// the collector left free blocks depends on where the last race's garbage
// lay. What does hold for equal contents: the same number of blocks, and,
// sorting each side's block sizes, every pair within the slack (the k-th
// smallest of requests each raised by 0..slack lies between the k-th
// smallest request and that plus the slack, on both sides). An array whose
// length follows data breaks that as soon as it differs by more.

#include "runtime/MemoryManager.h"
#include "runtime/ObjectManager.h"
#include "runtime/Runtime.h"
#include "tests/support/DeadFrames.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <vector>

namespace race_testing {

struct HeapFigures {
    std::size_t objects = 0;
    std::size_t blocks = 0;
    std::size_t bytes = 0;
};

// Collects everything unreachable, then counts what is left; with `sizes`,
// the used blocks' sizes go there too, ascending. (The figures stay a plain
// struct: what a caller's frame holds decides what the conservative stack
// scan keeps, and a test that compares counts keeps its frames alike.)
inline HeapFigures collectedHeap(std::vector<std::size_t>* sizes = nullptr) {
    testing_support::clearDeadFrames();
    rt::Runtime& runtime = rt::Runtime::current();
    runtime.objectManager().gc(rt::ObjectManager::kImmediate);
    HeapFigures figures{runtime.objectManager().objectCount(), 0, 0};
    if (sizes)
        sizes->clear();
    auto add = [&](const void*, std::size_t size, bool isFree) {
        if (!isFree) {
            ++figures.blocks;
            figures.bytes += size;
            if (sizes)
                sizes->push_back(size);
        }
    };
    runtime.objectHeap().forEachBlock(add);
    runtime.bufferHeap().forEachBlock(add);
    if (sizes)
        std::sort(sizes->begin(), sizes->end());
    return figures;
}

// The largest difference between the k-th smallest blocks of two ascending
// size lists; the largest size_t when their block counts differ.
inline std::size_t largestBlockDifference(const std::vector<std::size_t>& a,
                                          const std::vector<std::size_t>& b) {
    if (a.size() != b.size())
        return std::numeric_limits<std::size_t>::max();
    std::size_t most = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::size_t d = a[i] > b[i] ? a[i] - b[i] : b[i] - a[i];
        most = d > most ? d : most;
    }
    return most;
}

} // namespace race_testing
