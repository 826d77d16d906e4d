#pragma once
// Race objects and items: the item a car draws from an item box and uses
// (strike, nitro, shield, ghost, the slow-down of the others) or fires as
// a race object onto the track (dropped, aimed at a target racer, thrown);
// the pool those objects come from, their movement and hits; the timed
// event that has the cars behind a leading player release objects; the
// marker records above the player's car that warn of an object behind it;
// and the state factors a car's state applies to its rate.
//
// A race object is a pooled `cEntity` of type 2: `m_itemSlot` its kind (0
// dropped, 3 aimed, 6 thrown, 11 follower), `m_owner` and `m_targetIndex`
// racer indexes, `m_offeredItem` its marker record (-1 none).
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

inline constexpr std::int32_t kObjectDropped = 0;
inline constexpr std::int32_t kObjectAimed = 3;
inline constexpr std::int32_t kObjectThrown = 6;
inline constexpr std::int32_t kObjectFollower = 11;
inline constexpr std::int32_t kPlayerMarkers = 5;
// 300 km/h.
inline constexpr std::int32_t kObjectSpeed = 341333;
// The timed release needs strictly more than this since the last one.
inline constexpr std::int32_t kTimedEventMs = 15000;

struct RaceObjectStatics {
    // int[5 * 4]: per record [0] 1 in use, [1] kind, [2] horizontal offset,
    // [3] screen line.
    rt::IntArray* s_playerMarkers = nullptr;
    // The two screen lines a marker record alternates between, and the
    // scale (fx) from a lateral offset to the marker's screen offset.
    std::int32_t s_markerLineA = 92;
    std::int32_t s_markerLineB = 96;
    std::int32_t s_markerScale = 1024;
    // Device milliseconds of the last timed release, or of the last step in
    // which the timed event was not armed.
    std::int64_t s_timedEventTick = 0;
    // How long a used or given item is offered on the head-up display: 2 s.
    std::int32_t s_offerTime = 8192;
    // Flips every object step: trails are laid every other one.
    std::int32_t s_trailToggle = 0;

    RT_REFERENCE_FIELDS(RaceObjectStatics, rt::NoReferenceBase, s_playerMarkers)
};

RaceObjectStatics& raceObjectStatics();

// Items of a car.
std::int32_t useItem(cEntity* car);
std::int32_t fireItem(cEntity* car);
void updateItem(cEntity* car, std::int32_t dt);
std::int32_t drawItemForCar(cEntity* car);
// The weighted draw of table 0 (the player) or 1, row `row` held inside the
// table; -1, logged, for a row whose weights are all 0.
std::int32_t drawItem(const cEntity* car, std::int32_t table, std::int32_t row);

// Takes a free object of the pool and releases it from `owner`'s place:
// `targetMode` 0 lets an aimed object search a target as it moves;
// `kTargetBehindOwner` aims it at the car one place behind the owner and
// holds it there (it does not age or move forward). Null when the pool is
// used up.
inline constexpr std::int32_t kTargetBehindOwner = 1;
cEntity* spawnEntity(std::int32_t kind, cEntity* owner, std::int32_t targetMode, bool homing);
// The first inactive object; else the first, retired first without its
// burst.
cEntity* getFreeRaceObject();
// A car only stops; an object frees its marker, releases its target and,
// thrown and `burst`, leaves race effect 3 where it was.
void retire(cEntity* e, bool burst = true);
void retireAllObjects();
cEntity* findTargetAhead(const cEntity* object);
// Aims an object at `target`; one aimed at the player starts at most 10
// segments back, not below segment 0.
void aimAt(cEntity* object, cEntity* target);

void updateTimedEvent();
void updateRaceObject(cEntity* object, std::int32_t dt);
void moveRaceObject(cEntity* object, std::int32_t dt);

// The rate the physics step applies after the car's state.
std::int32_t applyStateFactors(cEntity* car, std::int32_t rate);

// Marker records: -1 when all are in use.
std::int32_t allocPlayerMarker();
void setPlayerMarker(std::int32_t index, std::int32_t dx, std::int32_t kind);
void movePlayerMarker(std::int32_t index, std::int32_t dx);
void freePlayerMarker(std::int32_t index);
void updatePlayerMarkers();

// Whether `other` reaches `car` sideways. Meant for the contact tests of the triggers and the
// impacts, which tell contacts by the cars' footprints instead (`checkEntityContact`, Impacts.h).
bool overlapsSideways(const cEntity* car, const cEntity* other, std::int32_t reachRight,
                      std::int32_t reachLeft, bool doubled);

// A new run: objects retired, markers free, the timed event restamped, the
// race phase and the triggers' marks reset.
void resetOpponents();

} // namespace game
