#pragma once
// Putting entities on the track: the reset of one entity at a place, the
// starting grid by event type, and the hits of race objects on the racers.
// The move along the ring they use is the driving step's `advanceOnTrack`
// (CarPhysics.h) in its simple mode.
//
// Game thread only.
#include <cstdint>

namespace game {

class cEntity;

// Places `car` at (lap, segment, position, lateral), moves it `offset`
// along the track, and clears its race state: speed, state, item, effect,
// timers, target, collected count, contacts and step values, its steering,
// jump and nitro values, its item offer, the computer driver's mode and
// route, and its place on screen; its effect layers' animations are stopped
// at their start. It starts in
// first gear, drive mode 2, at its top speed limit, active (not in the
// guided race), on a random side, in the section of its segment. Answers 0.
std::int32_t resetOnTrack(cEntity* car, std::int32_t lap, std::int32_t segment, std::int32_t position,
                          std::int32_t lateral, std::int32_t offset, std::int32_t heading);

// Puts every racer on the starting grid of the current event type: two
// lateral places about the road's centre line, each car `spacing` behind
// the one before (0 for the types that start on a stretch), place i at
// position i; the player's racer index becomes the last.
void placeRacersOnGrid();

// The hits of active race object `object` on the racers within a segment
// of it: an aimed object (kind 3) knocks out its target and retires; kinds
// 0 and 6 knock out a racer without an item, or spend one of its item's
// charges, then run the object's own hit step. A racer never hits the
// object it released.
void hitRacersWithObject(cEntity* object);

} // namespace game
