#include "host/headless/HeadlessHost.h"
#include "runtime/Monitor.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "runtime/Thread.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"

#include <gtest/gtest.h>

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
    std::int32_t m_value;
    RT_REFERENCE_FIELDS(Cell, Object, m_next, m_name)
};

struct CollectorThreadsTest : ::testing::Test {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{8 << 20, 256 << 10, &host.threads, &host.clock}};

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
    int freed = 0;
    for (auto& slot : disguised)
        freed += Object::classIdAt(reinterpret_cast<Cell*>(slot ^ ~std::uintptr_t{0})) == rt::kFreedClassId;
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

// Four threads build and drop lists of cells with buffers while a fifth
// collects, and the buffer heap is small enough to need compaction.
TEST_F(CollectorThreadsTest, StressMutatorsAgainstACollector) {
    constexpr int kMutators = 4;
    constexpr auto kDuration = std::chrono::milliseconds(1500);
    std::atomic<bool> stop{false};
    std::atomic<int> finished{0};
    std::atomic<int> failures{0};
    std::atomic<int> collections{0};
    auto deadline = std::chrono::steady_clock::now() + kDuration;

    for (int m = 0; m < kMutators; ++m) {
        startTask([&, m] {
            Cell* head = nullptr;
            int length = 0;
            std::int32_t next = m * 1000000;
            while (!stop) {
                Cell* cell = rt::make<Cell>(next++);
                std::int32_t* data = rt::allocBuffer<std::int32_t>(16 + cell->m_value % 64, &cell->m_data);
                for (int i = 0; i < 16; ++i)
                    data[i] = cell->m_value + i;
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
                // Check the whole list now and then: nothing freed, nothing corrupted.
                if (cell->m_value % 97 == 0) {
                    std::int32_t expected = cell->m_value;
                    for (Cell* at = head; at; at = at->m_next, --expected) {
                        bool ok = Object::classIdAt(at) != rt::kFreedClassId && at->m_value == expected;
                        for (int i = 0; ok && i < 16; ++i)
                            ok = at->m_data[i] == at->m_value + i;
                        ok = ok && at->m_name->toUtf8() == "cell number " + std::to_string(at->m_value);
                        if (!ok) {
                            ++failures;
                            break;
                        }
                    }
                }
            }
            ++finished;
        });
    }
    startTask([&] {
        while (!stop) {
            runtime.objectManager().gc(kCollectNow);
            ++collections;
            java_lang_Thread::sleep(2);
        }
        ++finished;
    });
    while (std::chrono::steady_clock::now() < deadline)
        java_lang_Thread::sleep(10);
    stop = true;
    await([&] { return finished == kMutators + 1; });
    EXPECT_EQ(failures, 0);
    EXPECT_GT(collections, 3);
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

} // namespace
