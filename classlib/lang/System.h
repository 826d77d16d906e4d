#pragma once

// `java_lang_System`: the profile's System class.

#include "runtime/Array.h"

#include <cstdint>

namespace lib {

class java_lang_System {
public:
    // Copies `length` elements from `src` at `srcPos` to `dst` at `dstPos`,
    // correctly when both are the same array. Null arrays, arrays of different
    // classes and ranges outside either array are reported and copy nothing.
    static void arraycopy(rt::Object* src, std::int32_t srcPos, rt::Object* dst, std::int32_t dstPos,
                          std::int32_t length);
};

} // namespace lib
