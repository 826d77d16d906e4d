#pragma once

// `java_lang_Character`: a boxed UTF-16 unit and the character tests. The
// tests know Latin-1 only: letters are 'A'..'Z', 'a'..'z' and the letters of
// 0xC0..0xFF (without 0xD7 and 0xF7); case changes move a letter by 32, so
// `toUpperCase(0xFF)` is 0xDF and `toLowerCase(0xDF)`, which is not upper
// case, stays 0xDF.

#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {

class java_lang_Character final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_lang_Character;

    explicit java_lang_Character(char16_t value)
        : Object(kClassId)
        , m_value(value) {}

    char16_t charValue() const { return m_value; }

    // True for another Character of the same unit.
    bool equals(rt::Object* other) override;
    // The unit.
    std::int32_t hashCode() override { return m_value; }
    // A new one-unit String.
    rt::String* toString() override;

    static bool isLowerCase(char16_t ch);
    static bool isUpperCase(char16_t ch);
    // '0'..'9' only.
    static bool isDigit(char16_t ch);
    static char16_t toLowerCase(char16_t ch);
    static char16_t toUpperCase(char16_t ch);
    // The value of `ch` as a digit of `radix` (2..36), or -1: '0'..'9' count
    // 0..9 and every letter (ch AND 31) + 9, so Latin-1 letters count too.
    static std::int32_t digit(char16_t ch, std::int32_t radix);

    RT_NO_REFERENCE_FIELDS(java_lang_Character, Object)

private:
    char16_t m_value = 0;
};

} // namespace lib
