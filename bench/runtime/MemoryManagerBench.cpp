// Allocate/free churn on a fragmented heap, against malloc/free on the same sequence.

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

// Churn over sizes drawn evenly from 16 to 4096 bytes, with the live bytes
// held at a share (the argument, in percent) of an 8 MB heap: each step frees
// a random live block and allocates a new one in its place. The heap is
// churned for a while before timing, so its free blocks are as fragmented as
// they will get; malloc runs the same steps.
struct MixedChurn {
    std::vector<std::uint32_t> slots;
    std::vector<std::uint32_t> sizes;
    std::size_t live = 0;
    explicit MixedChurn(std::size_t livePercent) {
        live = kHeapSize * livePercent / 100 / ((16 + 4096) / 2);
        std::mt19937 random(7);
        for (int i = 0; i < 1 << 18; ++i) {
            slots.push_back(static_cast<std::uint32_t>(random() % live));
            sizes.push_back(16 + random() % (4096 - 16 + 1));
        }
    }
};

template <class Allocate, class Release>
void runMixed(benchmark::State& state, Allocate allocate, Release release) {
    MixedChurn c(static_cast<std::size_t>(state.range(0)));
    std::vector<void*> live(c.live, nullptr);
    std::size_t step = 0;
    auto churnOnce = [&] {
        std::size_t slot = c.slots[step];
        release(live[slot]);
        live[slot] = allocate(c.sizes[step]);
        benchmark::DoNotOptimize(live[slot]);
        step = (step + 1) & (c.slots.size() - 1);
    };
    for (std::size_t i = 0; i < c.live; ++i)
        live[i] = allocate(c.sizes[c.sizes.size() - 1 - i]);
    for (std::size_t i = 0; i < c.slots.size(); ++i)
        churnOnce();
    for (auto _ : state)
        churnOnce();
    std::size_t failed = 0;
    for (void* p : live) {
        failed += p == nullptr;
        release(p);
    }
    if (failed)
        state.SkipWithError("the heap ran out: the figures would flatter it");
    state.SetItemsProcessed(state.iterations());
}

void heapChurnMixed(benchmark::State& state) {
    rt::MemoryManager heap(kHeapSize, rt::HeapKind::Fixed);
    runMixed(
        state, [&](std::size_t size) { return heap.Alloc(size); },
        [&](void* p) {
            if (p)
                heap.Free(p);
        });
}

void mallocChurnMixed(benchmark::State& state) {
    runMixed(
        state, [](std::size_t size) { return std::malloc(size); }, [](void* p) { std::free(p); });
}

BENCHMARK(heapChurnMixed)->Arg(10)->Arg(30)->Arg(60);
BENCHMARK(mallocChurnMixed)->Arg(10)->Arg(30)->Arg(60);

} // namespace
