#pragma once

// The walks of the screen tour: the whole tour, which visits every screen of
// the game once and names a picture after each, and the paths a player takes
// from the start to a race and back to the menus.

#include "tools/tour/Tour.h"

namespace tour {

std::vector<Step> wholeTour();

} // namespace tour
