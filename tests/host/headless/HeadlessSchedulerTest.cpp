#include "host/headless/HeadlessHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

std::unique_ptr<host::HeadlessHost> makeHost() {
    return host::makeHeadlessHost({});
}

std::unique_ptr<host::Thread> startThread(host::Host& h, std::function<void()> body) {
    auto thread = h.threads().create(std::move(body));
    EXPECT_TRUE(thread.ok());
    std::unique_ptr<host::Thread> handle = std::move(thread).value();
    handle->resume();
    return handle;
}

TEST(HeadlessClock, AThousandSleepsOfFortyMillisecondsTakeLittleRealTime) {
    auto h = makeHost();
    auto started = std::chrono::steady_clock::now();
    std::uint32_t ticks = 0;
    auto sleeper = startThread(*h, [&] {
        for (int i = 0; i < 1000; ++i)
            h->clock().sleep(40);
        ticks = h->clock().tickCount();
    });
    sleeper->join();
    auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(ticks, 40000u);
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));
}

// Threads of different periods wake in time order, at equal times in the order
// in which they began to sleep; the same program gives the
// same trace on every run.
std::vector<std::string> runTwoSleepers() {
    auto h = makeHost();
    std::vector<std::string> trace;
    auto sleeper = [&](const char* name, std::uint32_t period) {
        return [&, name, period] {
            for (int i = 0; i < 3; ++i) {
                h->clock().sleep(period);
                trace.push_back(std::string(name) + "@" + std::to_string(h->clock().tickCount()));
            }
        };
    };
    auto a = startThread(*h, sleeper("a", 30));
    auto b = startThread(*h, sleeper("b", 45));
    a->join();
    b->join();
    return trace;
}

TEST(HeadlessClock, SleepersWakeInTimeOrderAndTheOrderRepeats) {
    std::vector<std::string> trace = runTwoSleepers();
    EXPECT_EQ(trace, (std::vector<std::string>{"a@30", "b@45", "a@60", "b@90", "a@90", "b@135"}));
    EXPECT_EQ(runTwoSleepers(), trace);
}

TEST(HeadlessClock, YieldingAloneLetsASleeperGetThere) {
    auto h = makeHost();
    bool flag = false;
    auto setter = startThread(*h, [&] {
        h->clock().sleep(250);
        flag = true;
    });
    int yields = 0;
    while (!flag) {
        h->clock().sleep(0);
        ++yields;
    }
    EXPECT_EQ(h->clock().tickCount(), 250u);
    EXPECT_LE(yields, 3);
    setter->join();
}

TEST(HeadlessClock, CalendarTimeIsTheEpochPlusWholeSecondsOfVirtualTime) {
    host::HeadlessOptions options;
    options.wallClockEpoch = 1000000000;
    auto h = host::makeHeadlessHost(std::move(options));
    EXPECT_EQ(h->clock().wallClockSeconds(), 1000000000);
    h->clock().sleep(2999);
    EXPECT_EQ(h->clock().wallClockSeconds(), 1000000002);
    h->headlessClock().setWallClockEpoch(-5);
    EXPECT_EQ(h->clock().wallClockSeconds(), -3);
}

TEST(HeadlessThreads, ThreadsStartOnlyWhenResumedAndJoinWaitsForTheirEnd) {
    auto h = makeHost();
    std::vector<int> order;
    auto created = h->threads().create([&] { order.push_back(2); });
    ASSERT_TRUE(created.ok());
    auto thread = std::move(created).value();
    h->clock().sleep(10);
    order.push_back(1);
    EXPECT_NE(thread->id(), 0u);
    EXPECT_NE(thread->id(), h->threads().currentId());
    EXPECT_TRUE(thread->setPriority(5));
    EXPECT_FALSE(thread->setPriority(8));
    EXPECT_FALSE(thread->setPriority(-1));
    EXPECT_EQ(thread->priority(), 5);
    thread->resume();
    thread->join();
    thread->join();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(h->threads().currentPriority(), host::kNormalThreadPriority);
    host::StackBounds stack = h->threads().currentStackBounds();
    auto here = reinterpret_cast<std::uintptr_t>(&stack);
    EXPECT_TRUE(stack.low < here && here < stack.high);
}

TEST(HeadlessThreads, AThreadNeverResumedEndsWithItsHostWithoutRunning) {
    // The body holds the token: it is released once the thread has ended.
    auto token = std::make_shared<int>(0);
    const std::weak_ptr<int> watch = token;
    bool ran = false;
    {
        auto h = makeHost();
        auto created = h->threads().create([token, &ran] { ran = true; });
        ASSERT_TRUE(created.ok());
        token.reset();
        h->clock().sleep(10);
    }
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!watch.expired() && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(ran);
}

TEST(HeadlessThreads, AnEventReleasesOneWaiterPerSetAndTimesOutOnTheVirtualClock) {
    auto h = makeHost();
    auto event = h->threads().createEvent();
    EXPECT_FALSE(event->wait(0));
    event->set();
    event->set();
    EXPECT_TRUE(event->wait(0));
    EXPECT_FALSE(event->wait(0)) << "an auto-reset event holds one signal";

    std::vector<std::string> trace;
    auto waiter = [&](const char* name) {
        return [&, name] {
            bool woken = event->wait(100);
            trace.push_back(std::string(name) + (woken ? " woken@" : " timed out@") +
                            std::to_string(h->clock().tickCount()));
        };
    };
    auto first = startThread(*h, waiter("first"));
    auto second = startThread(*h, waiter("second"));
    h->clock().sleep(30);
    event->set();
    first->join();
    second->join();
    EXPECT_EQ(trace, (std::vector<std::string>{"first woken@30", "second timed out@100"}));
}

TEST(HeadlessThreads, AMutexIsRecursiveAndGoesToItsWaitersInTurn) {
    auto h = makeHost();
    auto mutex = h->threads().createMutex();
    std::vector<std::string> trace;
    mutex->lock();
    mutex->lock();
    auto contender = [&](const char* name) {
        return [&, name] {
            mutex->lock();
            trace.push_back(name);
            h->clock().sleep(5);
            mutex->unlock();
        };
    };
    auto b = startThread(*h, contender("b"));
    auto c = startThread(*h, contender("c"));
    h->clock().sleep(20);
    trace.push_back("a");
    mutex->unlock();
    h->clock().sleep(1);
    EXPECT_EQ(trace, (std::vector<std::string>{"a"})) << "still held once";
    mutex->unlock();
    b->join();
    c->join();
    EXPECT_EQ(trace, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(HeadlessThreadsDeathTest, ADeadlockStopsTheProgramInsteadOfHanging) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto h = makeHost();
            auto event = h->threads().createEvent();
            event->wait(host::Event::kInfinite);
        },
        "deadlock");
}

} // namespace
