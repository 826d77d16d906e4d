#pragma once

// `java_lang_Long`: a boxed long, and the long parser and printer. Parsing
// reads like `Integer.parseInt` (never throws, radix 10 only), over the whole
// 64-bit range.

#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {

class java_lang_Long final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_lang_Long;

    explicit java_lang_Long(std::int64_t value)
        : Object(kClassId)
        , m_value(value) {}

    std::int64_t longValue() const { return m_value; }

    // True for another Long of the same value.
    bool equals(rt::Object* other) override;
    // The low 32 bits.
    std::int32_t hashCode() override { return static_cast<std::int32_t>(m_value); }
    // The signed decimal text.
    rt::String* toString() override;

    static rt::String* toString(std::int64_t value);
    static std::int64_t parseLong(rt::String* text);
    static std::int64_t parseLong(rt::String* text, std::int32_t radix);

    RT_NO_REFERENCE_FIELDS(java_lang_Long, Object)

private:
    std::int64_t m_value = 0;
};

} // namespace lib
