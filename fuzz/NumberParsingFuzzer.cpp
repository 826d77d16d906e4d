// Parses the input (bytes taken as UTF-16 units, two at a time) as an int, a
// long, a byte and a double, checking what the parsers promise: they never
// throw, whatever the text; a number parsed once reads back as itself from
// its own decimal text; and `Double.valueOf` holds what `parseDouble` answers.

#include "classlib/ClassLibrary.h"
#include "classlib/lang/Byte.h"
#include "classlib/lang/Double.h"
#include "classlib/lang/Integer.h"
#include "classlib/lang/Long.h"
#include "fuzz/Harness.h"
#include "runtime/Array.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using fuzzing::check;

bool sameDouble(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 512)
        return 0;
    {
        fuzzing::QuietLog quiet;
        // Held only by this frame, which no collection scans; the heaps are
        // large enough for what one input makes.
        rt::Runtime runtime{rt::RuntimeOptions{1 << 18, 1 << 18}};
        lib::installClassLibrary(runtime);
        // A parse that fails makes an exception, whose message is the
        // default one: the program always has its constant strings.
        rt::ObjectArray* constants = rt::newObjectArray(rt::constants::kDefaultMessage + 1);
        for (std::int32_t i = 0; i < constants->length(); ++i)
            rt::Array::setRef(constants, i, rt::String::newFromCString(""));
        runtime.staticClass().setConstantStrings(constants);
        auto units = static_cast<std::int32_t>(size / 2);
        rt::CharArray* chars = rt::newCharArray(units);
        for (std::int32_t i = 0; i < units; ++i)
            chars->elements()[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
        rt::String* text = rt::String::valueOf(chars, 0, units);

        std::int32_t asInt = lib::java_lang_Integer::parseInt(text);
        check(!rt::exceptionPending());
        check(lib::java_lang_Integer::parseInt(lib::java_lang_Integer::toString(asInt)) == asInt);
        check(lib::java_lang_Integer::valueOf(text)->intValue() == asInt);

        std::int64_t asLong = lib::java_lang_Long::parseLong(text);
        check(!rt::exceptionPending());
        check(lib::java_lang_Long::parseLong(lib::java_lang_Long::toString(asLong)) == asLong);

        std::int8_t asByte = lib::java_lang_Byte::parseByte(text);
        if (rt::exceptionPending()) {
            rt::clearPendingException();
            check(asByte == 0);
        } else {
            check(asByte == asInt);
        }

        double asDouble = lib::java_lang_Double::parseDouble(text);
        check(!rt::exceptionPending());
        check(sameDouble(lib::java_lang_Double::valueOf(text)->doubleValue(), asDouble));
    }
    return 0;
}
