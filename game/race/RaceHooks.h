#pragma once
// What the race data reaches of the race model that lands after it:
// placing a car on the track. The composition root fills it once the race
// model exists; until then a car keeps the values its definition gave it.
// Plain function pointers, never guest references.
#include <cstdint>

namespace game {

class cEntity;

struct RaceModelHooks {
    // Resets `car`'s race state on the track at (lap, segment, position in
    // the segment, lateral x, angle, heading) and answers a result the
    // caller passes on. Empty: nothing changes, the answer is 0.
    std::int32_t (*resetOnTrack)(cEntity* car, std::int32_t lap, std::int32_t segment, std::int32_t position,
                                 std::int32_t x, std::int32_t angle, std::int32_t heading) = nullptr;
};

// The hooks of this process.
RaceModelHooks& raceModelHooks();

} // namespace game
