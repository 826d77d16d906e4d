#include "runtime/Monitor.h"

#include "runtime/Object.h"
#include "runtime/Runtime.h"
#include "runtime/ThreadTable.h"
#include "runtime/Verify.h"
#include "runtime/checks.h"

#include <array>
#include <atomic>
#include <deque>
#include <list>
#include <mutex>

namespace rt {

// A thread waiting for a monitor, on its own stack.
struct MonitorWaiter {
    enum class State : std::uint8_t {
        Waiting,  // in `wait`, not yet notified
        Entering, // queued to own the monitor
        Owner,    // handed the monitor
    };
    ThreadRecord* thread;
    State state;
    std::int32_t count; // the levels it will hold once it owns the monitor
};

struct Monitor {
    std::mutex guard; // held only for short sections, never across a host call
    ThreadRecord* owner = nullptr;
    std::int32_t count = 0;
    std::deque<MonitorWaiter*> entering;
    std::list<MonitorWaiter*> waiting;
    std::uint32_t nextFree = 0; // pool link while unused

    // Gives the monitor to the first thread that wants it, or frees it.
    // Answers the thread to wake, which the caller wakes after unlocking.
    ThreadRecord* handOff() {
        if (entering.empty()) {
            owner = nullptr;
            count = 0;
            return nullptr;
        }
        MonitorWaiter* next = entering.front();
        entering.pop_front();
        next->state = MonitorWaiter::State::Owner;
        owner = next->thread;
        count = next->count;
        return next->thread;
    }
};

// ---- The pool --------------------------------------------------------------------

struct MonitorPool::Impl {
    static constexpr std::uint32_t kChunkSize = 256;
    static constexpr std::uint32_t kMaxChunks = 16384;

    Monitor& at(std::uint32_t number) {
        return chunks[(number - 1) / kChunkSize].load(std::memory_order_acquire)[(number - 1) % kChunkSize];
    }

    std::array<std::atomic<Monitor*>, kMaxChunks> chunks{};
    std::mutex lock;
    std::uint32_t chunkCount = 0;
    std::uint32_t freeHead = 0;
    std::size_t inUse = 0;
};

MonitorPool::MonitorPool()
    : m_impl(std::make_unique<Impl>()) {
}

MonitorPool::~MonitorPool() {
    for (std::uint32_t i = 0; i < m_impl->chunkCount; ++i)
        delete[] m_impl->chunks[i].load();
}

Monitor* MonitorPool::monitorOf(Object* object, bool create) {
    std::atomic_ref<std::uint32_t> number(object->m_monitor);
    if (std::uint32_t n = number.load(std::memory_order_acquire))
        return &m_impl->at(n);
    if (!create)
        return nullptr;
    std::lock_guard guard(m_impl->lock);
    if (std::uint32_t n = number.load(std::memory_order_acquire))
        return &m_impl->at(n);
    if (!m_impl->freeHead) {
        RT_VERIFY_MSG(m_impl->chunkCount < Impl::kMaxChunks, "monitor pool exhausted");
        auto* chunk = new Monitor[Impl::kChunkSize];
        std::uint32_t first = m_impl->chunkCount * Impl::kChunkSize + 1;
        for (std::uint32_t i = 0; i < Impl::kChunkSize; ++i)
            chunk[i].nextFree = i + 1 < Impl::kChunkSize ? first + i + 1 : 0;
        m_impl->chunks[m_impl->chunkCount++].store(chunk, std::memory_order_release);
        m_impl->freeHead = first;
    }
    std::uint32_t n = m_impl->freeHead;
    Monitor& monitor = m_impl->at(n);
    m_impl->freeHead = monitor.nextFree;
    monitor.nextFree = 0;
    ++m_impl->inUse;
    number.store(n, std::memory_order_release);
    return &monitor;
}

// Only for an object nobody can reach any more: no thread owns or waits on it.
void MonitorPool::release(Object* object) {
    std::lock_guard guard(m_impl->lock);
    std::uint32_t n = object->m_monitor;
    if (!n)
        return;
    Monitor& monitor = m_impl->at(n);
    RT_VERIFY_MSG(!monitor.owner && monitor.entering.empty() && monitor.waiting.empty(),
                  "a monitor in use belongs to an unreachable object");
    monitor.nextFree = m_impl->freeHead;
    m_impl->freeHead = n;
    --m_impl->inUse;
    object->m_monitor = 0;
}

std::size_t MonitorPool::inUse() const {
    std::lock_guard guard(m_impl->lock);
    return m_impl->inUse;
}

// ---- Entering, leaving, waiting --------------------------------------------------

namespace {

// Threads the runtime does not know still get an identity, so that an
// uncontended synchronized block works anywhere; they must never block.
thread_local ThreadRecord t_unattached;

ThreadRecord* self() {
    ThreadRecord* record = ThreadTable::currentRecord();
    return record ? record : &t_unattached;
}

MonitorPool& pool() {
    return Runtime::current().monitors();
}

// Blocks until `waiter` owns the monitor or `deadline` (clock ticks) passes;
// answers whether it owns it. Runs inside a safe region.
bool waitForHandOff(Monitor& monitor, MonitorWaiter& waiter, host::Clock& clock, bool timed,
                    std::uint32_t deadline) {
    RT_VERIFY_MSG(waiter.thread->monitorWake, "a thread the runtime does not know cannot block on a monitor");
    for (;;) {
        std::uint32_t timeout = host::Event::kInfinite;
        if (timed) {
            auto remaining = static_cast<std::int32_t>(deadline - clock.tickCount());
            timeout = remaining > 0 ? static_cast<std::uint32_t>(remaining) : 0;
        }
        if (!timed || timeout > 0)
            waiter.thread->monitorWake->wait(timeout);
        std::lock_guard guard(monitor.guard);
        if (waiter.state == MonitorWaiter::State::Owner)
            return true;
        if (timed && static_cast<std::int32_t>(deadline - clock.tickCount()) <= 0)
            return false;
    }
}

host::Clock& clock() {
    ThreadTable* threads = Runtime::current().threadTable();
    RT_VERIFY_MSG(threads, "blocking on a monitor needs a runtime with threads");
    return threads->clock();
}

// The monitor of `object` with its guard taken, when the calling thread owns
// it; otherwise logs why not and answers null.
Monitor* lockOwnedMonitor(Object* object, const char* operation, std::unique_lock<std::mutex>& guard) {
    if (!object) {
        reportRuntimeError("NullPointer");
        return nullptr;
    }
    Monitor* monitor = pool().monitorOf(object, false);
    if (monitor) {
        guard = std::unique_lock(monitor->guard);
        if (monitor->owner == self())
            return monitor;
        guard.unlock();
    }
    reportRuntimeError("%s: the monitor is not held", operation);
    return nullptr;
}

} // namespace

void monitorEnter(Object* object) {
    if (!object) {
        reportRuntimeError("NullPointer");
        return;
    }
    Monitor& monitor = *pool().monitorOf(object, true);
    ThreadRecord* me = self();
    MonitorWaiter waiter{me, MonitorWaiter::State::Entering, 1};
    {
        std::lock_guard guard(monitor.guard);
        if (!monitor.owner) {
            monitor.owner = me;
            monitor.count = 1;
            return;
        }
        if (monitor.owner == me) {
            ++monitor.count;
            return;
        }
        monitor.entering.push_back(&waiter);
    }
    host::Clock& ticks = clock();
    SafeRegion blocking;
    waitForHandOff(monitor, waiter, ticks, false, 0);
}

void monitorExit(Object* object) {
    ThreadRecord* wake = nullptr;
    {
        std::unique_lock<std::mutex> guard;
        Monitor* monitor = lockOwnedMonitor(object, "monitorExit", guard);
        if (!monitor || --monitor->count > 0)
            return;
        wake = monitor->handOff();
    }
    if (wake)
        wake->monitorWake->set();
}

void Object::wait(Object* object, std::int64_t milliseconds) {
    ThreadRecord* me = self();
    MonitorWaiter waiter{me, MonitorWaiter::State::Waiting, 0};
    ThreadRecord* wake = nullptr;
    Monitor* monitor;
    {
        std::unique_lock<std::mutex> guard;
        monitor = lockOwnedMonitor(object, "Object::wait", guard);
        if (!monitor)
            return;
        waiter.count = monitor->count;
        monitor->waiting.push_back(&waiter);
        wake = monitor->handOff();
    }
    if (wake)
        wake->monitorWake->set();

    host::Clock& ticks = clock();
    bool timed = milliseconds > 0;
    std::uint32_t deadline =
        ticks.tickCount() + static_cast<std::uint32_t>(std::min<std::int64_t>(milliseconds, 0x7FFFFFFF));
    SafeRegion blocking;
    if (waitForHandOff(*monitor, waiter, ticks, timed, deadline))
        return;
    // The timeout came first: stop waiting and queue for the monitor like any entrant.
    {
        std::lock_guard guard(monitor->guard);
        if (waiter.state == MonitorWaiter::State::Owner)
            return;
        if (waiter.state == MonitorWaiter::State::Waiting) {
            monitor->waiting.remove(&waiter);
            if (!monitor->owner) {
                monitor->owner = me;
                monitor->count = waiter.count;
                waiter.state = MonitorWaiter::State::Owner;
                return;
            }
            waiter.state = MonitorWaiter::State::Entering;
            monitor->entering.push_back(&waiter);
        }
    }
    waitForHandOff(*monitor, waiter, ticks, false, 0);
}

void Object::notify(Object* object, std::int32_t count) {
    std::unique_lock<std::mutex> guard;
    Monitor* monitor = lockOwnedMonitor(object, "Object::notify", guard);
    if (!monitor)
        return;
    // The notified move to the entrants' queue: they run once the notifier leaves.
    while (count != 0 && !monitor->waiting.empty()) {
        MonitorWaiter* waiter = monitor->waiting.front();
        monitor->waiting.pop_front();
        waiter->state = MonitorWaiter::State::Entering;
        monitor->entering.push_back(waiter);
        if (count > 0)
            --count;
    }
}

void Object::notifyAll(Object* object) {
    notify(object, -1);
}

void releaseMonitor(Object* object) {
    if (Runtime* runtime = Runtime::currentOrNull())
        runtime->monitors().release(object);
}

std::size_t monitorsInUse() {
    return pool().inUse();
}

} // namespace rt
