#include "classlib/util/Stack.h"

#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"

namespace lib {

java_util_Stack::java_util_Stack()
    : java_util_Vector(kClassId, 10, 0) {
}

rt::Object* java_util_Stack::push(rt::Object* item) {
    addElement(item);
    return item;
}

rt::Object* java_util_Stack::peek() {
    rt::MonitorScope lock(this);
    std::int32_t count = size();
    if (count == 0)
        return rt::raise(rt::ClassId::java_util_EmptyStackException);
    return elementAt(count - 1);
}

rt::Object* java_util_Stack::pop() {
    rt::MonitorScope lock(this);
    std::int32_t count = size();
    rt::Object* top = peek();
    if (rt::exceptionPending())
        return nullptr;
    removeElementAt(count - 1);
    return top;
}

std::int32_t java_util_Stack::search(rt::Object* object) {
    rt::MonitorScope lock(this);
    std::int32_t index = lastIndexOf(object, m_elementCount - 1);
    if (rt::exceptionPending())
        return -1;
    return index >= 0 ? size() - index : -1;
}

} // namespace lib
