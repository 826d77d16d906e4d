#pragma once

// A small runtime for class-library tests: stand-in exception classes, and
// constant strings 0..255 whose texts are "#<index>" except the ones the
// library's texts are checked against.

#include "runtime/Array.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "tests/support/RuntimeFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

namespace testing_support {

inline const std::map<std::int32_t, std::string>& libraryConstantTexts() {
    static const std::map<std::int32_t, std::string> texts = {
        {32, "="},    {204, "{"},   {205, ", "}, {206, "}"},        {207, "no more elements"},
        {229, "at "}, {241, "yes"}, {242, "no"}, {233, "platform"}, {234, "vorlax"},
    };
    return texts;
}

inline void installLibraryConstantStrings() {
    constexpr std::int32_t kCount = 256;
    rt::ObjectArray* strings = rt::newObjectArray(kCount);
    for (std::int32_t i = 0; i < kCount; ++i) {
        auto known = libraryConstantTexts().find(i);
        std::string text = known != libraryConstantTexts().end() ? known->second : "#" + std::to_string(i);
        strings->elements()[i] = rt::String::newFromCString(text.c_str());
    }
    rt::getStaticClass().setConstantStrings(strings);
}

// Text of a string, "<null>" for null.
inline std::string textOf(rt::Object* object) {
    if (!object)
        return "<null>";
    rt::String* text = object->toString();
    return text ? text->toUtf8() : "<null>";
}

struct LibraryTest : ::testing::Test {
    rt::Runtime runtime{rt::RuntimeOptions{4 << 20, 4 << 20}};

    LibraryTest() {
        installTestThrowables(runtime);
        installLibraryConstantStrings();
    }

    // The class of the pending exception, which is then cleared; Object when
    // nothing is pending.
    static rt::ClassId takePending() {
        rt::Object* pending = rt::getPendingException();
        if (!pending)
            return rt::ClassId::Object;
        rt::clearPendingException();
        return pending->classId();
    }
    // The message of the pending exception (which stays pending).
    static std::string pendingMessage() {
        auto* pending = static_cast<TestThrowable*>(rt::getPendingException());
        return pending ? textOf(pending->m_message) : "<nothing pending>";
    }
};

} // namespace testing_support
