#include "classlib/lang/Throwable.h"

#include "classlib/io/PrintStream.h"
#include "classlib/lang/StringBuffer.h"
#include "runtime/Class.h"
#include "runtime/ClassTable.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/Verify.h"

#include <cstddef>
#include <utility>

namespace lib {

namespace {

// What `newInstanceById` makes of an exception class: both fields null.
template <std::uint16_t Id>
rt::Object* makeBlankThrowable() {
    return rt::makeAs<java_lang_Throwable>(static_cast<rt::ClassId>(Id), nullptr);
}

template <std::size_t... I>
void registerThrowableFactories(rt::ClassTable& classes, std::index_sequence<I...>) {
    constexpr auto& ids = rt::kInstantiableClassIds;
    auto registerOne = [&classes](std::uint16_t id, rt::Class::Factory factory) {
        if (isThrowableClass(static_cast<rt::ClassId>(id)))
            classes.setFactory(static_cast<rt::ClassId>(id), factory);
    };
    (registerOne(ids[I], &makeBlankThrowable<ids[I]>), ...);
}

rt::Object* newThrowableHook(rt::ClassId id, rt::String* message) {
    if (!isThrowableClass(id))
        return nullptr;
    return message ? newThrowable(id, message) : newThrowable(id);
}

void setStackTraceHook(rt::Object* throwable, rt::String* trace) {
    // Anything can be thrown; only a throwable has a field for the trace.
    if (rt::instanceOf(throwable, rt::ClassId::java_lang_Throwable))
        static_cast<java_lang_Throwable*>(throwable)->setStackTrace(trace);
}

} // namespace

bool isThrowableClass(rt::ClassId id) {
    return rt::isSubclassOf(rt::toInt(id), rt::toInt(rt::ClassId::java_lang_Throwable));
}

java_lang_Throwable::java_lang_Throwable(rt::ClassId id)
    : Object(id) {
    RT_VERIFY_MSG(isThrowableClass(id), "a throwable needs a class of the exception tree");
    m_message = rt::getStaticClass().getConstantString(kDefaultMessage);
}

java_lang_Throwable::java_lang_Throwable(rt::ClassId id, rt::String* message)
    : Object(id)
    , m_message(message) {
    RT_VERIFY_MSG(isThrowableClass(id), "a throwable needs a class of the exception tree");
}

void java_lang_Throwable::printStackTrace() {
    bool wasPending = rt::exceptionPending();
    ensureSystemStream()->println(m_stackTrace);
    if (!wasPending && rt::exceptionPending())
        rt::clearPendingException();
}

java_lang_Throwable* newThrowable(rt::ClassId id) {
    return rt::makeAs<java_lang_Throwable>(id);
}

java_lang_Throwable* newThrowable(rt::ClassId id, rt::String* message) {
    return rt::makeAs<java_lang_Throwable>(id, message);
}

java_lang_Throwable* newArrayIndexOutOfBoundsException(std::int32_t index) {
    auto* text = rt::make<StringBuffer>(16);
    text->append(rt::getStaticClass().getConstantString(java_lang_Throwable::kArrayIndexMessage));
    text->append(index);
    return newThrowable(rt::ClassId::java_lang_ArrayIndexOutOfBoundsException, text->toString());
}

void installThrowables(rt::Runtime& runtime) {
    rt::ThrowableHooks hooks;
    hooks.newThrowable = &newThrowableHook;
    hooks.setStackTrace = &setStackTraceHook;
    runtime.setThrowableHooks(hooks);
    registerThrowableFactories(runtime.classTable(),
                               std::make_index_sequence<rt::kInstantiableClassIds.size()>());
}

} // namespace lib
