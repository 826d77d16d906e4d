#pragma once

// Guest exceptions. A throw never unwinds the native stack: it makes the
// exception object pending on the calling thread (`ThreadState`), and every
// caller tests after each call that can throw whether something is pending.
// A method that catches looks the call site up in its catch table; a method
// that does not returns at once with a neutral value, and its caller tests
// again. An exception nobody catches stays pending until the thread's run
// ends, where `runThreadBody` logs and clears it.
//
// The idiom for library and game code written by hand:
//
//     std::int32_t java_util_Vector::indexAt(std::int32_t index) {
//         if (index >= m_count)
//             return rt::raise(ClassId::java_lang_ArrayIndexOutOfBoundsException);
//         ...
//     }
//     Object* element = vector->elementAt(3);
//     if (rt::exceptionPending())
//         return nullptr;                                 // not caught here: pass it on
//     if (Object* caught = rt::catchException(ClassId::java_io_IOException)) {
//         ...                                             // caught: no longer pending
//     }
//     rt::MonitorScope lock(this);                        // a synchronized body (runtime/Monitor.h)
//
// Code in the translated style keeps the catch-table form: `checkException(site)`
// after each call and `dispatchCatch(table)` to pick the handler.
//
// The exception classes belong to the class library. It registers, once at
// start-up and before other threads run, the hooks through which the runtime
// makes throwables by class id and records their stack traces
// (`Runtime::setThrowableHooks`). Until it has, `raise` by class id logs that
// it cannot make the exception and leaves nothing pending: a stand-in object
// of the class id would pass every catch row by id while lacking the fields the
// handler reads.

#include "runtime/ClassId.h"
#include "runtime/Forward.h"

#include <cstdint>

namespace rt {

// What the class library registers with the runtime.
struct ThrowableHooks {
    // A new throwable of class `id` carrying `message` (may be null); null when
    // `id` is not an exception class.
    Object* (*newThrowable)(ClassId id, String* message) = nullptr;
    // Stores `trace` in the throwable's stack-trace field.
    void (*setStackTrace)(Object* throwable, String* trace) = nullptr;
};

// One row of a catch table: the exception class caught, and the call sites
// first <= site < end it covers. A table ends with a row whose class id is 0.
struct CatchRow {
    std::int32_t classId;
    std::int32_t firstSite;
    std::int32_t endSite;
};

// Records the calling thread's stack trace in `exception` and makes it the
// thread's pending exception. A null `exception` reports "NullPointer" and
// raises a `java_lang_NullPointerException` instead, as a throw of null does.
void setPendingException(Object* exception);
// The calling thread's pending exception, or null.
Object* getPendingException();
[[nodiscard]] inline bool exceptionPending() {
    return getPendingException() != nullptr;
}
void clearPendingException();

// 1 when an exception is pending, after recording `site` as its call site.
std::int32_t checkException(std::int32_t site);
// The index of the first row whose sites hold the last call site and whose
// class the pending exception belongs to; the exception is then no longer
// pending. -1, leaving it pending, when no row matches or nothing is pending.
std::int32_t dispatchCatch(const CatchRow* table);

// The pending exception when it belongs to class `id` (through the class chain
// or an interface), which is then no longer pending; else null.
Object* catchException(ClassId id);

// A value of any type, zero-initialised: what a method that has just thrown
// answers. `return rt::raise(...)` then works for every non-void result.
struct Neutral {
    template <class T>
    constexpr operator T() const {
        return T{};
    }
};

// Makes a throwable of class `id` through the registered hooks and sets it
// pending. Logs and sets nothing when no hook can make it.
Neutral raise(ClassId id, String* message = nullptr);
Neutral raise(ClassId id, const char* message);
// Sets `exception` pending (as `setPendingException`).
Neutral raise(Object* exception);

// A new `String` of the calling thread's trace text.
String* getStackTrace();

// Pushes `name` on the calling thread's trace stack and answers `result`
// unchanged, so that a call can be wrapped in one expression.
template <class T>
T pushTrace(T result, const char* name);
void pushTrace(const char* name);
void popTrace();

// Runs `runnable` as the body of a runtime thread. When it returns with an
// exception still pending, logs "uncaught exception <class>: <message>" and
// clears it, so that it cannot poison the thread's later checks.
void runThreadBody(java_lang_Runnable& runnable);
// The same report and clearing on their own, for loops that run guest code.
void reportUncaughtException();

template <class T>
T pushTrace(T result, const char* name) {
    pushTrace(name);
    return result;
}

} // namespace rt
