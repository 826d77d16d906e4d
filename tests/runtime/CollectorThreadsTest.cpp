#include "host/headless/HeadlessHost.h"
#include "host/stressSwitches.h"
#include "runtime/Monitor.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "runtime/Thread.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>

namespace {

using rt::java_lang_Thread;
using rt::Object;
using rt::ObjectManager;

constexpr std::uint32_t kCollectNow = 1;

using testing_support::GuestTask;

struct Cell final : Object {
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Hashtable;
    explicit Cell(std::int32_t value = 0)
        : Object(kClassId)
        , m_value(value) {}
    ~Cell() override {
        if (m_data)
            rt::freeBuffer(m_data);
    }
    Cell* m_next = nullptr;
    rt::String* m_name = nullptr;
    std::int32_t* m_data = nullptr;
    std::int32_t m_length = 0; // elements in `m_data`
    std::int32_t m_value;
    RT_REFERENCE_FIELDS(Cell, Object, m_next, m_name)
};

struct CollectorThreadsTest : ::testing::Test {
    testing_support::FreeThreads host;
    // A buffer heap that the stress test's live buffers fill about half
    // way, so that its garbage fragments it.
    rt::Runtime runtime{rt::RuntimeOptions{8 << 20, 1 << 20, &host.threads, &host.clock}};

    static GuestTask* startTask(std::function<void()> body) {
        return testing_support::startGuestTask(std::move(body));
    }
    static void await(const std::function<bool()>& done) { testing_support::awaitAsGuest(done); }
};

TEST_F(CollectorThreadsTest, LocalsOfABlockedThreadAreRootsAndAnEndedThreadsAreNot) {
    Object* lock = rt::make<Object>();
    rt::Handle<Object> keepLock(runtime.objectManager(), lock);
    std::atomic<int> stage{0};
    std::atomic<bool> intact{false};

    // A thread that holds a cell only through a pointer into its middle, and waits.
    startTask([&] {
        Cell* cell = rt::make<Cell>(4242);
        volatile std::uintptr_t interior = reinterpret_cast<std::uintptr_t>(&cell->m_value);
        cell = nullptr;
        rt::MonitorScope hold(lock);
        stage = 1;
        Object::wait(lock, 0);
        auto* back = reinterpret_cast<Cell*>(interior - offsetof(Cell, m_value));
        intact = Object::classIdAt(back) != rt::kFreedClassId && back->m_value == 4242;
    });
    // A thread that makes cells and ends: nothing can refer to them any more.
    // (A conservative scan may still meet a stale copy of one address somewhere,
    // so the test asks that nearly all go, which no stack-root bug would allow.)
    constexpr int kLost = 32;
    std::array<std::atomic<std::uintptr_t>, kLost> disguised{};
    startTask([&] {
        for (auto& slot : disguised)
            slot = reinterpret_cast<std::uintptr_t>(rt::make<Cell>(7)) ^ ~std::uintptr_t{0};
    });
    await([&] { return stage == 1 && disguised[kLost - 1] != 0; });
    await([&] { return java_lang_Thread::activeCount() == 2; });

    auto stats = runtime.objectManager().gc(kCollectNow);
    EXPECT_TRUE(stats.ran);
    // A block that a later cell took again was freed before it (a stress
    // build collects at every allocation).
    int freed = 0;
    for (std::size_t i = 0; i < kLost; ++i) {
        std::uintptr_t slot = disguised[i];
        bool takenAgain = std::any_of(disguised.begin() + static_cast<std::ptrdiff_t>(i) + 1, disguised.end(),
                                      [&](const auto& later) { return later == slot; });
        freed += takenAgain ||
                 Object::classIdAt(reinterpret_cast<Cell*>(slot ^ ~std::uintptr_t{0})) == rt::kFreedClassId;
    }
    EXPECT_GE(freed, kLost - 2);
    {
        rt::MonitorScope hold(lock);
        Object::notifyAll(lock);
    }
    await([&] { return java_lang_Thread::activeCount() == 1; });
    EXPECT_TRUE(intact);
}

TEST_F(CollectorThreadsTest, ACollectionStartsAtOnceWhileOthersSleepOrWait) {
    Object* lock = rt::make<Object>();
    rt::Handle<Object> keepLock(runtime.objectManager(), lock);
    std::atomic<int> parked{0};
    std::atomic<bool> stop{false};
    startTask([&] {
        ++parked;
        while (!stop)
            java_lang_Thread::sleep(1000);
    });
    startTask([&] {
        rt::MonitorScope hold(lock);
        ++parked;
        while (!stop)
            Object::wait(lock, 0);
    });
    await([&] { return parked == 2; });
    java_lang_Thread::sleep(20);
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(runtime.objectManager().gc(kCollectNow).ran);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(200));
    stop = true;
    {
        rt::MonitorScope hold(lock);
        Object::notifyAll(lock);
    }
    await([&] { return java_lang_Thread::activeCount() == 1; });
}

// The pattern a cell's buffer holds: a function of the cell's value and the
// element's index, so that a block copied to the wrong place or overwritten
// shows.
std::int32_t patternAt(std::int32_t value, std::int32_t index) {
    return value * 31 + index;
}

// Whether `cell` is alive and its buffer holds `length` elements of its pattern.
bool holdsPattern(const Cell* cell, const std::int32_t* data) {
    if (Object::classIdAt(cell) == rt::kFreedClassId || !data)
        return false;
    for (std::int32_t i = 0; i < cell->m_length; ++i) {
        if (data[i] != patternAt(cell->m_value, i))
            return false;
    }
    return true;
}

Cell* makeCellWithBuffer(std::int32_t value, std::int32_t length) {
    Cell* cell = rt::make<Cell>(value);
    cell->m_length = length;
    std::int32_t* data = rt::allocBuffer<std::int32_t>(static_cast<std::size_t>(length), &cell->m_data);
    for (std::int32_t i = 0; i < length; ++i)
        data[i] = patternAt(value, i);
    return cell;
}

// Three kinds of threads share a buffer heap that their garbage fragments:
//   - owners build and drop lists of cells whose buffers only the cells
//     reach, so compaction may move them; they never keep a buffer's address
//     across an allocation;
//   - pinners hold raw pointers into buffers on their stacks across sleeps
//     and allocations, so those blocks must stay where they are;
//   - a collector collects and compacts, asking each time for a free block
//     larger than the largest one a sweep is likely to leave.
// Blocks must really move, and every buffer must keep its bytes.
TEST_F(CollectorThreadsTest, StressCompactionMovesOwnedBuffersAndNeverPinnedOnes) {
    constexpr int kOwners = 3;
    constexpr int kPinners = 2;
    constexpr int kHeld = 8;
    constexpr auto kDuration = std::chrono::milliseconds(1500);
    // Garbage can fill the heap between collections; allocations then fall
    // back to the process heap and say so in the log.
    testing_support::LogCapture quiet;
    std::atomic<bool> stop{false};
    std::atomic<int> finished{0};
    std::atomic<int> failures{0};
    std::atomic<int> pinnedMoves{0};
    std::atomic<int> pinnedChecks{0};
    std::atomic<int> collections{0};
    std::atomic<std::size_t> moved{0};
    std::atomic<std::size_t> pinned{0};
    auto deadline = std::chrono::steady_clock::now() + kDuration;

    for (int o = 0; o < kOwners; ++o) {
        startTask([&, o] {
            Cell* head = nullptr;
            int length = 0;
            std::int32_t next = o * 1000000;
            auto listIsIntact = [&] {
                std::int32_t expected = head ? head->m_value : 0;
                for (Cell* at = head; at; at = at->m_next, --expected) {
                    if (at->m_value != expected || !holdsPattern(at, at->m_data) ||
                        at->m_name->toUtf8() != "cell number " + std::to_string(at->m_value))
                        return false;
                }
                return true;
            };
            while (!stop) {
                Cell* cell = makeCellWithBuffer(next, 16 + next % 200);
                ++next;
                // A string of its own, long enough to keep its characters in a buffer.
                cell->m_name =
                    rt::String::newFromCString(("cell number " + std::to_string(cell->m_value)).c_str());
                cell->m_next = head;
                head = cell;
                if (++length > 300) { // drop the older half
                    Cell* at = head;
                    for (int i = 0; i < 150; ++i)
                        at = at->m_next;
                    at->m_next = nullptr;
                    length = 151;
                }
                if (cell->m_value % 97 == 0 && !listIsIntact())
                    ++failures;
            }
            if (!listIsIntact())
                ++failures;
            ++finished;
        });
    }
    for (int p = 0; p < kPinners; ++p) {
        startTask([&, p] {
            std::int32_t next = (10 + p) * 1000000;
            while (!stop) {
                // Both arrays live on this thread's stack: the scan sees the
                // raw pointers, which pin their blocks (and keep their cells).
                std::array<Cell*, kHeld> cells{};
                std::array<std::int32_t*, kHeld> raw{};
                for (int i = 0; i < kHeld; ++i) {
                    cells[i] = makeCellWithBuffer(next, 64 + next % 500);
                    raw[i] = cells[i]->m_data;
                    ++next;
                }
                for (int round = 0; round < 4; ++round) {
                    java_lang_Thread::sleep(1);
                    makeCellWithBuffer(next++, 200); // garbage, and a safepoint
                    for (int i = 0; i < kHeld; ++i) {
                        pinnedMoves += cells[i]->m_data != raw[i];
                        failures += !holdsPattern(cells[i], raw[i]);
                    }
                    ++pinnedChecks;
                }
            }
            ++finished;
        });
    }
    startTask([&] {
        const std::size_t heapSize = runtime.bufferHeap().stats().heapSize;
        for (int turn = 0; !stop; ++turn) {
            // A half to seven eighths of what a sweep leaves free: more than
            // it leaves in one piece, yet possible to gather.
            runtime.objectManager().gc(kCollectNow);
            std::size_t free = heapSize - runtime.bufferHeap().stats().heapUsed;
            std::size_t need = rt::MemoryManager::blockSizeFor(free / 8 * (4 + turn % 4));
            rt::CollectionStats stats = runtime.objectManager().gcAndCompact(runtime.bufferHeap(), need);
            moved += stats.movedBuffers;
            pinned += stats.pinnedBuffers;
            ++collections;
            java_lang_Thread::sleep(1);
        }
        ++finished;
    });
    // A slow build (a sanitizer on a busy machine) may need longer before a
    // sweep leaves the heap in pieces; run on until compaction has moved
    // something, within a bound.
    auto lastChance = deadline + std::chrono::seconds(30);
    for (auto now = std::chrono::steady_clock::now();
         now < deadline || (moved == 0 && !host::collectionStressRequested() && now < lastChance);
         now = std::chrono::steady_clock::now())
        java_lang_Thread::sleep(10);
    stop = true;
    await([&] { return finished == kOwners + kPinners + 1; });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(pinnedMoves, 0) << "a block a stack word points into never moves";
    EXPECT_GT(pinnedChecks, 10);
    EXPECT_GT(collections, 3);
    // With a collection before every allocation (the stress run) garbage
    // never builds up, so the heap has nothing to close up.
    if (!host::collectionStressRequested()) {
        EXPECT_GT(moved, 0u) << "compaction must really move blocks for this test to mean anything";
    }
    EXPECT_GT(pinned, 0u);
    EXPECT_EQ(runtime.objectManager().verifyHeap(), "");
    EXPECT_EQ(runtime.bufferHeap().verify(), "");
}

// Under the headless host only one thread runs at a time and time is
// virtual: stopping the world, monitors and sleeps must still make progress,
// and seconds of guest time pass in a moment.
TEST(CollectorHeadless, CollectionsRunUnderTheVirtualClock) {
    auto host = host::makeHeadlessHost({});
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 1 << 20, &host->threads(), &host->clock()}};
    Object* lock = rt::make<Object>();
    rt::Handle<Object> keepLock(runtime.objectManager(), lock);
    std::atomic<bool> stop{false};
    std::atomic<int> made{0};
    testing_support::startGuestTask([&] {
        while (!stop)
            java_lang_Thread::sleep(1000);
    });
    testing_support::startGuestTask([&] {
        rt::MonitorScope hold(lock);
        while (!stop)
            Object::wait(lock, 250);
    });
    testing_support::startGuestTask([&] {
        Cell* keep = nullptr;
        while (!stop) {
            Cell* cell = rt::make<Cell>(++made);
            cell->m_next = made % 10 ? keep : nullptr;
            keep = cell;
            java_lang_Thread::sleep(1);
        }
    });
    auto wallStart = std::chrono::steady_clock::now();
    std::uint32_t start = host->clock().tickCount();
    int collections = 0;
    while (host->clock().tickCount() - start < 5000) {
        collections += runtime.objectManager().gc(kCollectNow).ran;
        java_lang_Thread::sleep(100);
    }
    stop = true;
    {
        rt::MonitorScope hold(lock);
        Object::notifyAll(lock);
    }
    testing_support::awaitAsGuest([] { return java_lang_Thread::activeCount() == 1; });
    EXPECT_GE(collections, 40);
    EXPECT_GT(made, 1000);
    EXPECT_LT(std::chrono::steady_clock::now() - wallStart, std::chrono::seconds(5));
    EXPECT_EQ(runtime.objectManager().verifyHeap(), "");
}

// A thread that computes between allocations is not at a safepoint while it
// yields to the host. The collector waits for it without sleeping: it is
// woken the moment the thread allocates, so under the virtual clock the
// collections take no time at all.
TEST(CollectorHeadless, TheCollectorWakesWhenTheLastThreadStops) {
    auto host = host::makeHeadlessHost({});
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 1 << 20, &host->threads(), &host->clock()}};
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    testing_support::startGuestTask([&] {
        while (!stop) {
            for (int i = 0; i < 300; ++i)
                host->clock().sleep(0); // host calls that are no safepoint
            (void)rt::make<Cell>(++rounds);
        }
    });
    testing_support::awaitAsGuest([&] { return rounds > 0; });
    std::uint32_t start = host->clock().tickCount();
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(runtime.objectManager().gc(kCollectNow).ran);
    EXPECT_LE(host->clock().tickCount() - start, 1u);
    stop = true;
    testing_support::awaitAsGuest([] { return java_lang_Thread::activeCount() == 1; });
    EXPECT_EQ(runtime.objectManager().verifyHeap(), "");
}

} // namespace
