#pragma once

// `ThreadState`: the words of the runtime that belong to one thread: the
// pending exception, the call site at which it was last seen, and the trace
// stack of method names that the error report prints.
//
// Every thread that runs guest code has one. It is made the first time the
// thread asks for it (`ThreadState::current()`) and registered with the running
// `Runtime`, whose collector visits every registered thread's pending
// exception as a root (`ThreadStateRegistry` is one of its root sources). The state is unregistered when its
// thread ends. When the runtime ends first, it detaches every state and clears its words (the objects they
// named died with the heaps); a thread that asks again later is attached to whatever runtime is running then.
//
// Threads: the words are read and written only by their own thread, except
// that the collector reads and rewrites the pending slots while every other
// runtime thread is stopped. Registration takes one process-wide lock, which
// is also held while the collector visits the slots; nothing allocates from
// the guest heaps or blocks while holding it.

#include "runtime/Forward.h"
#include "runtime/ObjectManager.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace rt {

class ThreadStateRegistry;

class ThreadState {
public:
    // Names the trace stack keeps; deeper pushes are counted but not stored.
    static constexpr std::int32_t kTraceCapacity = 256;
    // The trace text is cut to this many bytes, its terminator included.
    static constexpr std::size_t kTraceTextCapacity = 512;

    ThreadState() = default;
    ~ThreadState();
    ThreadState(const ThreadState&) = delete;
    ThreadState& operator=(const ThreadState&) = delete;

    // The calling thread's state, attached to the running runtime (made and
    // registered on first use).
    static ThreadState& current();

    Object* pendingException() const { return m_pendingException; }
    void setPendingException(Object* exception) { m_pendingException = exception; }
    std::int32_t lastCallSite() const { return m_lastCallSite; }
    void setLastCallSite(std::int32_t site) { m_lastCallSite = site; }

    // Pushes a method name (a string with static storage duration).
    void pushTrace(const char* name);
    // Pops the most recent name; nothing when the stack is empty.
    void popTrace();
    // Names pushed and not yet popped, stored or not.
    std::int32_t traceDepth() const { return m_traceDepth; }
    // The stored names, oldest first.
    std::span<const char* const> traceNames() const;
    // "stacktrace:\n", then each stored name from the most recent to the
    // oldest followed by "\n"; at most kTraceTextCapacity - 1 bytes.
    std::string traceText() const;

private:
    friend class ThreadStateRegistry;

    void attach(ThreadStateRegistry* registry);
    void clearWords();

    Object* m_pendingException = nullptr;
    std::int32_t m_lastCallSite = 0;
    std::int32_t m_traceDepth = 0;
    std::array<const char*, kTraceCapacity> m_trace{};
    // The registry of the runtime this state is registered with, or null.
    // Written under the registration lock; read without it by the own thread.
    std::atomic<ThreadStateRegistry*> m_registry{nullptr};
};

// The states of the threads that use one runtime. The runtime owns it and
// registers it with its collector, to which it hands every pending exception.
class ThreadStateRegistry final : public RootSource {
public:
    ThreadStateRegistry() = default;
    // Detaches every state still registered (clearing its words).
    ~ThreadStateRegistry() override;
    ThreadStateRegistry(const ThreadStateRegistry&) = delete;
    ThreadStateRegistry& operator=(const ThreadStateRegistry&) = delete;

    // Calls `visit(Object*& slot)` with the pending-exception slot of every
    // registered thread, under the registration lock. The collector marks from
    // the slot's value; the other threads must be stopped.
    template <class Visit>
    void forEachPendingException(Visit&& visit) {
        std::lock_guard guard(registrationLock());
        for (ThreadState* state : m_states)
            visit(state->m_pendingException);
    }

    // Each pending exception, as a root of kind `PendingException`.
    void visitRoots(RootVisitor& visitor) override;

    std::size_t size() const;

private:
    friend class ThreadState;

    // The one process-wide lock of every registry and every state's link.
    static std::mutex& registrationLock();
    void addLocked(ThreadState* state);
    void removeLocked(ThreadState* state);

    std::vector<ThreadState*> m_states;
};

} // namespace rt
