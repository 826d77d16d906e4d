#include "classlib/lang/Long.h"

#include "classlib/lang/Integer.h"
#include "classlib/lang/numbertext.h"
#include "runtime/checks.h"

#include <limits>

namespace lib {

bool java_lang_Long::equals(rt::Object* other) {
    return rt::instanceOf(other, kClassId) && static_cast<java_lang_Long*>(other)->longValue() == m_value;
}

rt::String* java_lang_Long::toString() {
    return toString(m_value);
}

rt::String* java_lang_Long::toString(std::int64_t value) {
    return rt::String::valueOf(value);
}

std::int64_t java_lang_Long::parseLong(rt::String* text) {
    if (!text) {
        rt::reportNullPointer();
        return 0;
    }
    return parseDecimalPrefix(eightBitText(text), std::numeric_limits<std::int64_t>::min(),
                              std::numeric_limits<std::int64_t>::max());
}

std::int64_t java_lang_Long::parseLong(rt::String* text, std::int32_t radix) {
    checkDecimalRadix(radix);
    return parseLong(text);
}

} // namespace lib
