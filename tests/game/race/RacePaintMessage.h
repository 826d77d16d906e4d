#pragma once
// The race state's paint message with a picture of the test's between the
// race's view pass and its closing step: one that paints nothing, or one
// that reads the race, to show that the race is the same whatever is
// painted.

#include "game/race/RaceView.h"

namespace race_testing {

inline void paintRaceStateWith(void (*picture)()) {
    game::runRaceViewPass();
    picture();
    game::finishRaceViewPass();
}

// A picture that paints nothing.
inline void paintNothing() {
}

} // namespace race_testing
