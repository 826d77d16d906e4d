#pragma once

// The class-library test runtime with every constant string that the number,
// system and collection classes quote, and helpers to read what they raised.

#include "classlib/lang/Throwable.h"
#include "runtime/Exceptions.h"
#include "runtime/String.h"
#include "tests/classlib/ClassLibraryFixture.h"

#include <string>

namespace testing_support {

inline constexpr const char* kNegativeCapacityText = "capacity below zero";
inline constexpr const char* kBadBoundText = "bound not positive";
inline constexpr const char* kNoMoreElementsText = "no more elements";

struct LangUtilTest : ClassLibraryTest {
    LangUtilTest() {
        installConstantStrings({{14, kDefaultMessageText},
                                {32, "="},
                                {182, kNegativeCapacityText},
                                {203, kBadBoundText},
                                {204, "{"},
                                {205, ", "},
                                {206, "}"},
                                {207, kNoMoreElementsText},
                                {229, kArrayIndexText},
                                {233, "platform"},
                                {234, "vorlax"},
                                {241, kTrueText},
                                {242, kFalseText}});
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
        auto* pending = static_cast<lib::java_lang_Throwable*>(rt::getPendingException());
        if (!pending)
            return "<nothing pending>";
        return pending->getMessage() ? pending->getMessage()->toUtf8() : "<null>";
    }
};

// The object's text, "<null>" for null.
inline std::string textOf(rt::Object* object) {
    if (!object)
        return "<null>";
    rt::String* text = object->toString();
    return text ? text->toUtf8() : "<null>";
}

} // namespace testing_support
