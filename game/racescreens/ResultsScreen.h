#pragma once
// The results state (43): the result of a finished race over the race that
// keeps running behind it. It reveals the rows one by one (game mode 0) or
// at once (modes 1, 4 and 5; modes without rows are ready at once), walks a
// championship through its points (game/race/RaceResults.h), and leads to
// the next race, the next event, the championship's end or the after-race
// menu. Each phase waits for a key or a tap.
//
// Game thread only.
#include <cstdint>

namespace game {

void stateRaceResults(std::int32_t message);

} // namespace game
