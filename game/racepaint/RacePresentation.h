#pragma once

// The race presentation's part of a race's set-up.
//
// Entities reach the car painters as they are: the race state that
// changes as cars are shown runs in the view pass before the painter and
// in its closing step after it (game/race/CarViewPass.h), so the
// simulation is the same with or without a painter.
//
// Game thread only.

namespace game {

// A race's set-up, after its track and race images are loaded: the
// roadside track names and fog start, the fog colours (track style 7 for
// the ground, 9 for walls), the scenery tables and their buffer (the
// view's width by the screen's height), and the car painters' flash. The
// busy-race fixtures and the roadside fuzzer set their races up with it.
void setupRacePresentation();

} // namespace game
