#include "runtime/Thread.h"
#include "host/stressSwitches.h"
#include "runtime/Monitor.h"
#include "runtime/Runtime.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using rt::java_lang_Thread;
using rt::Object;

using testing_support::GuestTask;

struct Lock final : Object {
    static constexpr rt::ClassId kClassId = rt::ClassId::Object;
    RT_NO_REFERENCE_FIELDS(Lock, Object)
};

struct ThreadTest : ::testing::Test {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20, &host.threads, &host.clock}};

    static GuestTask* startTask(std::function<void()> body) {
        return testing_support::startGuestTask(std::move(body));
    }
    static void await(const std::function<bool()>& done) { testing_support::awaitAsGuest(done); }
};

TEST_F(ThreadTest, StartRunsOnceAndTheSlotEndsWithRun) {
    std::atomic<int> runs{0};
    std::atomic<bool> release{false};
    GuestTask* task = startTask([&] {
        ++runs;
        while (!release)
            java_lang_Thread::sleep(1);
    });
    int slot = task->start();
    EXPECT_GE(slot, 1);
    EXPECT_EQ(task->start(), slot) << "a started thread answers its slot";
    EXPECT_TRUE(task->isAlive());
    EXPECT_FALSE(task->isCollectable());
    EXPECT_EQ(java_lang_Thread::activeCount(), 2);
    release = true;
    await([&] { return !task->isAlive(); });
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(task->isCollectable());
    EXPECT_EQ(java_lang_Thread::activeCount(), 1);
    EXPECT_EQ(java_lang_Thread::currentThread(), runtime.threadTable()->mainThread());
}

// Two threads start one thread at the same moment, many times over: the
// thread runs once each time, and both starts answer the one slot it got.
TEST_F(ThreadTest, RacingStartsRunTheThreadOnce) {
    constexpr int kRounds = 200;
    std::atomic<int> runs{0};
    for (int round = 0; round < kRounds; ++round) {
        std::atomic<int> ready{0};
        std::atomic<int> slots[2] = {-2, -2};
        // The target lives until both starts have answered, so that neither
        // start can come after its end (which would start it anew).
        auto* target = rt::make<GuestTask>([&] {
            while (slots[0] == -2 || slots[1] == -2)
                java_lang_Thread::sleep(1);
            ++runs;
        });
        for (int starter = 0; starter < 2; ++starter)
            startTask([&, starter] {
                ++ready;
                // Yielding is a safepoint: a collection that another thread
                // starts meanwhile must not wait for this loop for ever.
                while (ready < 2)
                    java_lang_Thread::yield();
                slots[starter] = target->start();
            });
        await([&] { return slots[0] != -2 && slots[1] != -2 && java_lang_Thread::activeCount() == 1; });
        ASSERT_EQ(runs, round + 1) << "round " << round;
        ASSERT_GE(slots[0], 1);
        ASSERT_EQ(slots[0], slots[1]) << "the second start answers the first start's slot";
    }
}

TEST_F(ThreadTest, AFullTableRefusesAndStartsNothing) {
    testing_support::LogCapture log;
    std::atomic<bool> release{false};
    std::atomic<int> started{0};
    std::vector<GuestTask*> tasks;
    for (int i = 1; i < rt::ThreadTable::kSlotCount; ++i)
        tasks.push_back(startTask([&] {
            ++started;
            while (!release)
                java_lang_Thread::sleep(1);
        }));
    GuestTask* extra = rt::make<GuestTask>([&] { ++started; });
    EXPECT_EQ(extra->start(), -1);
    EXPECT_TRUE(log.contains("thread table is full"));
    EXPECT_FALSE(extra->isAlive());
    release = true;
    await([&] { return java_lang_Thread::activeCount() == 1; });
    EXPECT_EQ(started, rt::ThreadTable::kSlotCount - 1);
}

TEST_F(ThreadTest, PrioritiesMapToTheHostScale) {
    std::atomic<bool> release{false};
    GuestTask* task = startTask([&] {
        while (!release)
            java_lang_Thread::sleep(1);
    });
    struct Case {
        int priority, host;
    };
    // 10 maps to -1, which the host refuses: the thread keeps the priority it had.
    for (Case c : {Case{5, 4}, Case{1, 7}, Case{9, 0}, Case{10, 0}}) {
        task->setPriority(c.priority);
        EXPECT_EQ(task->getPriority(), c.priority);
        EXPECT_EQ(runtime.threadTable()->slotHandle(runtime.threadTable()->findThreadSlot(task))->priority(),
                  c.host);
    }
    EXPECT_EQ(task->setPriority0(10), 0);
    EXPECT_EQ(task->setPriority0(3), 1);
    testing_support::LogCapture log;
    task->setPriority(11);
    EXPECT_EQ(task->getPriority(), 10);
    release = true;
    await([&] { return !task->isAlive(); });
    EXPECT_EQ(task->setPriority0(5), -1) << "no slot, no host thread";
}

TEST_F(ThreadTest, NotifyWakesAsManyAsItSaysAndWaitReleasesEveryLevel) {
    Lock* lock = rt::make<Lock>();
    std::atomic<int> waiting{0}, woken{0};
    for (int i = 0; i < 3; ++i)
        startTask([&] {
            rt::MonitorScope outer(lock);
            rt::MonitorScope inner(lock); // a re-entrant hold: wait must give up both levels
            ++waiting;
            Object::wait(lock, 0);
            ++woken;
        });
    await([&] { return waiting == 3; });
    for (int i = 1; i <= 3; ++i) {
        {
            rt::MonitorScope hold(lock); // gets in although every waiter holds the monitor twice
            Object::notify(lock, 1);
        }
        await([&] { return woken == i; });
        java_lang_Thread::sleep(5);
        EXPECT_EQ(woken, i) << "notify(1) wakes one";
    }
    await([&] { return java_lang_Thread::activeCount() == 1; });
}

TEST_F(ThreadTest, TimedWaitEndsAtItsTimeoutAndNotifyWithoutWaitersIsHarmless) {
    Lock* lock = rt::make<Lock>();
    rt::MonitorScope hold(lock);
    Object::notify(lock, 1);
    Object::notifyAll(lock);
    auto before = host.clock.tickCount();
    Object::wait(lock, 30);
    auto waited = host.clock.tickCount() - before;
    EXPECT_GE(waited, 30u);
    EXPECT_LT(waited, 2000u);
    // The monitor is held again, at the same depth.
    rt::monitorExit(lock);
    testing_support::LogCapture log;
    rt::monitorExit(lock);
    EXPECT_TRUE(log.contains("not held")) << "the one level held before the wait is back, and no more";
    rt::monitorEnter(lock); // for the scope's exit
}

TEST_F(ThreadTest, MonitorsGoBackToThePoolWithTheirObjects) {
    // A stress run collects at every allocation, on this thread and the
    // task's, so when the lock goes and which words the conservative scan
    // still finds are not this test's to control.
    if (host::collectionStressRequested())
        GTEST_SKIP() << "counts monitors at moments a stress run does not keep";
    // Made and locked on a thread that then ends, so no stack word can keep it.
    startTask([] {
        Lock* lock = rt::make<Lock>();
        rt::MonitorScope hold(lock);
    });
    await([] { return java_lang_Thread::activeCount() == 1; });
    EXPECT_EQ(rt::monitorsInUse(), 1u);
    runtime.objectManager().gc(rt::ObjectManager::kAllocationFailure & ~rt::ObjectManager::kMarkNewest);
    EXPECT_EQ(rt::monitorsInUse(), 0u);
}

TEST_F(ThreadTest, MonitorsExcludeEachOther) {
    Lock* lock = rt::make<Lock>();
    std::int64_t counter = 0;
    std::atomic<int> finished{0};
    for (int t = 0; t < 4; ++t)
        startTask([&] {
            for (int i = 0; i < 2000; ++i) {
                rt::MonitorScope hold(lock);
                std::int64_t seen = counter;
                if (i % 100 == 0)
                    java_lang_Thread::yield(); // give others a chance to break in
                counter = seen + 1;
            }
            ++finished;
        });
    await([&] { return finished == 4; });
    EXPECT_EQ(counter, 8000);
}

} // namespace

// Holding is for good: a held thread never comes back, so the runtime it is
// held in can never be taken down. The case runs in a child process that ends
// with the held thread still parked; its exit code says what went wrong.
TEST(ThreadHold, HeldThreadsStopForGoodWhileTheHolderAllocatesAndCollects) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto holdAndCheck = [] {
        testing_support::FreeThreads host;
        auto* runtime = new rt::Runtime(rt::RuntimeOptions{4 << 20, 4 << 20, &host.threads, &host.clock});
        std::atomic<int> turns{0};
        std::atomic<bool> lateRan{false};
        auto* busy = rt::make<GuestTask>([&] {
            for (;;) {
                rt::make<Lock>();
                ++turns;
                java_lang_Thread::sleep(1);
            }
        });
        busy->start();
        while (turns < 3)
            java_lang_Thread::sleep(1);
        rt::ThreadTable& table = *runtime->threadTable();
        table.holdOtherThreads();
        int seen = turns;
        for (int i = 0; i < 20; ++i)
            rt::make<Lock>();
        runtime->objectManager().gc(1);
        auto* late = rt::make<GuestTask>([&] { lateRan = true; });
        late->start();
        java_lang_Thread::sleep(50);
        int code = turns != seen ? 1 : lateRan ? 2 : table.attachedOthers() != 2 ? 3 : 0;
        std::_Exit(code);
    };
    EXPECT_EXIT(holdAndCheck(), testing::ExitedWithCode(0), "");
}
