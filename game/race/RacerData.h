#pragma once
// Racer definitions: one entry of the racer pack (constant string 153) per
// record of the 10-short record table (RaceTables.h), read once into
// `s_racerDefinitions` (24 ints per racer) and `s_racerLists` (speed steps
// and times, each with a leading 0), and copied into a car by
// `applyRacerDefinition`.
//
// Entry (little-endian): sprite set, three values (u8), name text id, a
// value, speed (u16), n speed steps (u8, n x u16), m times in ms (u8,
// m x u16), then the handling values and twelve width profile bytes.
// Speeds become ((v x 4096) x 10) / 36, computed in 64 bits so that every
// u16 fits (a speed of 52429 or more, which 32 bits would overflow, is
// logged); times become (t x 4096) / 1000.
//
// Broken data: a racer without speed steps or times, an entry that is cut
// or lies about a count, or fewer entries than records. The first such
// fault is kept (`racerDataProblem`) so that start-up can name it and end
// with the broken-data status.
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>
#include <string>

namespace game {

class cEntity;
class EntryReader;

inline constexpr std::int32_t kRacerDefinitionInts = 24;
// A speed from this value up overflows 32 bits when turned into 4096 units.
inline constexpr std::int32_t kFirstOverflowingSpeed = 52429;

struct RacerStatics {
    // Object[count] of int[24].
    rt::ObjectArray* s_racerDefinitions = nullptr;
    // Object[count] of Object[2]: speed steps, times.
    rt::ObjectArray* s_racerLists = nullptr;
    // Handling values every car shares: a car's `m_defValues` [4] and [5].
    std::int32_t s_carConstA = 0;
    std::int32_t s_carConstB = 0;
    // The event's speed percentage.
    std::int32_t s_speedPercent = 100;
    cEntity* s_playerCar = nullptr;
    std::int32_t s_playerRacerId = 0;
    std::int32_t s_playerSpriteSet = 0;
    std::int32_t s_playerRacerValue = 0;
    // The first broken racer (-1 none) and what is wrong with it
    // (a `RacerFault`).
    std::int32_t s_brokenRacer = -1;
    std::int32_t s_racerFault = 0;

    RT_REFERENCE_FIELDS(RacerStatics, rt::NoReferenceBase, s_racerDefinitions, s_racerLists, s_playerCar)
};

enum class RacerFault : std::int32_t {
    None,
    NoEntry,
    Cut,
    NoSpeedSteps,
    NoTimes,
    // A sprite set (field 1 or 3) outside the cars' slots.
    NotACar,
};

RacerStatics& racerStatics();

// The player's car (`s_playerCar`); null before the race is set up and
// after its release.
inline cEntity* playerCar() {
    return racerStatics().s_playerCar;
}

// Reads every racer once; nothing when the definitions exist.
void loadRacerDefinitions();
// Reads racer `row` from `reader` into the tables (which must exist);
// answers the fault found, `None` when the entry is whole.
RacerFault readRacerDefinition(EntryReader& reader, std::int32_t row);
// Copies racer `row` into `car` and places it through the race model's hook;
// answers the hook's answer (0 without one, or for a row that has no
// definition, which is logged).
std::int32_t applyRacerDefinition(std::int32_t row, cEntity* car);
// Makes the player's car for `s_playerRacerId`.
void createPlayerCar();
// The driver kind of sprite set `spriteSet`.
std::int32_t driverKindOf(std::int32_t spriteSet);
// "racer N: what is wrong", empty when the racers are sound.
std::string racerDataProblem();

} // namespace game
