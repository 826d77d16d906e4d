#pragma once
// The motion step every car shares (`updatePhysics`): speed towards
// `m_maxSpeed` with the gear, the surface and the slope; the player's
// nitro and item keys; the move along the ring (in the plane for the
// player's car, along the ring with the bend's correction for the others);
// jumps, falls and landings; and where the car stands against the road
// edges. Besides, the small track operations of a car: the plane move of
// the player, the lift of a fallen car, the surface under a car, the wall
// heading, and the eased range of the grid.
//
// Widths: "x" in the comments below is decided per expression, as
// docs/driving.md lists; `mulWrap` is a 32-bit integer product,
// `fixMul32` a rounded fixed-point product in 32 bits.
//
// Game thread only.
#include "game/framework/HudFrames.h"

#include <cstdint>

namespace game {

class cEntity;

inline constexpr std::int32_t kSurfaceRough = 4;
inline constexpr std::int32_t kSurfaceRamp = 5;
inline constexpr std::int32_t kSurfaceGap = 6;
inline constexpr std::int32_t kJumpRamp = 1;
inline constexpr std::int32_t kJumpEdge = 2;
inline constexpr std::int32_t kJumpTrigger = 3;
inline constexpr std::int32_t kJumpCrest = 4;
inline constexpr std::int32_t kJumpHop = 5;
inline constexpr std::int32_t kJumpHigh = 7;
// The height a fallen car is lifted to before it moves to the centre line.
inline constexpr std::int32_t kPathHeight = 384;

// The car's last gear: the index of its last speed step (`m_stats`): -1 for
// an empty table, 0 without one.
std::int32_t lastGear(const cEntity* car);
// The speed step of `gear`, the gear held inside the steps (`clampedAt`); 0
// without steps.
std::int32_t gearTopSpeed(const cEntity* car, std::int32_t gear);
// The car's top speed: the last speed step times the event's percentage.
std::int32_t getTopSpeed(const cEntity* car);
// Speed units per second gained and lost (see the note for the units).
std::int32_t getAcceleration(const cEntity* car);
std::int32_t getBraking(const cEntity* car);
bool canUseItem(const cEntity* car);
// The player's steering as the keys and the race screen's touch bands give
// it: left by game key 3 or 10 or the left half band, right by 4 or 12 or the
// right half band.
bool steerLeftHeld();
bool steerRightHeld();
// The height value of a segment (its slope, 4096 = 1.0 of the height scale).
std::int32_t segmentHeightValue(std::int32_t segment);
// The surface byte of a segment (any number, wrapped).
std::int32_t segmentSurface(std::int32_t segment);
// Field `field` of the roadside profile of `side` (2 left, else right) at
// `segment`.
std::int32_t roadsideProfileValue(std::int32_t side, std::int32_t segment, std::int32_t field);

// amplitude * t / (period / 2) rising, then falling back to 0 at `period`.
std::int32_t tent(std::int32_t t, std::int32_t amplitude, std::int32_t period);
// The track distance covered at speed `a` in time `b`.
std::int32_t scaleProduct(std::int32_t a, std::int32_t b);
// Starts the head-up overlay `kind` (an animation of `kHudFlashSprite`, or
// of `kHudFlashFarSprite` from priority 999) unless a running one's
// priority value is not larger than `priority`.
void startHudFlash(std::int32_t kind, std::int32_t duration, bool loop, std::int32_t priority);

// The step; `dt` below 1 counts as 1. `flag` is the computer driver's
// (1 from its ordinary step).
void updatePhysics(cEntity* car, std::int32_t dt, std::int32_t flag);
// Moves the car by `distance` from its segment in the ordinary mode.
void moveOnTrack(cEntity* car, std::int32_t distance);
// The move along the ring by `distance` from `segment`: the curvature of
// that segment shortens the move on the outer side of a bend and lengthens
// it on the inner side, then the position carries into the segment and lap
// numbers in either direction. Answers the distance moved after the
// correction. The player's car in the ordinary mode (`simple` false) moves
// in the plane instead (`applyPlaneMove`) and answers `distance`.
std::int32_t advanceOnTrack(cEntity* car, std::int32_t segment, std::int32_t distance, bool simple = true,
                            bool flag = false);
// `m_offRoad` and `m_offRoadSide` from the car's extents and the edges.
void updateRoadside(cEntity* car);
// The player's move in the plane from (fromSegment, fromLateral, fromPos)
// by `dLateral` to the right and `dDistance` along the segment's line:
// segments crossed, laps, heading and the wall.
void applyPlaneMove(cEntity* car, std::int32_t fromSegment, std::int32_t fromLateral, std::int32_t fromPos,
                    std::int32_t dLateral, std::int32_t dDistance);
// The heading after a wall contact before its sign is chosen.
std::int32_t getWallAngle(const cEntity* car);
// The lift of a fallen car back to the centre line.
void followPath(cEntity* car);
// The surface under the car at `segment`: the segment's, or while the car
// is off the road and `roadside` is set, its roadside profile's.
std::int32_t getCellSurface(const cEntity* car, std::int32_t segment, bool roadside);
// A cosine ease from 4096 - depth at lo to 4096 at hi; 4096 when hi <= lo.
// Meant for the start-grid placement, whose rules (RacePlacement.cpp) give it no step yet.
std::int32_t easeInRange(std::int32_t x, std::int32_t lo, std::int32_t hi, std::int32_t depth);
// v times the low or high steering factor.
std::int32_t scaleSteerLow(std::int32_t v, std::int32_t speed);
std::int32_t scaleSteerHigh(std::int32_t v, std::int32_t speed);
// sin and cos of `angle` units in fixed point (4096 = 1.0).
std::int32_t sinFx(std::int32_t angle);
std::int32_t cosFx(std::int32_t angle);
// The car falls off the track: collected objects dropped, the fall side set.
void startFall(cEntity* car);

} // namespace game
