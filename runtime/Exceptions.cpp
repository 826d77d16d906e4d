#include "runtime/Exceptions.h"

#include "runtime/Class.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "runtime/ThreadState.h"
#include "runtime/checks.h"

namespace rt {

void setPendingException(Object* exception) {
    if (!exception) {
        reportNullPointer();
        raise(ClassId::java_lang_NullPointerException);
        return;
    }
    if (auto setStackTrace = Runtime::current().throwableHooks().setStackTrace)
        setStackTrace(exception, getStackTrace());
    ThreadState::current().setPendingException(exception);
}

Object* getPendingException() {
    return ThreadState::current().pendingException();
}

void clearPendingException() {
    ThreadState::current().setPendingException(nullptr);
}

std::int32_t checkException(std::int32_t site) {
    ThreadState& state = ThreadState::current();
    if (!state.pendingException())
        return 0;
    state.setLastCallSite(site);
    return 1;
}

std::int32_t dispatchCatch(const CatchRow* table) {
    ThreadState& state = ThreadState::current();
    Object* exception = state.pendingException();
    if (!exception || !table)
        return -1;
    std::int32_t site = state.lastCallSite();
    for (std::int32_t row = 0; table[row].classId != 0; ++row) {
        const CatchRow& entry = table[row];
        if (site >= entry.firstSite && site < entry.endSite && instanceOf(exception, entry.classId)) {
            state.setPendingException(nullptr);
            return row;
        }
    }
    return -1;
}

Object* catchException(ClassId id) {
    ThreadState& state = ThreadState::current();
    Object* exception = state.pendingException();
    if (!exception || !instanceOf(exception, id))
        return nullptr;
    state.setPendingException(nullptr);
    return exception;
}

Neutral raise(ClassId id, String* message) {
    const ThrowableHooks& hooks = Runtime::current().throwableHooks();
    Object* exception = hooks.newThrowable ? hooks.newThrowable(id, message) : nullptr;
    if (!exception) {
        logPrintf("cannot throw %s: no exception class is registered for it",
                  isValidClassId(toInt(id)) ? kClassNames[toInt(id)] : "?");
        return {};
    }
    setPendingException(exception);
    return {};
}

Neutral raise(ClassId id, const char* message) {
    return raise(id, message ? String::newFromCString(message) : nullptr);
}

Neutral raise(Object* exception) {
    setPendingException(exception);
    return {};
}

String* getStackTrace() {
    return String::newFromCString(ThreadState::current().traceText().c_str());
}

void pushTrace(const char* name) {
    ThreadState::current().pushTrace(name);
}

void popTrace() {
    ThreadState::current().popTrace();
}

void runThreadBody(java_lang_Runnable& runnable) {
    runnable.run();
    reportUncaughtException();
}

void reportUncaughtException() {
    Object* exception = getPendingException();
    if (!exception)
        return;
    // The exception stays pending while its text is made, so that a collection
    // meanwhile keeps it.
    const Class* entry = Object::getClass(exception);
    String* message = exception->toString();
    logPrintf("uncaught exception %s: %s", entry ? entry->name() : "?",
              message ? message->toUtf8().c_str() : "null");
    clearPendingException();
}

} // namespace rt
