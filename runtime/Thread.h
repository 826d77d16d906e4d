#pragma once

// `java_lang_Thread`: a thread of the profile, run on a host thread entered in
// the runtime's thread table (runtime/ThreadTable.h).
//
// A thread object is never collected while its thread runs: it is made with
// collectable 0 and becomes collectable when its `run()` returns.

#include "runtime/Object.h"

#include <cstdint>

namespace rt {

class ThreadTable;

class java_lang_Thread : public Object, public java_lang_Runnable {
public:
    static constexpr ClassId kClassId = ClassId::java_lang_Thread;
    static constexpr std::int32_t MIN_PRIORITY = 1;
    static constexpr std::int32_t NORM_PRIORITY = 5;
    static constexpr std::int32_t MAX_PRIORITY = 10;

    // A thread that runs its own `run()` (or a subclass's); `target`'s `run()` when given.
    explicit java_lang_Thread(Object* target = nullptr, ClassId classId = kClassId);
    // What `newInstanceById` makes: no target and priority 0, the creator's
    // priority not taken (a constructor the caller runs next sets it).
    struct ZeroFields {};
    explicit java_lang_Thread(ZeroFields);

    // Starts the thread; answers its slot, or -1 when it cannot start (the
    // table is full or the host has no thread to give). A started thread
    // answers its slot again and starts nothing.
    virtual std::int32_t start();
    virtual std::int32_t getPriority() { return m_priority; }
    // Runs the target's `run()`; subclasses override it.
    void run() override;
    void* getInterface(ClassId interfaceId) override;

    // Accepts 1 to 10 (else leaves the priority as it was and reports the error).
    void setPriority(std::int32_t priority);
    // The host priority min(9 - p, 7) for the thread's host thread; -1 when it has no slot.
    std::int32_t setPriority0(std::int32_t priority);
    bool isAlive();

    static java_lang_Thread* currentThread();
    static std::int32_t activeCount();
    // Sleeps the calling thread; a negative time returns at once. The thread
    // counts as stopped for the collector meanwhile.
    static void sleep(std::int64_t milliseconds);
    static void yield();

    Object* target() const { return m_target; }

    RT_REFERENCE_FIELDS(java_lang_Thread, Object, m_target)

private:
    friend class ThreadTable;
    struct MainThread {};
    // The main thread's object, made outside the heaps by the thread table.
    explicit java_lang_Thread(MainThread);

    static void threadProc(java_lang_Thread* thread);

    std::int32_t m_priority = NORM_PRIORITY;
    Object* m_target = nullptr;
};

} // namespace rt
