#pragma once
// The driving statics: the tuning set of the car physics, the player's
// control and the steering (chosen by us, explained with their units in
// docs/driving.md, pinned by tests), and the run-time values those steps
// keep between race steps. The member initialisers are the statics'
// initialisers; `initDrivingTables` makes the tables.
//
// Fixed point is 4096 = 1.0; times are seconds in fixed point; angles are
// 2048 units to the circle; speeds are track units per second in fixed
// point (`kmhToSpeed`).
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

inline constexpr std::int32_t kSurfaceCount = 7;
inline constexpr std::int32_t kSurfaceColumns = 8;
inline constexpr std::int32_t kSurfaceGripColumn = 5;
inline constexpr std::int32_t kSurfaceDragColumn = 6;
inline constexpr std::int32_t kSurfaceTopColumn = 7;
inline constexpr std::int32_t kDriverKinds = 6;
inline constexpr std::int32_t kItemKinds = 14;
inline constexpr std::int32_t kItemColumns = 3;
inline constexpr std::int32_t kItemSlots = 9;
inline constexpr std::int32_t kItemWeightRows = 10;
inline constexpr std::int32_t kTrailEntries = 8;

struct DrivingStatics {
    // --- Tuning ---
    // int[7 * 8]: per surface, column 5 grip %, 6 drag %, 7 top speed %.
    rt::IntArray* s_surfaceTable = nullptr;
    std::int32_t s_accelFactor = 4096;
    std::int32_t s_brakeFactor = 4096;
    // The height value of a segment is its slope << 12 / this.
    std::int32_t s_heightScale = 4096;
    // Slope units lost from one segment to the next that launch a car (7 degrees).
    std::int32_t s_crestDrop = 40;
    // 1024 / pi: the radius of a bend of one angle unit per track unit.
    std::int32_t s_curveRadiusScale = 326;
    // Full steering deflection, and the turn it gives: 90 degrees a second.
    std::int32_t s_steerRate = 4096;
    std::int32_t s_turnRate = 512;
    // 2 km/h. A car turned 40 degrees from the road pulls at 0.3 of its
    // rate and loses 7 % of its speed a step, which holds it near 4 km/h:
    // the steering must still answer there, or the car stays stranded.
    std::int32_t s_steerMinSpeed = 2275;
    // 0.97: the target speed while steering in the top gear.
    std::int32_t s_steerSlowdown = 3973;
    std::int32_t s_topGearFactor = 4096;
    // int[2 * gears]: per gear the down and up shift points, % of its span.
    rt::IntArray* s_shiftTable = nullptr;
    // 40 degrees.
    std::int32_t s_maxHeading = 227;
    // 20 and 5 degrees, between 180 and 60 km/h.
    std::int32_t s_wallAngleFast = 114;
    std::int32_t s_wallAngleSlow = 28;
    std::int32_t s_wallSpeedHigh = 204800;
    std::int32_t s_wallSpeedLow = 68266;
    // int[5]: 30, 20, 12, 6, 2 degrees.
    rt::IntArray* s_steerFrameAngles = nullptr;
    // The brake ramp: held at most 1.0 s, then braking is tripled.
    std::int32_t s_brakeHoldMax = 4096;
    std::int32_t s_brakeHoldGain = 8192;
    std::int32_t s_brakeSoundTime = 2048;
    std::int32_t s_trailBrakeTime = 1229;
    // 10 km/h.
    std::int32_t s_brakeStopSpeed = 11377;
    std::int32_t s_shiftTimerLimit = 4096;
    std::int32_t s_landLockTime = 819;
    std::int32_t s_trailInterval = 205;
    std::int32_t s_shakeTime = 1229;
    // Drift: the share of a bend's curvature a car at top speed slides
    // outward by, per second.
    std::int32_t s_driftFactor = 1024;
    // Side contact: sideways push in units per second, heading 10 degrees.
    std::int32_t s_sidePushSpeed = 600;
    std::int32_t s_contactHeading = 57;
    std::int32_t s_steerLowFactor = 4096;
    std::int32_t s_steerHighFactor = 2458;
    // Object[6] of Object[14] of int[3]: uses, duration unit, cool-down.
    rt::ObjectArray* s_itemTable = nullptr;
    // Object[2] of Object[10] of byte[9]: draw weights per place.
    rt::ObjectArray* s_itemWeights = nullptr;

    // --- Kept between steps ---
    std::int32_t s_steerHoldTime = 0;
    std::int32_t s_brakeHoldTime = 0;
    std::int32_t s_brakeStartTime = 0;
    std::int32_t s_brakeTimer = 0;
    std::int32_t s_settleSteps = 0;
    std::int32_t s_settleSide = 1;
    std::int32_t s_raceBoostTimer = 0;
    std::int8_t s_stopGoPenalised = 0;
    std::int32_t s_playerGear = 0;
    std::int32_t s_shiftTimer = -1;
    std::int32_t s_playerAuxTimer = 0;
    std::int8_t s_gainHalved = 0;
    std::int32_t s_state128Steps = 0;
    std::int8_t s_itemBarEnabled = 0;
    std::int32_t s_steerSpeedFactor = 4096;
    std::int32_t s_playerGainFactor = 4096;
    std::int32_t s_distanceFactor = 4096;
    // The race's first one-shot animation flag and the flag of `CarEffect::FlaggedSpin`.
    std::int8_t s_oneShotFlag = 0;
    std::int8_t s_effectFlag = 0;
    // The head-up overlay of `startHudFlash`.
    std::int32_t s_hudFlashAnim = -1;
    std::int32_t s_hudFlashPriority = 100;
    std::int32_t s_hudFlashTime = 0;
    std::int32_t s_hudFlashDuration = 0;
    std::int8_t s_hudFlashLoop = 0;
    // The steering frame.
    std::int32_t s_steerInput = 0;
    std::int32_t s_prevSteerInput = 0;
    std::int32_t s_steerInput2 = 0;
    std::int32_t s_spinFrameLimit = 7;
    std::int32_t s_spinFramesPlayer = 8;
    std::int32_t s_spinFramesOther = 8;
    // The trail: eight entries of (segment, position, lateral), the next
    // slot, the entries in use and the time since the last one was laid.
    rt::IntArray* s_trail = nullptr;
    std::int32_t s_trailHead = 0;
    std::int32_t s_trailCount = 0;
    std::int32_t s_trailTimer = 0;

    RT_REFERENCE_FIELDS(DrivingStatics, rt::NoReferenceBase, s_surfaceTable, s_shiftTable, s_steerFrameAngles,
                        s_itemTable, s_itemWeights, s_trail)
};

DrivingStatics& drivingStatics();

// Makes the tuning tables: the surface rows, the shift table, the steering
// frame angles, the item table and weights, and the empty trail.
void initDrivingTables();

// Element `i` of `a`, `i` held inside the array (the last element past its
// end, the first before it); 0 for null or empty.
std::int32_t clampedAt(const rt::IntArray* a, std::int32_t i);
// Column `column` of surface `surface`'s row, the row held inside the table.
std::int32_t surfaceValue(std::int32_t surface, std::int32_t column);
// Column `column` of item `item` of driver kind `kind`, each held inside.
std::int32_t itemValue(std::int32_t kind, std::int32_t item, std::int32_t column);

} // namespace game
