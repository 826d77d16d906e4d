#pragma once

// Object monitors: `synchronized`, `wait` and `notify` with Java's rules.
//
// A monitor is re-entrant; `wait` gives up every level the caller holds and
// takes them all back before it returns; `notify(n)` moves n waiters (all for
// `notifyAll`) to the queue of threads that want the monitor, which is handed
// over in arrival order when its owner leaves; a timed wait ends at its
// timeout, notified or not.
//
// An object gets a monitor the first time it is locked, waited on or notified;
// its header keeps the monitor's number, so finding it is one load. Monitors
// come from a pool that grows as needed; `~Object` gives the object's back.
//
// Blocking (a contended enter, a wait) is a safe region: the collector may run
// meanwhile. Internal state is guarded by a short lock never held across a host call.

#include "runtime/Forward.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace rt {

struct Monitor;

// The monitors of one runtime, numbered from 1; numbers stay valid and
// monitors never move while the pool lives.
class MonitorPool {
public:
    MonitorPool();
    ~MonitorPool();
    MonitorPool(const MonitorPool&) = delete;
    MonitorPool& operator=(const MonitorPool&) = delete;

    // The monitor of `object`; a new one when it has none and `create` is set.
    Monitor* monitorOf(Object* object, bool create);
    void release(Object* object);
    std::size_t inUse() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Enters the monitor of `object` (null logs "NullPointer" and does nothing).
void monitorEnter(Object* object);
// Leaves it; a thread that does not own it logs the error and changes nothing.
void monitorExit(Object* object);

// A synchronized block: enters on construction, leaves on every exit.
class MonitorScope {
public:
    explicit MonitorScope(Object* object)
        : m_object(object) {
        monitorEnter(object);
    }
    ~MonitorScope() { monitorExit(m_object); }
    MonitorScope(const MonitorScope&) = delete;
    MonitorScope& operator=(const MonitorScope&) = delete;

private:
    Object* m_object;
};

// The monitor of a collected object goes back to the pool.
void releaseMonitor(Object* object);

// The number of monitors in use (tests, diagnostics).
std::size_t monitorsInUse();

} // namespace rt
