#pragma once

// `java_util_TimerThread`: the thread that runs a Timer's tasks.
//
// Its loop, while tasks may still be scheduled:
//   - with the queue empty, wait on the queue (for at most the idle timeout,
//     30 s); still empty afterwards, the thread ends, and the Timer starts a
//     new one at its next schedule;
//   - drop the earliest task when it was cancelled;
//   - when its time has come, take it off the queue (one-shot, state 2) or
//     move it to its next time (fixed delay: now plus the delay; fixed rate:
//     its planned time plus the period), then run it holding no monitor;
//   - otherwise wait on the queue until its time, or until a schedule or a
//     cancel notifies the queue.
// The queue's monitor is taken before a task's. Waiting is a safe region, so
// a collection never waits for an idle timer. An exception a task's run
// leaves pending is logged and cleared, and the other tasks go on.
//
// Times are the device tick (`currentTickMillis`).

#include "classlib/ClassLibrary.h"
#include "classlib/util/TaskQueue.h"
#include "runtime/Thread.h"

#include <cstdint>

namespace lib {

class java_util_TimerThread final : public rt::java_lang_Thread {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_TimerThread;
    static constexpr std::int64_t kIdleTimeout = 30000;

    explicit java_util_TimerThread(java_util_TaskQueue* queue);
    // No queue and no new tasks: its run returns at once.
    explicit java_util_TimerThread(NewInstance);

    void run() override;

    // The idle timeout of the running runtime's timer threads made from now
    // on (tests shorten it); a value below 1 restores 30 s.
    static void setIdleTimeout(std::int64_t milliseconds);

    RT_REFERENCE_FIELDS(java_util_TimerThread, java_lang_Thread, m_queue)

private:
    friend class java_util_Timer;

    void mainLoop();

    bool m_newTasksMayBeScheduled = true;
    // Set, under the queue's monitor, once the loop has decided to end: from
    // then on the thread serves no task, even while it still holds its slot.
    bool m_ended = false;
    java_util_TaskQueue* m_queue = nullptr;
    std::int64_t m_idleTimeout = kIdleTimeout;
};

} // namespace lib
