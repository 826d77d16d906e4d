#pragma once

// `MonitorScope`: the body of a synchronized method or block. It enters the
// object's monitor when made and leaves it when it goes out of scope, so every
// exit (a normal return, an early return after an exception became pending)
// leaves the monitor exactly once.
//
//     void java_util_Vector::addElement(Object* element) {
//         rt::MonitorScope lock(this);
//         ...
//     }
//
// `monitorEnter` and `monitorExit` are the monitor table's operations; they
// are re-entrant and a null object is never entered.

#include "runtime/Forward.h"

namespace rt {

void monitorEnter(Object* object);
void monitorExit(Object* object);

class MonitorScope {
public:
    explicit MonitorScope(Object* object)
        : m_object(object) {
        monitorEnter(m_object);
    }
    ~MonitorScope() { monitorExit(m_object); }
    MonitorScope(const MonitorScope&) = delete;
    MonitorScope& operator=(const MonitorScope&) = delete;

private:
    Object* m_object;
};

} // namespace rt
