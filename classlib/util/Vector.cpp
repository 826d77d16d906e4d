#include "classlib/util/Vector.h"

#include "classlib/lang/System.h"
#include "classlib/lang/Throwable.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

#include <algorithm>
#include <cstdint>

namespace lib {

namespace {

void raiseArrayIndexOutOfBounds(std::int32_t index) {
    rt::raise(newArrayIndexOutOfBoundsException(index));
}

} // namespace

java_util_Vector::java_util_Vector()
    : java_util_Vector(kClassId, 10, 0) {
}

java_util_Vector::java_util_Vector(std::int32_t initialCapacity)
    : java_util_Vector(kClassId, initialCapacity, 0) {
}

java_util_Vector::java_util_Vector(std::int32_t initialCapacity, std::int32_t capacityIncrement)
    : java_util_Vector(kClassId, initialCapacity, capacityIncrement) {
}

java_util_Vector::java_util_Vector(rt::ClassId id, std::int32_t initialCapacity,
                                   std::int32_t capacityIncrement)
    : Object(id) {
    if (initialCapacity < 0) {
        rt::raise(rt::ClassId::java_lang_IllegalArgumentException,
                  rt::getStaticClass().getConstantString(kNegativeCapacityText));
        return;
    }
    m_elementData = rt::newObjectArray(initialCapacity);
    m_capacityIncrement = capacityIncrement;
}

java_util_Vector::java_util_Vector(java_util_Vector* other)
    : Object(kClassId) {
    if (!other) {
        rt::reportNullPointer();
        m_elementData = rt::newObjectArray(0);
        return;
    }
    m_elementData = rt::newObjectArray(other->size());
    for (std::int32_t i = 0; i < other->size(); ++i) {
        rt::Object* element = other->elementAt(i);
        if (rt::exceptionPending())
            return;
        addElement(element);
    }
}

bool java_util_Vector::contains(rt::Object* element) {
    return indexOf(element, 0) >= 0;
}

std::int32_t java_util_Vector::indexOf(rt::Object* element) {
    return indexOf(element, 0);
}

std::int32_t java_util_Vector::lastIndexOf(rt::Object* element) {
    return lastIndexOf(element, m_elementCount - 1);
}

void java_util_Vector::growTo(std::int32_t minimum) {
    std::int32_t old = capacity();
    if (minimum <= old)
        return;
    std::int64_t grown =
        m_capacityIncrement > 0 ? std::int64_t{old} + m_capacityIncrement : std::int64_t{old} * 2;
    auto length =
        static_cast<std::int32_t>(std::max<std::int64_t>(std::min<std::int64_t>(grown, INT32_MAX), minimum));
    rt::ObjectArray* grownData = rt::newObjectArray(length);
    if (m_elementCount > 0)
        java_lang_System::arraycopy(m_elementData, 0, grownData, 0, m_elementCount);
    m_elementData = grownData;
}

void java_util_Vector::ensureCapacity(std::int32_t minimum) {
    rt::MonitorScope lock(this);
    growTo(minimum);
}

void java_util_Vector::trimToSize() {
    rt::MonitorScope lock(this);
    if (m_elementCount >= capacity())
        return;
    rt::ObjectArray* trimmed = rt::newObjectArray(m_elementCount);
    if (m_elementCount > 0)
        java_lang_System::arraycopy(m_elementData, 0, trimmed, 0, m_elementCount);
    m_elementData = trimmed;
}

void java_util_Vector::setSize(std::int32_t newSize) {
    rt::MonitorScope lock(this);
    if (newSize < 0) {
        raiseArrayIndexOutOfBounds(newSize);
        return;
    }
    if (newSize > m_elementCount)
        growTo(newSize);
    else
        for (std::int32_t i = newSize; i < m_elementCount; ++i)
            m_elementData->elements()[i] = nullptr;
    m_elementCount = newSize;
}

std::int32_t java_util_Vector::indexOf(rt::Object* element, std::int32_t index) {
    rt::MonitorScope lock(this);
    if (index < 0) {
        raiseArrayIndexOutOfBounds(index);
        return -1;
    }
    // `equals` is guest code: it may allocate or change this Vector, so the
    // count and the elements are read afresh on every pass.
    for (std::int32_t i = index; i < m_elementCount; ++i) {
        rt::Object* stored = slot(i);
        if (element ? element->equals(stored) : stored == nullptr)
            return i;
    }
    return -1;
}

std::int32_t java_util_Vector::lastIndexOf(rt::Object* element, std::int32_t index) {
    rt::MonitorScope lock(this);
    if (index >= m_elementCount) {
        rt::raise(rt::ClassId::java_lang_IndexOutOfBoundsException, rt::String::valueOf(index));
        return 0;
    }
    for (std::int32_t i = index; i >= 0; --i) {
        if (i >= m_elementCount)
            continue; // shrunk by an `equals` on the way
        rt::Object* stored = slot(i);
        if (element ? element->equals(stored) : stored == nullptr)
            return i;
    }
    return -1;
}

rt::Object* java_util_Vector::elementAt(std::int32_t index) {
    rt::MonitorScope lock(this);
    if (index < 0 || index >= m_elementCount) {
        raiseArrayIndexOutOfBounds(index);
        return nullptr;
    }
    return slot(index);
}

rt::Object* java_util_Vector::firstElement() {
    rt::MonitorScope lock(this);
    return m_elementCount > 0 ? slot(0) : nullptr;
}

rt::Object* java_util_Vector::lastElement() {
    rt::MonitorScope lock(this);
    return m_elementCount > 0 ? slot(m_elementCount - 1) : nullptr;
}

void java_util_Vector::setElementAt(rt::Object* element, std::int32_t index) {
    rt::MonitorScope lock(this);
    if (index < 0 || index >= m_elementCount) {
        raiseArrayIndexOutOfBounds(index);
        return;
    }
    m_elementData->elements()[index] = element;
}

void java_util_Vector::removeElementAt(std::int32_t index) {
    rt::MonitorScope lock(this);
    if (index < 0 || index >= m_elementCount) {
        raiseArrayIndexOutOfBounds(index);
        return;
    }
    std::int32_t following = m_elementCount - index - 1;
    if (following > 0)
        java_lang_System::arraycopy(m_elementData, index + 1, m_elementData, index, following);
    --m_elementCount;
    m_elementData->elements()[m_elementCount] = nullptr;
}

void java_util_Vector::insertElementAt(rt::Object* element, std::int32_t index) {
    rt::MonitorScope lock(this);
    if (index < 0 || index > m_elementCount) {
        raiseArrayIndexOutOfBounds(index);
        return;
    }
    growTo(m_elementCount + 1);
    if (index < m_elementCount)
        java_lang_System::arraycopy(m_elementData, index, m_elementData, index + 1, m_elementCount - index);
    m_elementData->elements()[index] = element;
    ++m_elementCount;
}

void java_util_Vector::addElement(rt::Object* element) {
    rt::MonitorScope lock(this);
    growTo(m_elementCount + 1);
    m_elementData->elements()[m_elementCount] = element;
    ++m_elementCount;
}

bool java_util_Vector::removeElement(rt::Object* element) {
    rt::MonitorScope lock(this);
    std::int32_t index = indexOf(element, 0);
    if (index < 0)
        return false;
    removeElementAt(index);
    return true;
}

void java_util_Vector::removeAllElements() {
    rt::MonitorScope lock(this);
    for (std::int32_t i = 0; i < m_elementCount; ++i)
        m_elementData->elements()[i] = nullptr;
    m_elementCount = 0;
}

void java_util_Vector::copyInto(rt::ObjectArray* target) {
    rt::MonitorScope lock(this);
    if (!target) {
        rt::reportNullPointer();
        return;
    }
    if (target->length() < m_elementCount) {
        raiseArrayIndexOutOfBounds(std::max(target->length(), 0));
        return;
    }
    for (std::int32_t i = m_elementCount - 1; i >= 0; --i)
        target->elements()[i] = slot(i);
}

} // namespace lib
