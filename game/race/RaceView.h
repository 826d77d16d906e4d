#pragma once
// The race's side of a painted race frame, around the painter: first the
// view pass (the values the simulation reads back from the view, computed
// here without pixels: the camera, the road slices, the cars' screen places
// and the head-up display's values), then, after the race's screens have
// painted the picture (game/racescreens), the closing step. The simulation
// never depends on the painter: a frame leaves the same race state whatever
// it paints.
//
// Game thread only.
#include "game/framework/States.h"

#include <cstdint>

namespace game {

// The view pass before the painter: the camera published to the view, the
// road slices and the cars' screen places, and the head-up display's
// values. The race set-up runs it once so that the first frame has them.
void runRaceViewPass();
// The view pass's closing step, after the picture is painted: the cars
// painted this frame, the head-up display's shake and counters.
void finishRaceViewPass();

// The race state whose picture the current screen shows: the paused state
// under the pause menu, its options, help and questions; else the current
// state.
State pictureState();
// Whether that picture carries the head-up display: the countdown, and the
// race until it has finished.
bool isHudPictured();

// The head-up display's steps of the view pass around the painter: before
// it the intro (on the countdown's picture, by the frame's milliseconds)
// and the display's own step; after it the closing step.
void raceHudViewPass();
void raceHudClosingPass();

} // namespace game
