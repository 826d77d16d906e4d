#pragma once

// A small in-memory constant-string table for tests, in place of the one the
// program reads from the resource archive.
//
//     testing_support::installConstantStrings({{14, "default message"}, {229, "index "}});
//
// The table is as long as the highest index given plus one; every index not
// given holds one shared empty string.

#include "runtime/Array.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace testing_support {

struct ConstantString {
    std::int32_t index;
    const char* text;
};

inline void installConstantStrings(std::initializer_list<ConstantString> entries) {
    std::int32_t length = 0;
    for (const ConstantString& entry : entries)
        length = std::max(length, entry.index + 1);
    rt::ObjectArray* table = rt::newObjectArray(length);
    rt::String* empty = rt::make<rt::String>();
    for (std::int32_t i = 0; i < length; ++i)
        rt::Array::setRef(table, i, empty);
    for (const ConstantString& entry : entries)
        rt::Array::setRef(table, entry.index, rt::String::newFromCString(entry.text));
    rt::getStaticClass().setConstantStrings(table);
}

} // namespace testing_support
