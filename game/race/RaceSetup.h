#pragma once
// Setting a race up: the computer cars made for the event, their opponents
// drawn from the player's racer block, and the set-up that runs when the
// first race state is entered (laps, clocks, grid, head-up display kind,
// camera tour, total segments).
//
// Data guards: the racer count of an event row is held to 1..10 (the
// opponent list has ten places, and a count of 0 would put the player in
// slot -1); an event of 0 laps runs one; an opponent draw takes one of
// the block's records that the event's race row lets in (short 8 of the
// record equal to field 7 of the row, or every record when the field is
// 65535), among the first six of them and never an unfilled entry; a
// block with
// fewer distinct racers than cars stops redrawing after `kOpponentDraws`
// draws and takes the first id not yet in the race (or, with none left,
// the block's first and a log line).
//
// Game thread only.
#include "game/race/EventType.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

inline constexpr std::int32_t kOpponentSlots = 10;
inline constexpr std::int32_t kMaxRacers = kOpponentSlots;
// An opponent draw takes one of the first this many entries of the list.
inline constexpr std::int32_t kOpponentDrawSpan = 6;
inline constexpr std::int32_t kOpponentDraws = 32;
// The two racers of the guided race.
inline constexpr std::int32_t kGuidedRacers = 2;

struct RaceSetupStatics {
    // The racer ids in the race, slot 0 the player's; -1 free.
    rt::IntArray* s_opponentIds = nullptr;
    std::int32_t s_opponentCount = 0;

    RT_REFERENCE_FIELDS(RaceSetupStatics, rt::NoReferenceBase, s_opponentIds)
};

RaceSetupStatics& raceSetupStatics();

// The block of the 10-short records that holds racer `id`; -1 beyond them.
std::int32_t getRacerBlock(std::int32_t id);
// One opponent draw from `block` (see above); the racer id appended to the
// opponent list, or -1 when it is already in it or the block has no record
// the race row lets in (no draw then).
std::int32_t pickOpponent(std::int32_t block);
// An opponent for the next computer car: draws until one is new, at most
// `kOpponentDraws` times, then takes the first free id of the block.
std::int32_t drawOpponent(std::int32_t block);

// The event's racer count (2 in the guided race), held to 1..10.
std::int32_t eventRacerCount();
// `s_racers` for the event: the computer cars, reset, in every slot but the
// last, which the player's car takes.
void createRacers();
// Gives each computer car its racer index, a drawn opponent, that racer's
// sprite set, value, name and driver kind, and its driver.
void setupRacers();
// The set-up of the first race state entered (sets `s_raceSetUp`).
void setupRace();
// `setupRace` unless the race is set up.
void ensureRaceSetUp();

// The head-up display's kind and bits of event type `eventType`.
void hudLayoutOf(EventType eventType, std::int32_t& kind, std::int32_t& flags);

} // namespace game
