#pragma once

// Runtime threads whose run() is a C++ callable, for tests of threads,
// monitors and the collector.

#include "runtime/Runtime.h"
#include "runtime/Thread.h"

#include <gtest/gtest.h>

#include <functional>

namespace testing_support {

struct GuestTask final : rt::java_lang_Thread {
    explicit GuestTask(std::function<void()> body)
        : m_body(std::move(body)) {}
    void run() override { m_body(); }
    std::function<void()> m_body;
    RT_NO_REFERENCE_FIELDS(GuestTask, java_lang_Thread)
};

// Makes and starts a task; it must get a slot.
inline GuestTask* startGuestTask(std::function<void()> body) {
    GuestTask* task = rt::make<GuestTask>(std::move(body));
    EXPECT_GE(task->start(), 1);
    return task;
}

// Waits, sleeping as a runtime thread does, until `done` holds (at most about 10 s).
inline void awaitAsGuest(const std::function<bool()>& done) {
    for (int i = 0; i < 10000 && !done(); ++i)
        rt::java_lang_Thread::sleep(1);
    ASSERT_TRUE(done());
}

} // namespace testing_support
