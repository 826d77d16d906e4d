#pragma once

// `java_lang_Integer`: a boxed int, and the int parsers and printers.
//
// Parsing never throws: it reads like `atoi` (classlib/lang/numbertext.h), so
// text without a leading number gives 0 and a value beyond the int range
// saturates. Only radix 10 exists: another radix is logged ("base == 10") and
// read as 10. A null String is reported as a null reference and gives 0.

#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {

class java_lang_Integer final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_lang_Integer;

    java_lang_Integer()
        : Object(kClassId) {}
    explicit java_lang_Integer(std::int32_t value)
        : Object(kClassId)
        , m_value(value) {}

    // The low 8 or 16 bits sign-extended; the value; the value sign-extended.
    std::int32_t byteValue() const;
    std::int32_t shortValue() const;
    std::int32_t intValue() const { return m_value; }
    std::int64_t longValue() const { return m_value; }

    // True for another Integer of the same value.
    bool equals(rt::Object* other) override;
    // The value.
    std::int32_t hashCode() override { return m_value; }
    // The decimal text.
    rt::String* toString() override;

    // "%d".
    static rt::String* toString(std::int32_t value);
    // The 32 bits in lower-case hexadecimal, no prefix, no leading zeros.
    static rt::String* toHexString(std::int32_t value);
    // The 32 bits in binary, no leading zeros; "0" for 0.
    static rt::String* toBinaryString(std::int32_t value);

    static std::int32_t parseInt(rt::String* text);
    static std::int32_t parseInt(rt::String* text, std::int32_t radix);
    // A new Integer of `parseInt(text)`; of 0 for a null String (not reported).
    static java_lang_Integer* valueOf(rt::String* text);

    RT_NO_REFERENCE_FIELDS(java_lang_Integer, Object)

private:
    std::int32_t m_value = 0;
};

// Logs "base == 10" and the stack trace when `radix` is not 10.
void checkDecimalRadix(std::int32_t radix);

} // namespace lib
