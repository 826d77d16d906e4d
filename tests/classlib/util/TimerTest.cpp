#include "classlib/util/Timer.h"
#include "host/headless/HeadlessHost.h"
#include "runtime/Thread.h"
#include "tests/classlib/util/CalendarFixture.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/GuestTask.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

using lib::java_util_Date;
using lib::java_util_TaskQueue;
using lib::java_util_Timer;
using lib::java_util_TimerTask;
using lib::java_util_TimerThread;
using rt::java_lang_Thread;
using testing_support::takePendingException;

constexpr std::uint32_t kCollectNow = 1;

// A task that notes, on the host side, when each run started and when it
// was planned to; `body` runs after that with the run's number (from 0).
struct RecordingTask final : java_util_TimerTask {
    struct Run {
        std::int64_t at;
        std::int64_t planned;
    };
    RecordingTask(std::vector<Run>* runs, std::function<void(RecordingTask*, int)> body)
        : m_runs(runs)
        , m_body(std::move(body)) {}
    void run() override {
        int number = static_cast<int>(m_runs->size());
        m_runs->push_back({lib::currentTickMillis(), scheduledExecutionTime()});
        if (m_body)
            m_body(this, number);
    }
    std::vector<Run>* m_runs;
    std::function<void(RecordingTask*, int)> m_body;
    RT_NO_REFERENCE_FIELDS(RecordingTask, java_util_TimerTask)
};

// Timers on the headless host: its virtual clock lets seconds of timer time
// pass in a moment, and runs the threads in a fixed order.
struct TimerTest : ::testing::Test {
    std::unique_ptr<host::HeadlessHost> host = host::makeHeadlessHost({});
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20, &host->threads(), &host->clock()}};
    std::int64_t start;

    TimerTest() {
        testing_support::installCalendarSupport(runtime);
        start = now();
    }

    std::int64_t now() { return host->clock().tickCount(); }
    // Sleeps the test's thread until `elapsed` ms after the test began.
    void sleepUntil(std::int64_t elapsed) { java_lang_Thread::sleep(start + elapsed - now()); }

    static RecordingTask* task(std::vector<RecordingTask::Run>* runs,
                               std::function<void(RecordingTask*, int)> body = {}) {
        return rt::make<RecordingTask>(runs, std::move(body));
    }
    // The start times of the runs, counted from the test's start.
    std::vector<std::int64_t> startTimes(const std::vector<RecordingTask::Run>& runs) const {
        std::vector<std::int64_t> times;
        for (const auto& run : runs)
            times.push_back(run.at - start);
        return times;
    }
    std::vector<std::int64_t> plannedTimes(const std::vector<RecordingTask::Run>& runs) const {
        std::vector<std::int64_t> times;
        for (const auto& run : runs)
            times.push_back(run.planned - start);
        return times;
    }
    // Cancels the timers and waits until their threads have ended.
    static void finish(std::initializer_list<java_util_Timer*> timers) {
        for (java_util_Timer* timer : timers)
            timer->cancel();
        testing_support::awaitAsGuest([] { return java_lang_Thread::activeCount() == 1; });
    }
};

TEST_F(TimerTest, BadArgumentsAndTasksThatAreNotNewAreRefused) {
    java_util_Timer* timer = rt::make<java_util_Timer>();
    std::vector<RecordingTask::Run> runs;
    RecordingTask* fresh = task(&runs);
    const std::string illegalArgument = "java_lang_IllegalArgumentException: ";
    const std::string illegalState = "java_lang_IllegalStateException: ";
    struct Case {
        std::function<void()> call;
        std::string error;
    };
    const Case refused[] = {
        {[&] { timer->schedule(fresh, -1); }, illegalArgument + "Negative delay."},
        {[&] { timer->schedule(fresh, -1, 10); }, illegalArgument + "Negative delay."},
        {[&] { timer->schedule(fresh, std::int64_t{0}, 0); }, illegalArgument + "Non-positive period."},
        {[&] { timer->scheduleAtFixedRate(fresh, 10, -5); }, illegalArgument + "Non-positive period."},
        {[&] { timer->scheduleAtFixedRate(fresh, -1, 5); }, illegalArgument + "Negative delay."},
        {[&] { timer->schedule(fresh, rt::make<java_util_Date>(-1)); },
         illegalArgument + "Illegal execution time."},
        {[&] { timer->schedule(fresh, rt::make<java_util_Date>(5), 0); },
         illegalArgument + "Non-positive period."},
        {[&] { timer->scheduleAtFixedRate(fresh, rt::make<java_util_Date>(-5), 10); },
         illegalArgument + "Illegal execution time."},
        {[&] { timer->schedule(nullptr, 10); }, "none"},
        {[&] { timer->schedule(fresh, static_cast<java_util_Date*>(nullptr)); }, "none"},
    };
    for (const Case& c : refused) {
        c.call();
        EXPECT_EQ(takePendingException(), c.error);
    }
    EXPECT_EQ(timer->queue()->size(), 0);

    // A task leaves state 0 for good.
    timer->schedule(fresh, 10);
    EXPECT_EQ(takePendingException(), "none");
    timer->scheduleAtFixedRate(fresh, 10, 10);
    EXPECT_EQ(takePendingException(), illegalState + "Task already scheduled or cancelled");
    RecordingTask* cancelled = task(&runs);
    EXPECT_FALSE(cancelled->cancel());
    timer->schedule(cancelled, 10);
    EXPECT_EQ(takePendingException(), illegalState + "Task already scheduled or cancelled");
    EXPECT_EQ(timer->queue()->size(), 1);

    // A cancelled timer takes nothing more.
    timer->cancel();
    EXPECT_EQ(timer->queue()->size(), 0);
    java_util_Date* date = rt::make<java_util_Date>(now() + 10);
    const std::function<void(RecordingTask*)> variants[] = {
        [&](RecordingTask* t) { timer->schedule(t, 10); },
        [&](RecordingTask* t) { timer->schedule(t, date); },
        [&](RecordingTask* t) { timer->schedule(t, 10, 10); },
        [&](RecordingTask* t) { timer->schedule(t, date, 10); },
        [&](RecordingTask* t) { timer->scheduleAtFixedRate(t, 10, 10); },
        [&](RecordingTask* t) { timer->scheduleAtFixedRate(t, date, 10); },
    };
    for (const auto& variant : variants) {
        variant(task(&runs));
        EXPECT_EQ(takePendingException(), illegalState + "Timer already cancelled.");
    }
    EXPECT_EQ(timer->queue()->size(), 0);
    finish({timer});
    EXPECT_TRUE(runs.empty());
}

TEST_F(TimerTest, FixedDelayCountsFromTheRunFixedRateFromThePlan) {
    // Both tasks are due every 100 ms from 100 ms on; their first run takes 250 ms.
    auto slowFirst = [](RecordingTask*, int number) {
        if (number == 0)
            java_lang_Thread::sleep(250);
    };
    std::vector<RecordingTask::Run> delayRuns, rateRuns;
    java_util_Timer* delayTimer = rt::make<java_util_Timer>();
    java_util_Timer* rateTimer = rt::make<java_util_Timer>();
    delayTimer->schedule(task(&delayRuns, slowFirst), 100, 100);
    rateTimer->scheduleAtFixedRate(task(&rateRuns, slowFirst), 100, 100);
    sleepUntil(680);
    finish({delayTimer, rateTimer});

    // Fixed delay: each next time is 100 ms after the run's turn came.
    EXPECT_EQ(startTimes(delayRuns), (std::vector<std::int64_t>{100, 350, 450, 550, 650}));
    EXPECT_EQ(plannedTimes(delayRuns), (std::vector<std::int64_t>{100, 350, 450, 550, 650}));
    // Fixed rate: the late runs catch up at once, then keep to the plan.
    EXPECT_EQ(startTimes(rateRuns), (std::vector<std::int64_t>{100, 350, 350, 400, 500, 600}));
    EXPECT_EQ(plannedTimes(rateRuns), (std::vector<std::int64_t>{100, 200, 300, 400, 500, 600}));
}

TEST_F(TimerTest, OneShotsAndDatesRunOnceAndCancelledTasksNever) {
    java_util_Timer* timer = rt::make<java_util_Timer>();
    std::vector<RecordingTask::Run> dropped, once, atDate, selfCancelling;
    RecordingTask* droppedTask = task(&dropped);
    RecordingTask* onceTask = task(&once);
    timer->schedule(droppedTask, 100);
    timer->schedule(onceTask, 200);
    timer->schedule(task(&atDate), rt::make<java_util_Date>(start + 250));
    timer->schedule(task(&selfCancelling,
                         [](RecordingTask* self, int number) {
                             if (number == 2) {
                                 EXPECT_TRUE(self->cancel());
                             }
                         }),
                    50, 50);
    EXPECT_TRUE(droppedTask->cancel());
    EXPECT_FALSE(droppedTask->cancel());
    sleepUntil(400);

    EXPECT_TRUE(dropped.empty());
    EXPECT_EQ(startTimes(once), (std::vector<std::int64_t>{200}));
    EXPECT_FALSE(onceTask->cancel()); // it has run: nothing left to cancel
    EXPECT_EQ(startTimes(atDate), (std::vector<std::int64_t>{250}));
    EXPECT_EQ(startTimes(selfCancelling), (std::vector<std::int64_t>{50, 100, 150}));
    EXPECT_TRUE(timer->queue()->isEmpty());
    finish({timer});
}

TEST_F(TimerTest, AnIdleThreadEndsAndTheNextScheduleStartsAnother) {
    java_util_Timer* timer = rt::make<java_util_Timer>();
    java_util_TimerThread* first = timer->thread();
    sleepUntil(29990);
    EXPECT_TRUE(first->isAlive());
    sleepUntil(30010);
    EXPECT_FALSE(first->isAlive());
    EXPECT_EQ(java_lang_Thread::activeCount(), 1);

    std::vector<RecordingTask::Run> runs;
    timer->schedule(task(&runs), 10);
    EXPECT_NE(timer->thread(), first);
    EXPECT_TRUE(timer->thread()->isAlive());
    sleepUntil(30100);
    EXPECT_EQ(startTimes(runs), (std::vector<std::int64_t>{30020}));

    // The idle timeout can be shortened for the timers made afterwards.
    java_util_TimerThread::setIdleTimeout(1000);
    java_util_Timer* quick = rt::make<java_util_Timer>();
    sleepUntil(31101);
    EXPECT_FALSE(quick->thread()->isAlive());
    EXPECT_TRUE(timer->thread()->isAlive());
    finish({timer, quick});
}

// A timer made while every thread slot is taken has no thread: it refuses
// tasks (which would never run) until a slot is free again, and then runs them.
TEST_F(TimerTest, ATimerWithoutAThreadRefusesTasksUntilItCanStartOne) {
    testing_support::LogCapture log;
    bool release = false;
    for (int i = 1; i < rt::ThreadTable::kSlotCount; ++i)
        testing_support::startGuestTask([&] {
            while (!release)
                java_lang_Thread::sleep(1);
        });
    java_util_Timer* timer = rt::make<java_util_Timer>();
    EXPECT_FALSE(timer->thread()->isAlive());
    std::vector<RecordingTask::Run> runs;
    RecordingTask* refused = task(&runs);
    timer->schedule(refused, 10);
    EXPECT_EQ(takePendingException(), "java_lang_IllegalStateException: Timer already cancelled.");
    EXPECT_EQ(timer->queue()->size(), 0);
    timer->scheduleAtFixedRate(refused, 10, 10);
    EXPECT_EQ(takePendingException(), "java_lang_IllegalStateException: Timer already cancelled.")
        << "the refused task is still new";

    release = true;
    testing_support::awaitAsGuest([] { return java_lang_Thread::activeCount() == 1; });
    java_util_TimerThread* unstarted = timer->thread();
    timer->schedule(refused, 10);
    EXPECT_EQ(takePendingException(), "none");
    EXPECT_EQ(timer->thread(), unstarted) << "the thread that never ran is started, no other made";
    sleepUntil(100);
    EXPECT_EQ(runs.size(), 1u);
    finish({timer});
}

TEST_F(TimerTest, ACollectionRunsWhileTheTimerThreadWaits) {
    java_util_Timer* timer = rt::make<java_util_Timer>();
    std::vector<RecordingTask::Run> runs;
    // The queue alone keeps the task and its lock.
    timer->schedule(task(&runs), 5000);
    for (int i = 0; i < 1000; ++i)
        rt::make<rt::Object>();
    sleepUntil(10);

    auto wallStart = std::chrono::steady_clock::now();
    EXPECT_TRUE(runtime.objectManager().gc(kCollectNow).ran);
    EXPECT_LT(std::chrono::steady_clock::now() - wallStart, std::chrono::seconds(2));
    EXPECT_EQ(runtime.objectManager().verifyHeap(), "");
    sleepUntil(5100);
    EXPECT_EQ(startTimes(runs), (std::vector<std::int64_t>{5000}));

    // And while it waits with nothing to do.
    EXPECT_TRUE(runtime.objectManager().gc(kCollectNow).ran);
    finish({timer});
}

TEST_F(TimerTest, AnExceptionLeftByARunIsLoggedAndTheTimerGoesOn) {
    testing_support::LogCapture log;
    java_util_Timer* timer = rt::make<java_util_Timer>();
    std::vector<RecordingTask::Run> failing, other;
    timer->schedule(task(&failing,
                         [](RecordingTask*, int) {
                             // What the run before left pending was cleared.
                             EXPECT_FALSE(rt::exceptionPending());
                             rt::raise(rt::ClassId::java_lang_IllegalStateException, "task failed");
                         }),
                    100, 100);
    timer->schedule(task(&other), 150);
    sleepUntil(350);
    EXPECT_EQ(startTimes(failing), (std::vector<std::int64_t>{100, 200, 300}));
    EXPECT_EQ(startTimes(other), (std::vector<std::int64_t>{150}));
    EXPECT_TRUE(log.contains("uncaught exception java_lang_IllegalStateException: task failed"));
    EXPECT_EQ(takePendingException(), "none");
    finish({timer});
}

// Real threads scheduling at once on one timer whose thread ends after every
// millisecond without work and is started again: however schedules and
// endings interleave, every task runs exactly once.
TEST(TimerOnFreeThreads, EveryTaskRunsWhileTheThreadKeepsEndingAndStartingAgain) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{8 << 20, 8 << 20, &host.threads, &host.clock}};
    testing_support::installCalendarSupport(runtime);
    java_util_TimerThread::setIdleTimeout(1);
    java_util_Timer* timer = rt::make<java_util_Timer>();
    rt::Handle<java_util_Timer> keepTimer(runtime.objectManager(), timer);

    struct CountingTask final : java_util_TimerTask {
        explicit CountingTask(std::atomic<int>* runs)
            : m_runs(runs) {}
        void run() override { ++*m_runs; }
        std::atomic<int>* m_runs;
        RT_NO_REFERENCE_FIELDS(CountingTask, java_util_TimerTask)
    };
    constexpr int kSchedulers = 3;
    constexpr int kTasksEach = 150;
    std::atomic<int> runs{0};
    std::atomic<int> failures{0};
    for (int s = 0; s < kSchedulers; ++s) {
        testing_support::startGuestTask([&, s] {
            for (int i = 0; i < kTasksEach; ++i) {
                timer->schedule(rt::make<CountingTask>(&runs), (i + s) % 3);
                failures += rt::exceptionPending() ? 1 : 0;
                java_lang_Thread::sleep((i * 7 + s) % 3);
            }
        });
    }
    testing_support::awaitAsGuest([&] { return runs == kSchedulers * kTasksEach; });
    EXPECT_EQ(failures, 0);
    timer->cancel();
    testing_support::awaitAsGuest([] { return java_lang_Thread::activeCount() == 1; });
    EXPECT_EQ(runs, kSchedulers * kTasksEach);
}

// The heap on its own: no threads needed.
struct TaskQueueTest : ::testing::Test {
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20}};
    std::vector<RecordingTask::Run> runs;
    TaskQueueTest() { testing_support::installCalendarSupport(runtime); }

    // Adds a task at `time` (above every time in the queue's minimum's
    // place: a new task's time 0 takes the top, and moving it from there
    // goes through the heap like any reschedule).
    RecordingTask* addAt(java_util_TaskQueue* queue, std::int64_t time) {
        RecordingTask* added = rt::make<RecordingTask>(&runs, nullptr);
        queue->add(added);
        EXPECT_EQ(queue->getMin(), added);
        queue->rescheduleMin(time);
        return added;
    }
};

TEST_F(TaskQueueTest, TheArrayDoublesWhenItsLastSlotIsNeeded) {
    auto* queue = rt::make<java_util_TaskQueue>();
    EXPECT_TRUE(queue->isEmpty());
    EXPECT_EQ(queue->getMin(), nullptr);
    for (int i = 1; i <= 3; ++i)
        addAt(queue, 10 * i);
    EXPECT_EQ(queue->capacity(), 4);
    addAt(queue, 40);
    EXPECT_EQ(queue->capacity(), 8);
    EXPECT_EQ(queue->size(), 4);
    queue->clear();
    EXPECT_TRUE(queue->isEmpty());
    EXPECT_EQ(queue->getMin(), nullptr);
    queue->removeMin();
    EXPECT_EQ(queue->size(), 0);
}

TEST_F(TaskQueueTest, TasksComeOutInTimeOrder) {
    auto* queue = rt::make<java_util_TaskQueue>();
    std::uint32_t seed = 12345;
    for (int i = 0; i < 60; ++i) {
        seed = seed * 1103515245 + 12345;
        addAt(queue, 1 + (seed >> 16) % 40); // with repeats
    }
    // Moving the earliest task later puts it in its place.
    queue->rescheduleMin(20);
    std::vector<std::int64_t> times;
    while (!queue->isEmpty()) {
        times.push_back(queue->getMin()->scheduledExecutionTime());
        queue->removeMin();
    }
    ASSERT_EQ(times.size(), 60u);
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
}

} // namespace
