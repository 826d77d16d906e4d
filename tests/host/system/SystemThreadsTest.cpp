#include "host/system/SystemThreads.h"
#include "host/system/SystemClock.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

TEST(SystemThreads, RunWhenResumedAndShareMutexesAndEvents) {
    host::SystemThreads threads;
    host::SystemClock clock;
    auto event = threads.createEvent();
    auto mutex = threads.createMutex();
    std::atomic<int> stage{0};
    host::ThreadId seenId = 0;

    auto created = threads.create([&] {
        seenId = threads.currentId();
        mutex->lock();
        mutex->lock();
        stage = 2;
        mutex->unlock();
        mutex->unlock();
        event->set();
    });
    ASSERT_TRUE(created.ok());
    auto thread = std::move(created).value();
    clock.sleep(20);
    EXPECT_EQ(stage.load(), 0) << "a thread waits to be resumed";
    stage = 1;
    EXPECT_TRUE(thread->setPriority(2));
    thread->resume();
    EXPECT_TRUE(event->wait(host::Event::kInfinite));
    thread->join();
    EXPECT_EQ(stage.load(), 2);
    EXPECT_EQ(seenId, thread->id());
    EXPECT_NE(threads.currentId(), thread->id());
    EXPECT_EQ(thread->priority(), 2);

    std::uint32_t before = clock.tickCount();
    EXPECT_FALSE(event->wait(30));
    EXPECT_GE(clock.tickCount() - before, 30u);
    host::StackBounds stack = threads.currentStackBounds();
    auto here = reinterpret_cast<std::uintptr_t>(&stack);
    EXPECT_TRUE(stack.low < here && here < stack.high);
}

} // namespace
