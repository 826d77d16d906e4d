#pragma once
// A race entered without the front end, for development and tests: race
// row `row` becomes the only event slot, and the race-load steps run at
// once in the order the staged loader runs them, as far as they exist
// today: the zones, the track, the race images, the menus' texts, the
// computer cars, the player's car in the last slot, their opponents, the
// race's texts and the effect players. The race is set up
// by the first race state entered.
//
// Game thread only.
#include <cstdint>

namespace game {

// Loads race row `row` (0..5 and inside the race table); false, logged,
// when the row or its track cannot be raced.
bool loadQuickRace(std::int32_t row);
// The state a quick race starts in: the flyover (40) in game mode 0, else
// the countdown (41).
std::int32_t quickRaceFirstState();

} // namespace game
