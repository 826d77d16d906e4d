#pragma once

// The game's composition root: what the platform's start-up runs (the data
// set, the game's static initialisation, the MIDlet `Zelvora`) and what
// fills the framework's registries (state handlers, loading steps, frame and
// sound hooks). Subsystems above the framework register here as they land.

#include "platform/app/StartupHooks.h"

#include <cstdint>

namespace game {

// Fills the framework's registries; idempotent.
void registerGame();

// The start-up of the game: `registerGame`, then the data set and its
// constant strings, the game's static initialisation, and the MIDlet.
platform::StartupHooks startupHooks();

// After start-up, races race row `row` at once instead of showing the front
// end (`vorlax --race ROW`): the state that follows start-up hands the race
// to the loading state, which loads it as the front end's races load, waits
// for the player's tap and enters it. A row that cannot be raced ends the
// run, logged.
void startWithQuickRace(std::int32_t row);

} // namespace game
