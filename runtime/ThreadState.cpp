#include "runtime/ThreadState.h"

#include "runtime/Runtime.h"

#include <algorithm>

namespace rt {

ThreadState::~ThreadState() {
    // The thread is ending: leave the registry of the runtime it used, if that
    // runtime still runs.
    std::lock_guard guard(ThreadStateRegistry::registrationLock());
    if (ThreadStateRegistry* registry = m_registry.load(std::memory_order_relaxed))
        registry->removeLocked(this);
}

ThreadState& ThreadState::current() {
    thread_local ThreadState t_state;
    Runtime* runtime = Runtime::currentOrNull();
    ThreadStateRegistry* wanted = runtime ? &runtime->threadStates() : nullptr;
    if (t_state.m_registry.load(std::memory_order_acquire) != wanted)
        t_state.attach(wanted);
    return t_state;
}

void ThreadState::attach(ThreadStateRegistry* registry) {
    std::lock_guard guard(ThreadStateRegistry::registrationLock());
    if (ThreadStateRegistry* previous = m_registry.load(std::memory_order_relaxed))
        previous->removeLocked(this);
    // Words left from another runtime name objects that no longer exist.
    clearWords();
    if (registry)
        registry->addLocked(this);
    m_registry.store(registry, std::memory_order_release);
}

void ThreadState::clearWords() {
    m_pendingException = nullptr;
    m_lastCallSite = 0;
    m_traceDepth = 0;
}

void ThreadState::pushTrace(const char* name) {
    if (m_traceDepth < kTraceCapacity)
        m_trace[static_cast<std::size_t>(m_traceDepth)] = name;
    ++m_traceDepth;
}

void ThreadState::popTrace() {
    if (m_traceDepth > 0)
        --m_traceDepth;
}

std::span<const char* const> ThreadState::traceNames() const {
    auto stored = static_cast<std::size_t>(std::min(m_traceDepth, kTraceCapacity));
    return std::span<const char* const>(m_trace.data(), stored);
}

std::string ThreadState::traceText() const {
    constexpr std::size_t kLimit = kTraceTextCapacity - 1;
    std::string text = "stacktrace:\n";
    auto names = traceNames();
    for (auto name = names.rbegin(); name != names.rend() && text.size() < kLimit; ++name) {
        text.append(*name ? *name : "?");
        text.push_back('\n');
    }
    if (text.size() > kLimit)
        text.resize(kLimit);
    return text;
}

ThreadStateRegistry::~ThreadStateRegistry() {
    std::lock_guard guard(registrationLock());
    for (ThreadState* state : m_states) {
        state->clearWords();
        state->m_registry.store(nullptr, std::memory_order_release);
    }
    m_states.clear();
}

std::mutex& ThreadStateRegistry::registrationLock() {
    static std::mutex s_lock;
    return s_lock;
}

void ThreadStateRegistry::visitRoots(RootVisitor& visitor) {
    forEachPendingException([&](Object*& slot) { visitor.visitObject(slot, RootKind::PendingException); });
}

std::size_t ThreadStateRegistry::size() const {
    std::lock_guard guard(registrationLock());
    return m_states.size();
}

void ThreadStateRegistry::addLocked(ThreadState* state) {
    m_states.push_back(state);
}

void ThreadStateRegistry::removeLocked(ThreadState* state) {
    std::erase(m_states, state);
}

} // namespace rt
