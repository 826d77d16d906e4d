#pragma once
// A finished race's results and the championship around it: the values the
// results state (game/racescreens/ResultsScreen.h) moves and the result
// screens paint, the championship's points by driver kind, its standings
// and the race of the cup being run.
//
// Championship sub-phases of `s_resultsPhase`: 0 the rows, 1 the panel
// slides out, 2 it slides back in, 3 the points count up, 4 the standings.
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kResultsRowsShown = 6;
inline constexpr std::int32_t kResultsSlideFull = 140;
inline constexpr std::int32_t kResultsSlideStep = 30;

// The races of a championship.
inline constexpr std::int32_t kCupRaces = 3;

struct RaceResultsStatics {
    // A championship runs (item 0 of the race menu was chosen); the race
    // menus end it when the player quits.
    std::int8_t s_championship = 0;
    std::int32_t s_resultsPhase = 0;
    std::int32_t s_resultsSlide = 0;
    std::int32_t s_resultsRow = 0;
    std::int32_t s_resultsRows = 0;
    std::int8_t s_resultsReady = 0;
    // The race's place in its championship; 0 again once the championship
    // is over or quit, so that the next one counts its points afresh.
    std::int32_t s_cupRace = 0;
    // By driver kind (int[6]): the points shown and the points held.
    rt::IntArray* s_cupShownPoints = nullptr;
    rt::IntArray* s_cupPoints = nullptr;
    // By finishing place: the points it gives; a place past the table gives 0.
    rt::IntArray* s_cupPlacePoints = nullptr;
    // The standings after the race: the driver kinds by points, most
    // first (ties by kind), the player's place in them and whether it
    // leads. The championship's end screen reads these and `s_cupPoints`.
    rt::IntArray* s_cupStandings = nullptr;
    std::int32_t s_cupPlayerStanding = 0;
    std::int8_t s_cupPlayerLeads = 0;

    RT_REFERENCE_FIELDS(RaceResultsStatics, rt::NoReferenceBase, s_cupShownPoints, s_cupPoints,
                        s_cupPlacePoints, s_cupStandings)
};

RaceResultsStatics& raceResultsStatics();

// Makes the championship tables (start-up; a championship's first race
// clears them through `resetChampionship`).
void raceResultsStaticInit();
bool isChampionship();
void resetChampionship();
// Ranks the driver kinds by their points into the standings.
void updateCupStandings();
// The points of this race's places added to each driver kind's (from
// nothing at the cup's first race), the points shown held at the old
// values, and the standings made again.
void awardCupPoints();
// The time game mode 1 and 4 show: the player's race time, or the
// stop-and-go clock.
std::int32_t resultsTime();

} // namespace game
