#pragma once

// `java_util_Timer`: runs `java_util_TimerTask`s on one background thread,
// once after a delay or at a time, or repeatedly: with a fixed delay counted
// from the moment each run's turn came, or at a fixed rate counted from the
// first planned time (late runs then follow each other at once).
//
// Times are milliseconds of the device tick (`currentTickMillis`, the time
// base of `java_lang_System::currentTimeMillis`); a Date gives its own time
// on that base.
//
// A time past the largest 64-bit time (a huge delay or period) is taken as
// the largest, a time that never comes.
//
// Failures raise and change nothing: a negative delay, a period that is not
// positive or a negative time `IllegalArgumentException` (constant strings
// 198, 199, 200); scheduling on a cancelled Timer or on one without a thread
// (201) or scheduling a task that is not new (202) `IllegalStateException`.
// A null task or Date is reported and schedules nothing.
//
// The thread ends by itself after an idle wait with nothing to run; the next
// schedule starts a new one on the same queue. A Timer whose thread cannot
// start (every thread slot taken, at construction or at a schedule) has no
// thread: its schedules fail until one can start.

#include "classlib/util/Date.h"
#include "classlib/util/TaskQueue.h"
#include "classlib/util/TimerTask.h"
#include "classlib/util/TimerThread.h"
#include "runtime/Object.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

class java_util_Timer final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Timer;
    static constexpr std::int32_t kNegativeDelayText = rt::constants::kNegativeDelay;
    static constexpr std::int32_t kNonPositivePeriodText = rt::constants::kNonPositivePeriod;
    static constexpr std::int32_t kNegativeTimeText = rt::constants::kNegativeTime;
    static constexpr std::int32_t kTimerCancelledText = rt::constants::kTimerCancelled;
    static constexpr std::int32_t kTaskNotNewText = rt::constants::kTaskNotNew;

    // Makes the queue and starts the thread.
    java_util_Timer();

    // Once, `delay` ms from now.
    void schedule(java_util_TimerTask* task, std::int64_t delay);
    // Once, at the Date's time.
    void schedule(java_util_TimerTask* task, java_util_Date* time);
    // Repeatedly with a fixed delay of `period` ms, the first run `delay` ms from now.
    void schedule(java_util_TimerTask* task, std::int64_t delay, std::int64_t period);
    // Repeatedly with a fixed delay, the first run at the Date's time.
    void schedule(java_util_TimerTask* task, java_util_Date* firstTime, std::int64_t period);
    // Repeatedly at a fixed rate of one run per `period` ms, the first `delay` ms from now.
    void scheduleAtFixedRate(java_util_TimerTask* task, std::int64_t delay, std::int64_t period);
    // Repeatedly at a fixed rate, the first run at the Date's time.
    void scheduleAtFixedRate(java_util_TimerTask* task, java_util_Date* firstTime, std::int64_t period);

    // Drops every scheduled task and lets the thread end; later schedules fail.
    void cancel();

    java_util_TaskQueue* queue() const { return m_queue; }
    java_util_TimerThread* thread() const { return m_thread; }

    RT_REFERENCE_FIELDS(java_util_Timer, Object, m_queue, m_thread)

private:
    // The common core: `time` on the tick's base, `period` as the task keeps it.
    void sched(java_util_TimerTask* task, std::int64_t time, std::int64_t period);
    // False, after raising, for a negative delay or a period that is not positive.
    static bool checkDelay(std::int64_t delay);
    static bool checkPeriod(std::int64_t period);
    // Whether the timer has a thread that will serve its queue, starting one
    // when it has none. False when no thread can start (every slot taken).
    // Called holding the queue's monitor.
    bool ensureThread();

    java_util_TaskQueue* m_queue = nullptr;
    java_util_TimerThread* m_thread = nullptr;
};

} // namespace lib
