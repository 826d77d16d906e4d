// Allocate/free churn on a fragmented free list, against malloc/free on the same sequence.

#include "runtime/MemoryManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kHeapSize = 8 << 20;
constexpr std::size_t kLive = 4096;

// One fixed sequence: which slot to replace and with what size. Sizes are
// those of strings, small arrays and the odd image.
struct Churn {
    std::vector<std::uint32_t> slots;
    std::vector<std::uint32_t> sizes;
    Churn() {
        std::mt19937 random(42);
        for (int i = 0; i < 1 << 16; ++i) {
            slots.push_back(random() % kLive);
            std::uint32_t roll = random() % 100;
            sizes.push_back(roll < 70   ? 8 + random() % 56
                            : roll < 97 ? 64 + random() % 448
                                        : 512 + random() % 8192);
        }
    }
};

const Churn& churn() {
    static const Churn s_churn;
    return s_churn;
}

template <class Allocate, class Release>
void run(benchmark::State& state, Allocate allocate, Release release) {
    const Churn& c = churn();
    std::vector<void*> live(kLive, nullptr);
    // Fragment first: fill, then free every other block.
    for (std::size_t i = 0; i < kLive; ++i)
        live[i] = allocate(c.sizes[i]);
    for (std::size_t i = 0; i < kLive; i += 2) {
        release(live[i]);
        live[i] = nullptr;
    }
    std::size_t step = 0;
    for (auto _ : state) {
        std::size_t slot = c.slots[step];
        if (live[slot])
            release(live[slot]);
        live[slot] = allocate(c.sizes[step]);
        benchmark::DoNotOptimize(live[slot]);
        step = (step + 1) & (c.slots.size() - 1);
    }
    for (void* p : live) {
        if (p)
            release(p);
    }
    state.SetItemsProcessed(state.iterations());
}

void heapChurn(benchmark::State& state) {
    rt::MemoryManager heap(kHeapSize, rt::HeapKind::Fixed);
    run(
        state, [&](std::size_t size) { return heap.Alloc(size); }, [&](void* p) { heap.Free(p); });
}

void mallocChurn(benchmark::State& state) {
    run(
        state, [](std::size_t size) { return std::malloc(size); }, [](void* p) { std::free(p); });
}

BENCHMARK(heapChurn);
BENCHMARK(mallocChurn);

} // namespace
