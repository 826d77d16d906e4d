#pragma once

// `java_util_TimerTask`: work a `java_util_Timer` runs once or repeatedly on
// its thread. A subclass supplies `run`.
//
// The task's monitor is that of a plain object of its own (`m_lock`), which
// guards the state, the next execution time and the period. States:
//   0 --schedule--> 1 --runs once--> 2;  0, 1 or 2 --cancel--> 3.
// A task leaves state 0 for good: it can be scheduled only once.

#include "runtime/Object.h"

#include <cstdint>

namespace lib {

class java_util_TimerTask : public rt::Object, public rt::java_lang_Runnable {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_TimerTask;

    enum class State : std::int32_t {
        Virgin = 0,
        Scheduled = 1,
        Executed = 2,
        Cancelled = 3,
    };

    // Stops the task from running again. True when it was scheduled and
    // would have run (again); a cancelled task stays in its timer's queue
    // until the timer thread drops it.
    bool cancel();
    // When the latest run was planned to start: the next execution time less
    // one period (a fixed-delay period counts positive here).
    std::int64_t scheduledExecutionTime();

    void* getInterface(rt::ClassId interfaceId) override;

    RT_REFERENCE_FIELDS(java_util_TimerTask, Object, m_lock)

protected:
    explicit java_util_TimerTask(rt::ClassId classId = kClassId);

private:
    friend class java_util_Timer;
    friend class java_util_TimerThread;
    friend class java_util_TaskQueue;

    rt::Object* m_lock = nullptr;
    State m_state = State::Virgin;
    std::int64_t m_nextExecutionTime = 0;
    // 0 once; above 0 fixed rate; below 0 fixed delay of minus the value.
    std::int64_t m_period = 0;
};

} // namespace lib
