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
        installConstantStrings({{rt::constants::kDefaultMessage, kDefaultMessageText},
                                {rt::constants::kHashtableKeyValue, "="},
                                {rt::constants::kNegativeCapacity, kNegativeCapacityText},
                                {rt::constants::kBadRandomBound, kBadBoundText},
                                {rt::constants::kHashtableOpen, "{"},
                                {rt::constants::kHashtableEntrySeparator, ", "},
                                {rt::constants::kHashtableClose, "}"},
                                {rt::constants::kNoMoreElements, kNoMoreElementsText},
                                {rt::constants::kArrayIndexMessage, kArrayIndexText},
                                {rt::constants::kPlatformPropertyKey, "platform"},
                                {rt::constants::kPlatformPropertyValue, "vorlax"},
                                {rt::constants::kTrue, kTrueText},
                                {rt::constants::kFalse, kFalseText}});
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
