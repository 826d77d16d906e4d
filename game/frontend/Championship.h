#pragma once

// The championship's two screens and the table they share: the cup
// selection (state 16), reached from the racer list when the race menu's
// championship item was chosen, and the reward screen (state 38), shown
// after the cup's last race.
//
// A cup is a short list of race rows run one after another. The cup
// selection offers every cup of the table; a cup is available while its
// cell (cup, 0) of grid A is set and marked new while its cell of grid B
// is. Choosing an available cup clears its new mark, resets the cup's
// points, sets up the event slot for its first race and loads that race
// (kind 2) with the flyover next. Each later race is set up by the next
// race's load (kind 8) through `setupCupRace`.
//
// The reward screen grants the reward of the player's final standing from
// the reward table: bit 0 of the standing's tier in the cup's triplet item,
// then reward (cup, grid row) with the unlocks it brings, and saves the
// progress so that the record holds them. A standing past the table is
// given nothing. Leaving it ends the championship and unwinds to the state
// the cup selection stored, else to the race menu.
//
// Game thread only.

#include "game/framework/States.h"
#include "game/race/RaceResults.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The race rows of each cup, game data.
inline constexpr std::int32_t kCupCount = 4;
// The reward screen's texts are broken to lines this wide, centred.
inline constexpr std::int32_t kRewardLineWidth = 600;
inline constexpr std::int32_t kCupRaceRows[kCupCount][kCupRaces] = {
    {0, 3, 5}, {1, 2, 4}, {0, 1, 2}, {3, 4, 5}};

// The reward of each final standing (0 the leader), game data: the row of
// the reward grid, the triplet tier, the sound played and n of the reward
// text 205 + n. A standing past the table gets the last row's sound and
// text without a reward.
struct CupReward {
    std::int32_t gridRow;
    std::int32_t tier;
    std::int32_t sound;
    std::int32_t text;
};
inline constexpr std::int32_t kCupRewardRows = 3;
inline constexpr CupReward kCupRewards[kCupRewardRows + 1] = {
    {0, 0, 6, 0},
    {1, 1, 6, 1},
    {2, 2, 6, 2},
    {-1, -1, 7, 3},
};

struct ChampionshipStatics {
    // The cup being run.
    std::int32_t s_cup = 0;
    // Where the reward screen goes back to.
    State s_rewardReturnState = State::RaceMenu;
    // The standing the reward screen rewarded, -1 none.
    std::int32_t s_rewardedStanding = -1;

    RT_NO_REFERENCE_FIELDS(ChampionshipStatics, rt::NoReferenceBase)
};

ChampionshipStatics& championshipStatics();

// Race row of race `race` of the cup being run; -1 outside the table.
std::int32_t cupRaceRow(std::int32_t race);
// Fills the current event slot for race `race` of the cup being run;
// answers false, changing nothing, for a race outside the cup.
bool setupCupRace(std::int32_t race);

// The event the next race's load (kind 8) sets up over the finished race:
// in a championship the cup's race that the results moved to; else the
// event the after-race menu chose as the next race, when it chose one
// (its choice is then spent).
void setupNextRaceEvent();

void stateCupSelect(std::int32_t message);
void stateReward(std::int32_t message);
// Registers the handlers of states 16 and 38.
void registerChampionshipScreens();

} // namespace game
