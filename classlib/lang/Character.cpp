#include "classlib/lang/Character.h"

namespace lib {

bool java_lang_Character::equals(rt::Object* other) {
    return rt::instanceOf(other, kClassId) &&
           static_cast<java_lang_Character*>(other)->charValue() == m_value;
}

rt::String* java_lang_Character::toString() {
    return rt::String::valueOf(m_value);
}

bool java_lang_Character::isLowerCase(char16_t ch) {
    return (ch >= u'a' && ch <= u'z') || (ch >= 0xDF && ch <= 0xF6) || (ch >= 0xF8 && ch <= 0xFF);
}

bool java_lang_Character::isUpperCase(char16_t ch) {
    return (ch >= u'A' && ch <= u'Z') || (ch >= 0xC0 && ch <= 0xD6) || (ch >= 0xD8 && ch <= 0xDE);
}

bool java_lang_Character::isDigit(char16_t ch) {
    return ch >= u'0' && ch <= u'9';
}

char16_t java_lang_Character::toLowerCase(char16_t ch) {
    return isUpperCase(ch) ? static_cast<char16_t>(ch + 32) : ch;
}

char16_t java_lang_Character::toUpperCase(char16_t ch) {
    return isLowerCase(ch) ? static_cast<char16_t>(ch - 32) : ch;
}

std::int32_t java_lang_Character::digit(char16_t ch, std::int32_t radix) {
    if (radix < 2 || radix > 36)
        return -1;
    std::int32_t value = -1;
    if (isDigit(ch))
        value = ch - u'0';
    else if (isUpperCase(ch) || isLowerCase(ch))
        value = (ch & 31) + 9;
    return value < radix ? value : -1;
}

} // namespace lib
