#pragma once
// The computer drivers: each step a computer car takes its gear's target
// speed times its tuning, lets the catch-up logic move that target towards
// the player's speed by its mode (`m_aiMode`: 1 after a recovery, 2 held,
// 3 pushed, 4 race pace), goes round a slower car ahead, runs the physics,
// and keeps a lateral line: a lane target, an inside line through a bend,
// and 100 inside the road's edges. A fallen car is put back on the first
// segment after its own that is not a gap. docs/driving.md ("Computer
// drivers") gives the catch-up design and the tuning rows.
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

inline constexpr std::int32_t kAiTuningRows = 5;
inline constexpr std::int32_t kAiTuningColumns = 7;
// Steps a fallen car lies before it is put back.
inline constexpr std::int32_t kFallSteps = 20;
// How far inside the road's edges a computer car keeps.
inline constexpr std::int32_t kEdgeKeep = 100;

struct DriverStatics {
    // int[5 * 7]: per row the row number, the percentages of the gear
    // target speed, of the braking and of the acceleration, the share (%)
    // of the gap to the player's speed blended in at race pace, and the
    // player's speed (%) a held car drives at and a pushed car at least.
    rt::IntArray* s_aiTuningTable = nullptr;
    // The race's difficulty: 0 easy, 1 normal, 2 hard.
    std::int32_t s_aiDifficulty = 1;

    RT_REFERENCE_FIELDS(DriverStatics, rt::NoReferenceBase, s_aiTuningTable)
};

DriverStatics& driverStatics();

// Makes the tuning table.
void initDriverTables();
// Makes `car`, its racer id in `m_carType`, a computer driver: its racer
// definition applied, active, with tuning row index mod 5.
void setupAiDriver(cEntity* car, std::int32_t index);
// Tuning values 0 to 5 from row index mod 5 (entries 1, 2, 3, 5, 6, 4).
void setAiTuning(cEntity* car, std::int32_t index);
void updateAiCar(cEntity* car, std::int32_t dt);
// The guided race's placement of its second car `car` by the guide's step:
// after the aiming steps the player's target ends and the car leaves the
// track (answers true: the car's step ends there); as the player's target
// it goes 3 segments behind the player, half a segment on, at the player's
// speed on the centre line; from step 4 on, while the player aims at
// nothing, it waits 6 segments ahead at the player's position and lateral.
bool placeGuidedCar(cEntity* car);
// Takes the first lane mark not yet taken (kLaneNone gives no lane).
void pickLaneTarget(cEntity* car);
void updateCatchUp(cEntity* car, std::int32_t dt);
void updateRoute(cEntity* car, std::int32_t dt);
// -1 nothing to do; 0 or 1 the side answer of a contact with the car
// ahead; 2 close behind a slower computer car.
std::int32_t probeCarAhead(cEntity* car);
// The road's edges at the car's segment, a lane in from a narrowed edge.
std::int32_t getLeftLimit(const cEntity* car);
std::int32_t getRightLimit(const cEntity* car);
// -1, 0 or 1 by the track's route zones; 0 without them.
std::int32_t getRouteZone(const cEntity* car);
// Whether the player is placed ahead of the car; false without a player.
bool isBehindPlayer(const cEntity* car);

} // namespace game
