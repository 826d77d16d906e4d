#pragma once

// The throwable classes of the profile, rooted at `java_lang_Throwable`.
//
// Every class of the tree has the same two fields (the message and the stack
// trace, both `String`s or null) and the same virtual operations, so one C++
// class serves all of them; an object's class id says which exception it is,
// and catch rows match that id through the class table's super-class chain
// (an `EOFException` is caught as an `IOException`, an `Exception`, a
// `Throwable`). Making one: `newThrowable(id)` runs the () constructor,
// `newThrowable(id, message)` the (String) one, and
// `newArrayIndexOutOfBoundsException(index)` the (int) one. Throwing one:
//
//     return rt::raise(ClassId::java_io_EOFException);                  // (): the default message
//     return rt::raise(ClassId::java_lang_IllegalStateException, text); // (String), text not null
//     return rt::raise(lib::newArrayIndexOutOfBoundsException(index));
//
// The stack trace is null until the object is thrown; `rt::setPendingException`
// then stores the throwing thread's trace text in it through the hooks that
// `installThrowables` registers.

#include "runtime/Object.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

class java_lang_Throwable final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_lang_Throwable;
    // The constant string every () constructor takes as the message.
    static constexpr std::int32_t kDefaultMessage = rt::constants::kDefaultMessage;
    // The constant string in front of the index of `ArrayIndexOutOfBoundsException(int)`.
    static constexpr std::int32_t kArrayIndexMessage = rt::constants::kArrayIndexMessage;

    // (): the message is constant string 14. `id` must be a class of the tree.
    explicit java_lang_Throwable(rt::ClassId id = kClassId);
    // (String): the message as given; null stays null.
    java_lang_Throwable(rt::ClassId id, rt::String* message);

    rt::String* getMessage() const { return m_message; }
    // The trace text of the throw, or null for a throwable never thrown.
    rt::String* stackTrace() const { return m_stackTrace; }
    void setStackTrace(rt::String* trace) { m_stackTrace = trace; }

    // The message alone (no class name in front); null when the message is.
    rt::String* toString() override { return m_message; }

    // Prints the stack trace and a line feed on `System.err`. Nothing raised
    // while printing escapes.
    void printStackTrace();

    RT_REFERENCE_FIELDS(java_lang_Throwable, Object, m_message, m_stackTrace)

private:
    rt::String* m_message = nullptr;
    rt::String* m_stackTrace = nullptr;
};

// Whether `id` is `java_lang_Throwable` or one of its subclasses.
bool isThrowableClass(rt::ClassId id);

// A new throwable of class `id` made by its () constructor.
java_lang_Throwable* newThrowable(rt::ClassId id);
// A new throwable of class `id` made by its (String) constructor.
java_lang_Throwable* newThrowable(rt::ClassId id, rt::String* message);
// `java_lang_ArrayIndexOutOfBoundsException(int index)`: the message is
// constant string 229 followed by the decimal index.
java_lang_Throwable* newArrayIndexOutOfBoundsException(std::int32_t index);

// Registers the runtime's throwable hooks (a raise by class id runs the ()
// constructor, or the (String) one when it carries a message) and the
// factories of the exception classes that `newInstanceById` can make.
void installThrowables(rt::Runtime& runtime);

} // namespace lib
