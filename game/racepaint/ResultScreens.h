#pragma once
// The result panels that the results state shows over the race scene, by
// game mode: the table of racers of mode 0, and one panel layout for modes
// 1 and 4 (the player's time and the event's best) and 5 (the score and
// the best score).
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The results table's columns from a row's left: the badge (the name follows
// it, 10 px on, or takes its place while the badges are not loaded) and the
// right edge of the time (further left in a championship, where the points
// follow).
inline constexpr std::int32_t kBadgeColumn = 56;
inline constexpr std::int32_t kResultsNameGap = 10;
inline constexpr std::int32_t kTimeColumn = 490;
inline constexpr std::int32_t kCupTimeColumn = 360;

struct ResultScreenStatics {
    // Added to the x of the panel's value column.
    std::int32_t s_resultValueOffset = 10;
    // Where mode 5's place mark (`kPlaceMarkFrame`) stands when the
    // player does not lead.
    std::int32_t s_placeMarkX = 470;
    std::int32_t s_placeMarkY = 40;

    RT_NO_REFERENCE_FIELDS(ResultScreenStatics, rt::NoReferenceBase)
};

ResultScreenStatics& resultScreenStatics();

// The results by game mode (nothing for modes 2, 3 and 6).
void paintResults();
// At most `s_resultsRows` rows in race order, revealed by `s_resultsRow`:
// the row coming in slides from the right by `s_resultsSlide` (the whole
// table slides in a championship's sub-phases 1 and 2). A row: the racer's
// badge, the name, the race time and, in a championship, the points
// shown and held.
void paintResultsMode0();
// The results of game modes 1 and 5 (`GameMode` numbers).
void paintResultsMode1(std::int32_t time);
void paintResultsMode5();

} // namespace game
