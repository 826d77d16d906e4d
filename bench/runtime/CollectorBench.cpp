// Collection pauses and the costs a frame pays even when nothing is collected.

#include "runtime/Monitor.h"
#include "runtime/Runtime.h"
#include "runtime/Thread.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"

#include <benchmark/benchmark.h>

#include <atomic>

namespace {

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
    std::atomic<bool> stop{false};
    for (int t = 0; t < 4; ++t)
        testing_support::startGuestTask([&] {
            Cell* mine = rt::make<Cell>();
            while (!stop)
                rt::java_lang_Thread::sleep(5);
            benchmark::DoNotOptimize(mine);
        });
    rt::java_lang_Thread::sleep(20);
    for (auto _ : state) {
        auto stats = runtime.objectManager().gc(1);
        benchmark::DoNotOptimize(stats);
    }
    stop = true;
    testing_support::awaitAsGuest([] { return rt::java_lang_Thread::activeCount() == 1; });
}
BENCHMARK(collectionPause)->Unit(benchmark::kMicrosecond);

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
