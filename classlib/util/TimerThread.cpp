#include "classlib/util/TimerThread.h"

#include "classlib/util/Date.h"
#include "classlib/util/TaskQueue.h"
#include "classlib/util/TimerTask.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/StaticClass.h"

#include <atomic>

namespace lib {

namespace {

struct TimerStatics {
    std::atomic<std::int64_t> m_idleTimeout{java_util_TimerThread::kIdleTimeout};
    RT_NO_REFERENCE_FIELDS(TimerStatics, rt::NoReferenceBase)
};

std::atomic<std::int64_t>& idleTimeout() {
    return rt::getStaticClass().statics<TimerStatics>().m_idleTimeout;
}

} // namespace

java_util_TimerThread::java_util_TimerThread(java_util_TaskQueue* queue)
    : java_lang_Thread(nullptr, kClassId)
    , m_queue(queue)
    , m_idleTimeout(idleTimeout().load(std::memory_order_relaxed)) {
}

java_util_TimerThread::java_util_TimerThread(NewInstance)
    : java_lang_Thread(nullptr, kClassId)
    , m_newTasksMayBeScheduled(false) {
}

void java_util_TimerThread::setIdleTimeout(std::int64_t milliseconds) {
    idleTimeout().store(milliseconds > 0 ? milliseconds : kIdleTimeout, std::memory_order_relaxed);
}

void java_util_TimerThread::run() {
    if (m_queue)
        mainLoop();
}

void java_util_TimerThread::mainLoop() {
    for (;;) {
        java_util_TimerTask* task = nullptr;
        bool fired = false;
        {
            rt::MonitorScope queueLock(m_queue);
            if (m_queue->isEmpty() && m_newTasksMayBeScheduled)
                Object::wait(m_queue, m_idleTimeout);
            if (m_queue->isEmpty()) {
                m_ended = true;
                return;
            }
            task = m_queue->getMin();
            std::int64_t now = 0;
            std::int64_t executionTime = 0;
            {
                rt::MonitorScope taskLock(task->m_lock);
                if (task->m_state == java_util_TimerTask::State::Cancelled) {
                    m_queue->removeMin();
                    continue;
                }
                now = currentTickMillis();
                executionTime = task->m_nextExecutionTime;
                fired = executionTime - now <= 0;
                if (fired) {
                    if (task->m_period == 0) {
                        m_queue->removeMin();
                        task->m_state = java_util_TimerTask::State::Executed;
                    } else {
                        m_queue->rescheduleMin(task->m_period < 0
                                                   ? saturatingTimeSum(now, -task->m_period)
                                                   : saturatingTimeSum(executionTime, task->m_period));
                    }
                }
            }
            if (!fired)
                Object::wait(m_queue, executionTime - now);
        }
        if (fired) {
            task->run();
            if (rt::exceptionPending())
                rt::reportUncaughtException();
        }
    }
}

} // namespace lib
