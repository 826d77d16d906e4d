#pragma once
// The race state's paint message, split at the layer line: first the
// race's view pass (the values the simulation reads back from the view,
// computed here in the race without pixels, such as the camera and the
// road slices), then the painter that the presentation layer registers,
// then the view pass's closing step.
// The simulation never depends on the painter: a frame leaves the same race
// state with or without one. Both are plain function pointers that later
// work fills; empty, the message does nothing.
//
// Game thread only.
#include <cstdint>

namespace game {

struct RaceViewHooks {
    // The race's own view pass.
    void (*viewPass)() = nullptr;
    // The presentation layer's painting of the race scene and its overlays.
    void (*painter)() = nullptr;
    // The view pass's closing step: the race state that changes once a
    // frame's picture is drawn (the cars painted this frame, the head-up
    // display's shake and counters). Runs whether or not there is a painter.
    void (*afterPaint)() = nullptr;
};

// The hooks of this process.
RaceViewHooks& raceViewHooks();

// The race state's paint message: the view pass, the painter, then the
// closing step.
void paintRaceState();

// The race state's messages that the race model answers: update runs one
// race frame, paint runs `paintRaceState`; enter and exit belong to the
// race set-up. Answers whether it handled `message`.
bool raceStateMessage(std::int32_t message);

} // namespace game
