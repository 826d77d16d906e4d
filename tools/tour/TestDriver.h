#pragma once

// A player for races: steers by the race's state (where the car is across
// the road, its heading, the bends ahead), not by pixels, and acts through
// the program's real input, holding the stylus in the race's steering
// zones (the left and the right half of the screen, at its middle) as a
// player's thumb does. The car accelerates by itself; the driver only
// steers, keeping to the road's centre line.

#include "tools/tour/Tour.h"

#include <cstdint>
#include <string>

namespace tour {

// The `Step::during` of a race step: steers while the race runs, lets go
// otherwise (the count before the start, the drive after the finish, any
// other screen).
std::function<void(const Frame&, Player&)> driveToCentre();

// The racers from the first place to the last: "P" for the player, the
// racer's number for the others.
std::string finishingOrder();

// Waits in the race state for the finish ("Tap to continue"), driving the
// car with `during` (none: no input at all), then notes the race's own
// account of the race (its "race over" line) and the finishing order in
// `outcome`.
Step raceToFinish(std::function<void(const Frame&, Player&)> during, std::string& outcome);

// The steps of one quick race started with `--race` by a player who has
// never played: the sound question answered, the start prompt tapped, the race run to its finish as
// `raceToFinish` does.
std::vector<Step> quickRaceSteps(std::function<void(const Frame&, Player&)> during, std::string& outcome);

} // namespace tour
