#pragma once

// The game's composition root: what the platform's start-up runs (the data
// set, the game's static initialisation, the MIDlet `Zelvora`) and what
// fills the registries through which a lower folder reaches a higher one:
// the framework's (state handlers, loading steps, frame, sound, sprite,
// race and promotion hooks) and the race's (the lap option).

#include "platform/app/StartupHooks.h"

#include <cstdint>
#include <string>

namespace game {

// Fills every registry; idempotent.
void registerGame();
// The first registration the game needs that is missing, named
// ("race.lapOption", "no handler for state 12"); empty when all are there.
// Start-up refuses to go on without one, with exit status 1.
std::string missingGameRegistration();

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
