#pragma once

// `java_lang_Runtime`: the one Runtime object and the device's memory.
//
// Free and total memory are the device's physical memory as the object
// runtime was told it at start-up (`rt::RuntimeOptions::device`), not the
// object heaps; a runtime told nothing answers its own heaps' figures.

#include "runtime/Object.h"

#include <cstdint>

namespace lib {

class java_lang_Runtime final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_lang_Runtime;

    java_lang_Runtime()
        : Object(kClassId) {}

    // The static initialiser: makes the one Runtime object.
    static void staticInit();
    // The one Runtime object (made here if the initialiser has not run).
    static java_lang_Runtime* getRuntime();

    // Available and total physical memory in bytes, zero-extended from 32 bits.
    std::int64_t freeMemory();
    std::int64_t totalMemory();

    RT_NO_REFERENCE_FIELDS(java_lang_Runtime, Object)
};

} // namespace lib
