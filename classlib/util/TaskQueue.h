#pragma once

// `java_util_TaskQueue`: the tasks of one Timer, a binary min-heap on their
// next execution times. The heap lives in slots 1 to `size()` of an object
// array (slot 0 stays empty) that starts with 4 slots and doubles when full;
// tasks with equal times keep no particular order.
//
// It has no lock of its own: every caller holds the queue's monitor.

#include "classlib/ClassLibrary.h"
#include "runtime/Array.h"
#include "runtime/Object.h"

#include <cstdint>

namespace lib {

class java_util_TimerTask;

class java_util_TaskQueue final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_TaskQueue;
    static constexpr std::int32_t kInitialSlots = 4;

    java_util_TaskQueue();
    // No array yet: the first `add` makes it.
    explicit java_util_TaskQueue(NewInstance);

    void add(java_util_TimerTask* task);
    // The task with the earliest time; null when empty.
    java_util_TimerTask* getMin();
    void removeMin();
    // Moves the earliest task to `time`.
    void rescheduleMin(std::int64_t time);
    virtual bool isEmpty() { return m_size == 0; }
    virtual void clear();

    std::int32_t size() const { return m_size; }
    // The slots of the array, slot 0 included.
    std::int32_t capacity() const { return m_queue ? m_queue->length() : 0; }

    RT_REFERENCE_FIELDS(java_util_TaskQueue, Object, m_queue)

private:
    java_util_TimerTask* at(std::int32_t index) const;
    std::int64_t timeAt(std::int32_t index) const;
    void swap(std::int32_t a, std::int32_t b);
    void fixUp(std::int32_t k);
    void fixDown(std::int32_t k);

    rt::ObjectArray* m_queue = nullptr;
    std::int32_t m_size = 0;
};

} // namespace lib
