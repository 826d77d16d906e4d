#pragma once
// Read-only questions about the track ring that the physics, the triggers,
// the race frame and the camera ask: how sharp the bend ahead is, and
// whether and from which lap a dynamic trigger code applies.
//
// Game thread only.
#include <cstdint>

namespace game {

// 0 for a straight segment; else the curvature of `segment` and the ones
// after it while they bend the same way, at most once round the ring.
std::int32_t getCurveSum(std::int32_t segment);
// Bits 8..11 of `code` name the current event's variant.
bool isCodeForVariant(std::int32_t code);
// The lap from which the dynamic trigger `code & 255` of the current event
// applies: bits 12..14 of its entry, or the player's lap when bit 15 says
// every lap. -1 for an entry the event does not have (it never fires) or
// an every-lap entry without a player's car.
std::int32_t getCodeLap(std::int32_t code);
// Field `field` (0..12) of the side profile of segment `seg` (any number,
// wrapped): the left side's profile row (the first lane-profile byte of
// the segment) for side 2, else the right side's (the second). 0 for a
// field, row or table that does not exist.
std::int32_t getLaneProfileValue(std::int32_t side, std::int32_t seg, std::int32_t field);
// The current event's dynamic trigger entry for `code & 255` into `entry`;
// false when the event has no such entry.
bool findDynamicTrigger(std::int32_t code, std::int32_t& entry);

} // namespace game
