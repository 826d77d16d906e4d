#pragma once

// The walks of the screen tour: the whole tour, which visits every screen of
// the game once and names a picture after each, and the paths a player takes
// from the start to a race and back to the menus.

#include "tools/tour/Tour.h"

namespace tour {

std::vector<Step> wholeTour();

// The run command's demo: what a newcomer does in two minutes. The splash and
// the sound question, the title, Play, a single race on the first car and
// event cut to one lap, its load, flyover, racer intro and countdown, the
// lap driven by the test driver (steering through the bends, the coins
// collected fired as nitro from the coin plate), the finish, the results,
// the after-race menu left for the main menu.
std::vector<Step> demoWalk();

} // namespace tour
