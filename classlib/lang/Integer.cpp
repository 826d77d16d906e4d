#include "classlib/lang/Integer.h"

#include "classlib/lang/numbertext.h"
#include "runtime/checks.h"
#include "runtime/javamath.h"

#include <cstdio>
#include <limits>

namespace lib {

void checkDecimalRadix(std::int32_t radix) {
    if (radix != 10)
        rt::reportRuntimeError("base == 10");
}

std::int32_t java_lang_Integer::byteValue() const {
    return rt::i2b(m_value);
}

std::int32_t java_lang_Integer::shortValue() const {
    return rt::i2s(m_value);
}

bool java_lang_Integer::equals(rt::Object* other) {
    return rt::instanceOf(other, kClassId) && static_cast<java_lang_Integer*>(other)->intValue() == m_value;
}

rt::String* java_lang_Integer::toString() {
    return toString(m_value);
}

rt::String* java_lang_Integer::toString(std::int32_t value) {
    return rt::String::valueOf(value);
}

rt::String* java_lang_Integer::toHexString(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
    return rt::String::newFromCString(text);
}

rt::String* java_lang_Integer::toBinaryString(std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    char text[33];
    int length = 0;
    for (int bit = 31; bit >= 0; --bit) {
        bool set = (bits >> bit) & 1u;
        if (set || length > 0 || bit == 0)
            text[length++] = set ? '1' : '0';
    }
    text[length] = '\0';
    return rt::String::newFromCString(text);
}

std::int32_t java_lang_Integer::parseInt(rt::String* text) {
    if (!text) {
        rt::reportNullPointer();
        return 0;
    }
    return static_cast<std::int32_t>(parseDecimalPrefix(eightBitText(text),
                                                        std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max()));
}

std::int32_t java_lang_Integer::parseInt(rt::String* text, std::int32_t radix) {
    checkDecimalRadix(radix);
    return parseInt(text);
}

java_lang_Integer* java_lang_Integer::valueOf(rt::String* text) {
    return rt::make<java_lang_Integer>(text ? parseInt(text) : 0);
}

} // namespace lib
