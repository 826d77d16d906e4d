#pragma once
// The 17 fields of an event row as the event pack stores them, 29 bytes in
// field order. The event loader and datakit's event writer both read this
// table, so the two cannot disagree on where a field lies.
#include "game/race/EventType.h"

#include <array>
#include <cstdint>
#include <span>

namespace game {

// How a field of an event entry is stored (the row's and those of its other
// records, EventEntryLayout.h).
enum class EventFieldEncoding : std::uint8_t {
    U8,  // one byte, 0..255
    S8,  // one signed byte
    U16, // two bytes, low first
    S16, // two bytes, low first, signed
    U31, // four bytes, low first, top bit cleared
    S32, // four bytes, low first, signed
};

inline constexpr std::array<EventFieldEncoding, 17> kEventRowFields = {
    EventFieldEncoding::U8,  EventFieldEncoding::U31, EventFieldEncoding::U31, EventFieldEncoding::U31,
    EventFieldEncoding::U8,  EventFieldEncoding::U8,  EventFieldEncoding::S16, EventFieldEncoding::S16,
    EventFieldEncoding::S8,  EventFieldEncoding::S8,  EventFieldEncoding::S8,  EventFieldEncoding::S8,
    EventFieldEncoding::U16, EventFieldEncoding::S8,  EventFieldEncoding::S8,  EventFieldEncoding::U8,
    EventFieldEncoding::U8,
};

constexpr std::int32_t eventFieldBytes(EventFieldEncoding encoding) {
    switch (encoding) {
    case EventFieldEncoding::U8:
    case EventFieldEncoding::S8:
        return 1;
    case EventFieldEncoding::U16:
    case EventFieldEncoding::S16:
        return 2;
    case EventFieldEncoding::U31:
    case EventFieldEncoding::S32:
        return 4;
    }
    return 0;
}

constexpr std::int32_t eventFieldsBytes(std::span<const EventFieldEncoding> fields) {
    std::int32_t total = 0;
    for (EventFieldEncoding encoding : fields)
        total += eventFieldBytes(encoding);
    return total;
}

constexpr std::int32_t eventRowBytes() {
    return eventFieldsBytes(kEventRowFields);
}

static_assert(eventRowBytes() == 29);

// Fields of the row that the loader and the race read by name.
inline constexpr std::int32_t kEventTypeField = 0;
// The index of the event's name in its track's event names.
inline constexpr std::int32_t kEventNameField = 4;
inline constexpr std::int32_t kEventLapsField = 5;
inline constexpr std::int32_t kEventRacersField = 16;
// The event types that have an event list of their own: the types of the
// game modes' events, from the laps to the guided race.
inline constexpr std::int32_t kIndexedEventTypes = eventTypeNumber(EventType::Guided) + 1;

} // namespace game
