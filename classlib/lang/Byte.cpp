#include "classlib/lang/Byte.h"

#include "classlib/lang/Integer.h"
#include "runtime/Exceptions.h"

namespace lib {

bool java_lang_Byte::equals(rt::Object* other) {
    return rt::instanceOf(other, kClassId) && static_cast<java_lang_Byte*>(other)->byteValue() == m_value;
}

rt::String* java_lang_Byte::toString() {
    return rt::String::valueOf(static_cast<std::int32_t>(m_value));
}

std::int8_t java_lang_Byte::parseByte(rt::String* text, std::int32_t radix) {
    std::int32_t value = java_lang_Integer::parseInt(text, radix);
    if (value < -128 || value > 127)
        return rt::raise(rt::ClassId::java_lang_NumberFormatException);
    return static_cast<std::int8_t>(value);
}

std::int8_t java_lang_Byte::parseByte(rt::String* text) {
    return parseByte(text, 10);
}

} // namespace lib
