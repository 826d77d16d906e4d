#include "classlib/util/Timer.h"

#include "classlib/util/Date.h"
#include "classlib/util/TaskQueue.h"
#include "classlib/util/TimerTask.h"
#include "classlib/util/TimerThread.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

namespace lib {

namespace {

void raiseWithText(rt::ClassId exception, std::int32_t text) {
    rt::raise(exception, rt::getStaticClass().getConstantString(text));
}

// Now plus `delay` (not negative), the largest time when that overflows.
std::int64_t timeAfter(std::int64_t delay) {
    return saturatingTimeSum(currentTickMillis(), delay);
}

} // namespace

java_util_Timer::java_util_Timer()
    : Object(kClassId) {
    m_queue = rt::make<java_util_TaskQueue>();
    m_thread = rt::make<java_util_TimerThread>(m_queue);
    m_thread->start();
}

bool java_util_Timer::checkDelay(std::int64_t delay) {
    if (delay >= 0)
        return true;
    raiseWithText(rt::ClassId::java_lang_IllegalArgumentException, kNegativeDelayText);
    return false;
}

bool java_util_Timer::checkPeriod(std::int64_t period) {
    if (period > 0)
        return true;
    raiseWithText(rt::ClassId::java_lang_IllegalArgumentException, kNonPositivePeriodText);
    return false;
}

void java_util_Timer::schedule(java_util_TimerTask* task, std::int64_t delay) {
    if (checkDelay(delay))
        sched(task, timeAfter(delay), 0);
}

void java_util_Timer::schedule(java_util_TimerTask* task, java_util_Date* time) {
    if (!time) {
        rt::reportNullPointer();
        return;
    }
    sched(task, time->getTime(), 0);
}

void java_util_Timer::schedule(java_util_TimerTask* task, std::int64_t delay, std::int64_t period) {
    if (checkDelay(delay) && checkPeriod(period))
        sched(task, timeAfter(delay), -period);
}

void java_util_Timer::schedule(java_util_TimerTask* task, java_util_Date* firstTime, std::int64_t period) {
    if (!checkPeriod(period))
        return;
    if (!firstTime) {
        rt::reportNullPointer();
        return;
    }
    sched(task, firstTime->getTime(), -period);
}

void java_util_Timer::scheduleAtFixedRate(java_util_TimerTask* task, std::int64_t delay,
                                          std::int64_t period) {
    if (checkDelay(delay) && checkPeriod(period))
        sched(task, timeAfter(delay), period);
}

void java_util_Timer::scheduleAtFixedRate(java_util_TimerTask* task, java_util_Date* firstTime,
                                          std::int64_t period) {
    if (!checkPeriod(period))
        return;
    if (!firstTime) {
        rt::reportNullPointer();
        return;
    }
    sched(task, firstTime->getTime(), period);
}

void java_util_Timer::sched(java_util_TimerTask* task, std::int64_t time, std::int64_t period) {
    if (time < 0) {
        raiseWithText(rt::ClassId::java_lang_IllegalArgumentException, kNegativeTimeText);
        return;
    }
    if (!task) {
        rt::reportNullPointer();
        return;
    }
    rt::MonitorScope queueLock(m_queue);
    if (!m_thread->m_newTasksMayBeScheduled) {
        raiseWithText(rt::ClassId::java_lang_IllegalStateException, kTimerCancelledText);
        return;
    }
    if (!ensureThread()) {
        // The task would never run: refuse it, as a cancelled timer does.
        raiseWithText(rt::ClassId::java_lang_IllegalStateException, kTimerCancelledText);
        return;
    }
    {
        rt::MonitorScope taskLock(task->m_lock);
        if (task->m_state != java_util_TimerTask::State::Virgin) {
            raiseWithText(rt::ClassId::java_lang_IllegalStateException, kTaskNotNewText);
            return;
        }
        task->m_nextExecutionTime = time;
        task->m_period = period;
        task->m_state = java_util_TimerTask::State::Scheduled;
    }
    m_queue->add(task);
    if (m_queue->getMin() == task)
        Object::notify(m_queue);
}

bool java_util_Timer::ensureThread() {
    if (m_thread->isAlive() && !m_thread->m_ended)
        return true;
    // A thread that has decided to end serves no more tasks, even while it
    // still holds its slot: it gets a successor. One that never got a slot
    // (the thread table was full) is started again rather than replaced, so
    // that refused schedules leave no unstarted threads behind.
    if (m_thread->m_ended)
        m_thread = rt::make<java_util_TimerThread>(m_queue);
    return m_thread->start() >= 0;
}

void java_util_Timer::cancel() {
    rt::MonitorScope queueLock(m_queue);
    m_thread->m_newTasksMayBeScheduled = false;
    m_queue->clear();
    Object::notify(m_queue);
}

} // namespace lib
