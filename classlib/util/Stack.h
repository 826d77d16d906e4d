#pragma once

// `java_util_Stack`: last in, first out, on top of `java_util_Vector`. `peek`
// and `pop` on an empty stack set an `EmptyStackException` pending, answer
// null and leave the stack unchanged.

#include "classlib/util/Vector.h"

#include <cstdint>

namespace lib {

class java_util_Stack final : public java_util_Vector {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Stack;

    // Capacity 10, doubling.
    java_util_Stack();

    // Adds `item` on top and answers it.
    rt::Object* push(rt::Object* item);
    // The top element. Synchronized.
    [[nodiscard]] rt::Object* peek();
    // Removes and answers the top element. Synchronized.
    [[nodiscard]] rt::Object* pop();
    bool empty() { return size() == 0; }
    // The distance of `object` from the top (1 for the top), by `equals` of
    // `object`; -1 when absent. Synchronized.
    std::int32_t search(rt::Object* object);

    RT_NO_REFERENCE_FIELDS(java_util_Stack, java_util_Vector)
};

} // namespace lib
