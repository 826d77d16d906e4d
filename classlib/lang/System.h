#pragma once

// `java_lang_System`: the profile's System class, a static façade over the
// object runtime and the device.
//
// Its statics, set once by `staticInit` at start-up and never replaced:
// `out` and `err` (one `PrintStream` over the console stream, which discards
// every byte) and the properties table, a Hashtable holding one entry
// (constant string 233 to constant string 234). Until `staticInit` has run
// they are null. `getProperty` answers from the table and one fixed media
// property; the application's own properties are not among them.

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

class java_io_PrintStream;
class java_util_Hashtable;

class java_lang_System {
public:
    static constexpr std::int32_t kPropertyKey = rt::constants::kPlatformPropertyKey;
    static constexpr std::int32_t kPropertyValue = rt::constants::kPlatformPropertyValue;

    // Copies `length` elements from `src` at `srcPos` to `dst` at `dstPos`,
    // correctly when both are the same array. Null arrays, arrays of different
    // classes and ranges outside either array are reported and copy nothing.
    static void arraycopy(rt::Object* src, std::int32_t srcPos, rt::Object* dst, std::int32_t dstPos,
                          std::int32_t length);

    // The static initialiser. Needs the constant strings.
    static void staticInit();

    // The console `PrintStream`; `err` is the same object as `out`.
    static java_io_PrintStream* out();
    static java_io_PrintStream* err();

    // The properties table.
    static java_util_Hashtable* properties();

    // What a property that is not there answers, here and for the
    // application's own properties: never null.
    static constexpr const char* kPropertyValueEmpty = "PROPERTY VALUE EMPTY";
    // A new String "1.0" for the whole key "microedition.media.version"; else
    // the key's value in the properties table; else a new String "PROPERTY
    // VALUE EMPTY" (also for the empty key, and for a null one, which is reported).
    static rt::String* getProperty(rt::String* key);

    // Milliseconds since the process started, from the host's 32-bit tick:
    // zero-extended, so it wraps to 0 after 2^32 ms. Not a wall-clock time.
    // 0 in a runtime without a clock.
    static std::int64_t currentTimeMillis();

    // Asks for an ordinary collection, which the collector skips when the
    // last one ran less than two seconds ago.
    static void gc();
};

} // namespace lib
