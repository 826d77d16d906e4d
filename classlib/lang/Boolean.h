#pragma once

// `java_lang_Boolean`: a boxed boolean and the two shared objects for true
// and false, made by the class's static initialiser. Its texts are constant
// strings 241 (true) and 242 (false).

#include "runtime/Object.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

class java_lang_Boolean final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_lang_Boolean;
    static constexpr std::int32_t kTrueText = rt::constants::kTrue;
    static constexpr std::int32_t kFalseText = rt::constants::kFalse;

    java_lang_Boolean()
        : Object(kClassId) {}
    // Any non-zero value is true.
    explicit java_lang_Boolean(std::int32_t value)
        : Object(kClassId)
        , m_value(value != 0 ? 1 : 0) {}

    bool booleanValue() const { return m_value != 0; }

    // True for another Boolean of the same value.
    bool equals(rt::Object* other) override;
    // 1 for true, 0 for false.
    std::int32_t hashCode() override { return m_value; }
    // Constant string 241 or 242.
    rt::String* toString() override;

    // The static initialiser: makes the shared objects, true first. Runs once
    // at start-up; a second run changes nothing.
    static void staticInit();
    // The shared objects (null before `staticInit`).
    static java_lang_Boolean* sharedTrue();
    static java_lang_Boolean* sharedFalse();

    RT_NO_REFERENCE_FIELDS(java_lang_Boolean, Object)

private:
    std::uint8_t m_value = 0;
};

} // namespace lib
