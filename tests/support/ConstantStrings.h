#pragma once

// A small in-memory constant-string table for tests, in place of the one the
// program reads from the resource archive.
//
//     testing_support::installConstantStrings({{rt::constants::kDefaultMessage, "default message"},
//                                              {rt::constants::kArrayIndexMessage, "index "}});
//
// The table is as long as the highest index given plus one; every index not
// given holds one shared empty string. Like the data sets datakit writes, a
// test gives texts only at numbers of the catalogue (runtime/constantStrings.h),
// so it puts each text where the code reads it; any other number fails the test.

#include "runtime/Array.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <gtest/gtest.h>

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
    for (const ConstantString& entry : entries) {
        if (!rt::constants::find(entry.index))
            ADD_FAILURE() << "constant string " << entry.index << " is not in the catalogue";
        length = std::max(length, entry.index + 1);
    }
    rt::ObjectArray* table = rt::newObjectArray(length);
    rt::String* empty = rt::make<rt::String>();
    for (std::int32_t i = 0; i < length; ++i)
        rt::Array::setRef(table, i, empty);
    for (const ConstantString& entry : entries)
        rt::Array::setRef(table, entry.index, rt::String::newFromCString(entry.text));
    rt::getStaticClass().setConstantStrings(table);
}

} // namespace testing_support
