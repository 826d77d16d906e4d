#pragma once

// `java_lang_Byte`: a boxed byte and the byte parser, the one parser that
// throws: a number outside -128..127 sets a `NumberFormatException` pending.

#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {

class java_lang_Byte final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_lang_Byte;

    explicit java_lang_Byte(std::int8_t value)
        : Object(kClassId)
        , m_value(value) {}

    std::int8_t byteValue() const { return m_value; }

    // True for another Byte of the same value.
    bool equals(rt::Object* other) override;
    // The value sign-extended.
    std::int32_t hashCode() override { return m_value; }
    // The decimal text.
    rt::String* toString() override;

    // `Integer.parseInt(text, radix)` when it lies in -128..127; otherwise a
    // `NumberFormatException` (no message) is pending and the result is 0.
    [[nodiscard]] static std::int8_t parseByte(rt::String* text, std::int32_t radix);
    [[nodiscard]] static std::int8_t parseByte(rt::String* text);

    RT_NO_REFERENCE_FIELDS(java_lang_Byte, Object)

private:
    std::int8_t m_value = 0;
};

} // namespace lib
