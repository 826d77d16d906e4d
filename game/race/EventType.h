#pragma once

// The event types: what the player must do in a race and how its result is
// judged. Field 0 of an event row holds the type, and the event slots keep
// it per slot (`setSlotEventType`, `currentEventType`, EventGoals.h); the
// events of a game mode are the events of the type with the mode's number
// (`eventTypeOf`). Only the race and the folders above it tell types apart.

#include "game/framework/States.h"

#include <cstdint>
#include <iosfwd>

namespace game {

enum class EventType : std::int32_t {
    // No current event (no slot, or a slot outside the table).
    None = -1,
    // Laps against the others; a place among the first three wins.
    Laps = 0,
    // A stretch against the clock, with three medal times.
    Distance = 1,
    // Laps in which the player collects objects up to the event's target.
    Collection = 2,
    // Points for side contact over a stretch.
    Score = 3,
    // Stop when told and drive when told, against the clock.
    StopAndGo = 4,
    // Points for the position held, every second.
    Points = 5,
    // The guided race's steps.
    Guided = 6,
    // A section against the clock.
    Section = 7,
    // Stop inside the zone at the end of the stretch.
    StopZone = 8,
    // A second section against the clock, on statics of its own.
    SecondSection = 9,
    // Judged by a state that only its set-up writes: the time-out ends it.
    StateJudged = 10,
    // A sprint over the stretch: first place wins.
    Sprint = 11,
    // A stretch set up as the distance's, with no finish rule of its own.
    OpenDistance = 12,
};

// An event type as the event rows and the event slots hold it, and back.
constexpr std::int32_t eventTypeNumber(EventType type) {
    return static_cast<std::int32_t>(type);
}
constexpr EventType eventTypeFromNumber(std::int32_t number) {
    return static_cast<EventType>(number);
}

// The text that names event type t is text `kFirstEventTypeText` + t.
inline constexpr std::int32_t kFirstEventTypeText = 177;

// Writes the type's number.
std::ostream& operator<<(std::ostream& out, EventType type);

// The type of a game mode's events: the type with the mode's number.
constexpr EventType eventTypeOf(GameMode mode) {
    return eventTypeFromNumber(gameModeNumber(mode));
}

} // namespace game
