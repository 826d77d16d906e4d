#pragma once

// `java_util_Enumeration`: the view through which a collection's contents are
// walked, reached with `rt::interfaceOf<java_util_Enumeration>(object)`.

#include "runtime/Object.h"

namespace lib {

class java_util_Enumeration {
public:
    static constexpr rt::ClassId kInterfaceId = rt::ClassId::java_util_Enumeration;

    virtual bool hasMoreElements() = 0;
    // The next element; when none remains, a `NoSuchElementException` is
    // pending and the result is null.
    [[nodiscard]] virtual rt::Object* nextElement() = 0;

protected:
    ~java_util_Enumeration() = default;
};

} // namespace lib
