// Collection pauses and the costs a frame pays even when nothing is collected.

#include "runtime/Monitor.h"
#include "runtime/Runtime.h"
#include "runtime/Thread.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kFrameBytes = std::size_t{480} * 640 * 2;

struct Cell final : rt::Object {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Vector;
    Cell()
        : Object(kClassId) {}
    Cell* m_next = nullptr;
    Cell* m_other = nullptr;
    std::int32_t m_value = 0;
    RT_REFERENCE_FIELDS(Cell, Object, m_next, m_other)
};

struct Roots {
    Cell* m_list = nullptr;
    RT_REFERENCE_FIELDS(Roots, rt::NoReferenceBase, m_list)
};

// Four other runtime threads that sleep with an object of their own on their
// stacks, from construction until destruction.
class SleepingThreads {
public:
    SleepingThreads() {
        for (int t = 0; t < 4; ++t)
            testing_support::startGuestTask([this] {
                Cell* mine = rt::make<Cell>();
                while (!m_stop)
                    rt::java_lang_Thread::sleep(5);
                benchmark::DoNotOptimize(mine);
            });
        rt::java_lang_Thread::sleep(20);
    }
    ~SleepingThreads() {
        m_stop = true;
        testing_support::awaitAsGuest([] { return rt::java_lang_Thread::activeCount() == 1; });
    }
    SleepingThreads(const SleepingThreads&) = delete;
    SleepingThreads& operator=(const SleepingThreads&) = delete;

private:
    std::atomic<bool> m_stop{false};
};

// About 20,000 live objects reachable from a static, while four other threads
// sleep with their own objects on their stacks.
void collectionPause(benchmark::State& state) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{16 << 20, 4 << 20, &host.threads, &host.clock}};
    Cell* previous = nullptr;
    for (int i = 0; i < 20000; ++i) {
        Cell* cell = rt::make<Cell>();
        cell->m_next = previous;
        cell->m_other = i % 7 == 0 ? previous : nullptr;
        previous = cell;
    }
    rt::getStaticClass().statics<Roots>().m_list = previous;
    SleepingThreads others;
    for (auto _ : state) {
        auto stats = runtime.objectManager().gc(1);
        benchmark::DoNotOptimize(stats);
    }
}
BENCHMARK(collectionPause)->Unit(benchmark::kMicrosecond);

// The pause of a collection that frees much: `state.range(0)` live cells
// reachable from a static through a list in shuffled address order, so that
// marking jumps about the heap, and before every collection as many garbage
// cells again as a quarter of the live ones, made in the holes the last
// collection left between live cells. Beside the pause it reports the pause's
// ratio to a memcpy of a 480 x 640 x 2 frame (`ratio_to_memcpy`).
void collectionPauseWithGarbage(benchmark::State& state) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{16 << 20, 4 << 20, &host.threads, &host.clock}};
    const auto liveCount = static_cast<std::size_t>(state.range(0));
    const std::size_t garbageCount = liveCount / 4;
    std::vector<Cell*> cells;
    cells.reserve(liveCount);
    std::mt19937 random(11);
    {
        // Live cells with garbage between them, so that the heap is shuffled from the start.
        for (std::size_t i = 0; i < liveCount; ++i) {
            cells.push_back(rt::make<Cell>());
            if (random() % 4 == 0)
                rt::make<Cell>();
        }
        std::shuffle(cells.begin(), cells.end(), random);
        for (std::size_t i = 0; i + 1 < cells.size(); ++i) {
            cells[i]->m_next = cells[i + 1];
            cells[i]->m_other = cells[random() % cells.size()];
        }
        rt::getStaticClass().statics<Roots>().m_list = cells.front();
        std::vector<Cell*>().swap(cells);
    }
    SleepingThreads others;
    (void)runtime.objectManager().gc(1);
    std::size_t freed = 0;
    // The baseline: a memcpy of a 480 x 640 x 2 frame, timed between the
    // collections in the same run, so that a busy machine moves both sides of
    // the ratio alike.
    std::vector<std::uint8_t> from(kFrameBytes, 1), to(kFrameBytes);
    using Clock = std::chrono::steady_clock;
    Clock::duration collecting{}, copying{};
    for (auto _ : state) {
        state.PauseTiming();
        // The first copy brings both frames back into the cache the last
        // collection took; the garbage comes after, as the collection finds it.
        std::memcpy(to.data(), from.data(), kFrameBytes);
        benchmark::ClobberMemory();
        Clock::time_point copyStart = Clock::now();
        std::memcpy(to.data(), from.data(), kFrameBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        copying += Clock::now() - copyStart;
        for (std::size_t i = 0; i < garbageCount; ++i)
            benchmark::DoNotOptimize(rt::make<Cell>());
        state.ResumeTiming();
        Clock::time_point start = Clock::now();
        auto stats = runtime.objectManager().gc(1);
        collecting += Clock::now() - start;
        freed += stats.freed;
    }
    state.counters["freed"] =
        benchmark::Counter(static_cast<double>(freed), benchmark::Counter::kAvgIterations);
    state.counters["memcpy_us"] =
        std::chrono::duration<double, std::micro>(copying).count() / static_cast<double>(state.iterations());
    state.counters["ratio_to_memcpy"] =
        std::chrono::duration<double>(collecting).count() / std::chrono::duration<double>(copying).count();
}
BENCHMARK(collectionPauseWithGarbage)->Arg(20000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// How long the world takes to stop while one thread computes between its
// allocations (about 50 µs of work each): the pause of a small heap's
// collection, and the share of pauses over a millisecond.
void collectionPauseWhileOneComputes(benchmark::State& state) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 1 << 20, &host.threads, &host.clock}};
    std::atomic<bool> stop{false};
    testing_support::startGuestTask([&] {
        std::uint64_t x = 1;
        while (!stop) {
            auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(50);
            while (std::chrono::steady_clock::now() < until)
                x = x * 6364136223846793005u + 1;
            benchmark::DoNotOptimize(rt::make<Cell>());
        }
        benchmark::DoNotOptimize(x);
    });
    rt::java_lang_Thread::sleep(20);
    std::size_t slow = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        (void)runtime.objectManager().gc(1);
        slow += std::chrono::steady_clock::now() - start > std::chrono::milliseconds(1);
    }
    state.counters["overOneMs"] =
        benchmark::Counter(static_cast<double>(slow), benchmark::Counter::kAvgIterations);
    stop = true;
    testing_support::awaitAsGuest([] { return rt::java_lang_Thread::activeCount() == 1; });
}
BENCHMARK(collectionPauseWhileOneComputes)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// What every frame pays for its collection request inside the interval.
void skippedRequest(benchmark::State& state) {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 20}};
    runtime.objectManager().setTickSource([] { return std::uint32_t{5000}; });
    for (auto _ : state)
        benchmark::DoNotOptimize(runtime.objectManager().gc(rt::ObjectManager::kOrdinary));
}
BENCHMARK(skippedRequest);

void uncontendedMonitor(benchmark::State& state) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 1 << 20, &host.threads, &host.clock}};
    rt::Object* lock = rt::make<rt::Object>();
    for (auto _ : state) {
        rt::monitorEnter(lock);
        rt::monitorExit(lock);
    }
}
BENCHMARK(uncontendedMonitor);

} // namespace
