#pragma once

// `java_lang_Float`: a boxed float. The program makes none; the class exists
// for its int conversion, which saturates and gives 0 for NaN.

#include "runtime/Object.h"
#include "runtime/javamath.h"

#include <cstdint>

namespace lib {

class java_lang_Float final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_lang_Float;

    explicit java_lang_Float(float value)
        : Object(kClassId)
        , m_value(value) {}

    float floatValue() const { return m_value; }
    std::int32_t intValue() const { return rt::f2i(m_value); }

    RT_NO_REFERENCE_FIELDS(java_lang_Float, Object)

private:
    float m_value = 0.0f;
};

} // namespace lib
