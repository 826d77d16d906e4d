#include "runtime/Thread.h"

#include "host/Log.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/ThreadTable.h"
#include "runtime/Verify.h"
#include "runtime/checks.h"

#include <algorithm>

namespace rt {

namespace {

ThreadTable& table() {
    ThreadTable* threads = Runtime::current().threadTable();
    RT_VERIFY_MSG(threads, "the runtime was made without threads");
    return *threads;
}

} // namespace

java_lang_Thread::java_lang_Thread(Object* target, ClassId classId)
    : Object(classId)
    , m_target(target) {
    // A new thread takes the priority of the thread that makes it.
    java_lang_Thread* creator = currentThread();
    setPriority(creator ? creator->m_priority : NORM_PRIORITY);
}

java_lang_Thread::java_lang_Thread(ZeroFields)
    : Object(kClassId)
    , m_priority(0) {
}

java_lang_Thread::java_lang_Thread(MainThread)
    : Object(kClassId) {
}

void* java_lang_Thread::getInterface(ClassId interfaceId) {
    return interfaceId == ClassId::java_lang_Runnable ? static_cast<java_lang_Runnable*>(this) : nullptr;
}

void java_lang_Thread::run() {
    if (auto* runnable = interfaceOf<java_lang_Runnable>(m_target))
        runnable->run();
}

std::int32_t java_lang_Thread::start() {
    ThreadTable& threads = table();
    auto [slot, taken] = threads.claimThreadSlot(this);
    if (slot >= 0 && !taken)
        return slot;
    if (slot < 0) {
        reportRuntimeError("java_lang_Thread::start(): the thread table is full");
        return -1;
    }
    auto created = threads.threads().create([this] { threadProc(this); });
    if (!created) {
        reportRuntimeError("java_lang_Thread::start(): %s", created.error().message.c_str());
        threads.releaseThreadSlot(this);
        setCollectable(false);
        return -1;
    }
    std::unique_ptr<host::Thread> handle = std::move(created).value();
    host::Thread* raw = handle.get();
    raw->setPriority(std::min(9 - m_priority, 7));
    threads.setSlotHandle(slot, std::move(handle));
    raw->resume();
    return slot;
}

void java_lang_Thread::threadProc(java_lang_Thread* thread) {
    ThreadTable& threads = table();
    threads.attachCurrentThread();
    if (auto* runnable = interfaceOf<java_lang_Runnable>(thread))
        runThreadBody(*runnable);
    threads.releaseThreadSlot(thread);
    threads.detachCurrentThread();
}

void java_lang_Thread::setPriority(std::int32_t priority) {
    if (priority < MIN_PRIORITY || priority > MAX_PRIORITY) {
        raise(ClassId::java_lang_IllegalArgumentException);
        return;
    }
    m_priority = priority;
    setPriority0(priority);
}

std::int32_t java_lang_Thread::setPriority0(std::int32_t priority) {
    Runtime* runtime = Runtime::currentOrNull();
    if (!runtime || !runtime->threadTable())
        return -1;
    ThreadTable& threads = *runtime->threadTable();
    int slot = threads.findThreadSlot(this);
    if (slot < 0)
        return -1;
    host::Thread* handle = threads.slotHandle(slot);
    if (!handle)
        return 0; // the main thread: the host made it, it keeps its priority
    return handle->setPriority(std::min(9 - priority, 7)) ? 1 : 0;
}

bool java_lang_Thread::isAlive() {
    Runtime* runtime = Runtime::currentOrNull();
    return runtime && runtime->threadTable() && runtime->threadTable()->findThreadSlot(this) >= 0;
}

java_lang_Thread* java_lang_Thread::currentThread() {
    Runtime* runtime = Runtime::currentOrNull();
    return runtime && runtime->threadTable() ? runtime->threadTable()->currentThread() : nullptr;
}

std::int32_t java_lang_Thread::activeCount() {
    return table().activeCount();
}

void java_lang_Thread::sleep(std::int64_t milliseconds) {
    if (milliseconds < 0)
        return;
    ThreadTable& threads = table();
    SafeRegion blocking;
    do {
        auto step = static_cast<std::uint32_t>(std::min<std::int64_t>(milliseconds, 0x7FFFFFFF));
        threads.clock().sleep(step);
        milliseconds -= step;
    } while (milliseconds > 0);
}

void java_lang_Thread::yield() {
    sleep(0);
}

} // namespace rt
