#pragma once

// `java_lang_Double`: a boxed double and the double parser. Conversions to
// int saturate, NaN giving 0 (runtime/javamath.h); `longValue` is the int
// conversion sign-extended, not a 64-bit one. `equals` and `hashCode` stay
// Object's (identity): two Doubles of one value are not equal.

#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {

class java_lang_Double final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_lang_Double;

    explicit java_lang_Double(double value)
        : Object(kClassId)
        , m_value(value) {}

    std::int32_t byteValue() const;
    std::int32_t shortValue() const;
    std::int32_t intValue() const;
    std::int64_t longValue() const;
    float floatValue() const { return static_cast<float>(m_value); }
    double doubleValue() const { return m_value; }

    bool isNaN() const;
    // True for positive and negative infinity only.
    bool isInfinite() const;

    // "%f": six digits after the point, no exponent.
    rt::String* toString() override;

    // A new Double of `atof` of the 8-bit text; a null String logs
    // "java_lang_Double::valueOf(): param0 is NULL, returning 0.0 Double." and gives 0.0.
    static java_lang_Double* valueOf(rt::String* text);
    // `atof` of the 8-bit text; a null String is reported and gives 0.0.
    static double parseDouble(rt::String* text);

    RT_NO_REFERENCE_FIELDS(java_lang_Double, Object)

private:
    double m_value = 0.0;
};

} // namespace lib
