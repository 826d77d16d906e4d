#include "classlib/util/TimerTask.h"

#include "runtime/Monitor.h"
#include "runtime/Runtime.h"

namespace lib {

java_util_TimerTask::java_util_TimerTask(rt::ClassId classId)
    : Object(classId) {
    m_lock = rt::make<rt::Object>();
}

bool java_util_TimerTask::cancel() {
    rt::MonitorScope hold(m_lock);
    bool wasScheduled = m_state == State::Scheduled;
    m_state = State::Cancelled;
    return wasScheduled;
}

std::int64_t java_util_TimerTask::scheduledExecutionTime() {
    rt::MonitorScope hold(m_lock);
    return m_period < 0 ? m_nextExecutionTime + m_period : m_nextExecutionTime - m_period;
}

void* java_util_TimerTask::getInterface(rt::ClassId interfaceId) {
    return interfaceId == rt::ClassId::java_lang_Runnable ? static_cast<rt::java_lang_Runnable*>(this)
                                                          : nullptr;
}

} // namespace lib
