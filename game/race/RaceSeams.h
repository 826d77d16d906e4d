#pragma once
// What the race reaches in the folders above it: the lap option of the
// front end's pre-race selection. The composition root fills every member
// before start-up, and start-up stops when one is missing, so the race calls
// them without a test. Plain function pointers, never guest references.
//
// Game thread only.
#include <cstdint>

namespace game {

struct RaceSeams {
    // The lap option chosen in the pre-race selection (laps - 1), -1 none.
    std::int32_t (*lapOption)() = nullptr;
};

// The race's registry of this process.
RaceSeams& raceSeams();

} // namespace game
