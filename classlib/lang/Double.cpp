#include "classlib/lang/Double.h"

#include "classlib/lang/numbertext.h"
#include "runtime/checks.h"
#include "runtime/javamath.h"

#include <cmath>

namespace lib {

std::int32_t java_lang_Double::byteValue() const {
    return rt::i2b(intValue());
}

std::int32_t java_lang_Double::shortValue() const {
    return rt::i2s(intValue());
}

std::int32_t java_lang_Double::intValue() const {
    return rt::d2i(m_value);
}

std::int64_t java_lang_Double::longValue() const {
    return intValue();
}

bool java_lang_Double::isNaN() const {
    return std::isnan(m_value);
}

bool java_lang_Double::isInfinite() const {
    return std::isinf(m_value);
}

rt::String* java_lang_Double::toString() {
    return rt::String::valueOf(m_value);
}

java_lang_Double* java_lang_Double::valueOf(rt::String* text) {
    if (!text) {
        rt::logPrintf("java_lang_Double::valueOf(): param0 is NULL, returning 0.0 Double.\n");
        return rt::make<java_lang_Double>(0.0);
    }
    return rt::make<java_lang_Double>(parseDoublePrefix(eightBitText(text)));
}

double java_lang_Double::parseDouble(rt::String* text) {
    if (!text) {
        rt::reportNullPointer();
        return 0.0;
    }
    return parseDoublePrefix(eightBitText(text));
}

} // namespace lib
