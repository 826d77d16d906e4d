#pragma once

// The event slots: parallel tables of four slots that the event selection
// fills with the events to run, the current slot and the number in use.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kEventSlots = 4;

struct EventSlotStatics {
    std::int32_t s_currentEvent = 0;
    std::int32_t s_eventSlotCount = 0;
    // byte[kEventSlots] each.
    rt::ByteArray* s_eventRaceRow = nullptr;
    rt::ByteArray* s_eventTrack = nullptr;
    rt::ByteArray* s_eventVariant = nullptr;
    rt::ByteArray* s_eventIcon = nullptr;
    rt::ByteArray* s_eventIcon2 = nullptr;
    // The event type's number (the race's `setSlotEventType`).
    rt::ByteArray* s_eventType = nullptr;
    // Object[kEventSlots] each, of Strings.
    rt::ObjectArray* s_eventTitle = nullptr;
    rt::ObjectArray* s_eventTypeText = nullptr;
    rt::ObjectArray* s_eventName = nullptr;

    RT_REFERENCE_FIELDS(EventSlotStatics, rt::NoReferenceBase, s_eventRaceRow, s_eventTrack, s_eventVariant,
                        s_eventIcon, s_eventIcon2, s_eventType, s_eventTitle, s_eventTypeText, s_eventName)
};

EventSlotStatics& eventSlotStatics();

// One slot in use, the first current; the tables are made when missing and
// otherwise keep their contents.
void initEventSlots();

} // namespace game
