#include "classlib/util/TaskQueue.h"

#include "classlib/lang/System.h"
#include "classlib/util/TimerTask.h"
#include "runtime/Runtime.h"

#include <utility>

namespace lib {

java_util_TaskQueue::java_util_TaskQueue()
    : Object(kClassId) {
    m_queue = rt::newObjectArray(kInitialSlots);
}

java_util_TaskQueue::java_util_TaskQueue(NewInstance)
    : Object(kClassId) {
}

java_util_TimerTask* java_util_TaskQueue::at(std::int32_t index) const {
    return static_cast<java_util_TimerTask*>(m_queue->elements()[index]);
}

std::int64_t java_util_TaskQueue::timeAt(std::int32_t index) const {
    return at(index)->m_nextExecutionTime;
}

void java_util_TaskQueue::swap(std::int32_t a, std::int32_t b) {
    rt::Object** slots = m_queue->elements();
    std::swap(slots[a], slots[b]);
}

void java_util_TaskQueue::add(java_util_TimerTask* task) {
    if (!m_queue)
        m_queue = rt::newObjectArray(kInitialSlots);
    ++m_size;
    if (m_size == m_queue->length()) {
        rt::ObjectArray* larger = rt::newObjectArray(2 * m_queue->length());
        java_lang_System::arraycopy(m_queue, 0, larger, 0, m_size);
        m_queue = larger;
    }
    m_queue->elements()[m_size] = task;
    fixUp(m_size);
}

java_util_TimerTask* java_util_TaskQueue::getMin() {
    return m_size > 0 ? at(1) : nullptr;
}

void java_util_TaskQueue::removeMin() {
    if (m_size == 0)
        return;
    rt::Object** slots = m_queue->elements();
    slots[1] = slots[m_size];
    slots[m_size] = nullptr;
    --m_size;
    fixDown(1);
}

void java_util_TaskQueue::rescheduleMin(std::int64_t time) {
    if (m_size == 0)
        return;
    at(1)->m_nextExecutionTime = time;
    fixDown(1);
}

void java_util_TaskQueue::clear() {
    if (m_size == 0)
        return;
    rt::Object** slots = m_queue->elements();
    for (std::int32_t i = 1; i <= m_size; ++i)
        slots[i] = nullptr;
    m_size = 0;
}

void java_util_TaskQueue::fixUp(std::int32_t k) {
    while (k > 1) {
        std::int32_t parent = k / 2;
        if (timeAt(parent) <= timeAt(k))
            break;
        swap(parent, k);
        k = parent;
    }
}

void java_util_TaskQueue::fixDown(std::int32_t k) {
    for (;;) {
        std::int32_t child = 2 * k;
        if (child > m_size || child <= 0)
            break;
        if (child < m_size && timeAt(child) > timeAt(child + 1))
            ++child;
        if (timeAt(k) <= timeAt(child))
            break;
        swap(k, child);
        k = child;
    }
}

} // namespace lib
