#pragma once

// The statics of the date classes: the one Calendar the program shares, the
// default time zone and the built-in zones. Each is made on first use and
// lives until the runtime ends.
//
// Two threads may ask for one of them first at the same time; both make it,
// and `publishOnce` lets only the first one in, so every caller gets the same
// object (the other becomes garbage). No C++ lock is held across the making,
// which allocates and may therefore wait for a collection.

#include "classlib/util/Calendar.h"
#include "classlib/util/TimeZone.h"
#include "runtime/Array.h"
#include "runtime/StaticClass.h"

#include <atomic>

namespace lib {

struct CalendarStatics {
    java_util_Calendar* m_sharedCalendar = nullptr;
    java_util_TimeZone* m_defaultZone = nullptr;
    rt::ObjectArray* m_builtInZones = nullptr;
    RT_REFERENCE_FIELDS(CalendarStatics, rt::NoReferenceBase, m_sharedCalendar, m_defaultZone, m_builtInZones)
};

inline CalendarStatics& calendarStatics() {
    return rt::getStaticClass().statics<CalendarStatics>();
}

// The object in `slot`, or null while none is published.
template <class T>
T* publishedIn(T*& slot) {
    return std::atomic_ref<T*>(slot).load(std::memory_order_acquire);
}

// Stores `made` in `slot` unless another object got there first; answers the
// one that is there.
template <class T>
T* publishOnce(T*& slot, T* made) {
    T* expected = nullptr;
    if (std::atomic_ref<T*>(slot).compare_exchange_strong(expected, made, std::memory_order_acq_rel))
        return made;
    return expected;
}

} // namespace lib
