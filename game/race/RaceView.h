#pragma once
// The race state's paint message, split at the layer line: first the
// race's view pass (the values the simulation reads back from the view,
// computed here in the race without pixels, such as the camera and the
// road slices), then the race presentation's painter (RaceSeams.h), then
// the view pass's closing step. The simulation never depends on the
// painter: a frame leaves the same race state whatever it paints.
//
// Game thread only.
#include <cstdint>

namespace game {

// The view pass before the painter: the camera published to the view, the
// road slices and the cars' screen places, and the head-up display's
// values. The race set-up runs it once so that the first frame has them.
void runRaceViewPass();

// The race state's paint message: the view pass, the painter, then the
// closing step (the cars painted this frame, the head-up display's shake
// and counters).
void paintRaceState();

} // namespace game
