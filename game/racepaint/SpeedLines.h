#pragma once

// The speed lines of a boost: up to ten radial lines drawn last over the
// race world, from a circle of radius 320 px around the view's centre
// (`s_screenCenterX`, `s_viewHorizonY`) toward it, their inner ends bent
// with the road. Directions and lengths come from the race utilities'
// `s_speedLines`, drawn anew each race frame.
//
// Game thread only.
#include <cstdint>

namespace game {

// Line i as it is drawn: its colour (0xRRGGBB) and its outer and inner
// ends; `drawn` false for an odd line without a side contact.
struct SpeedLine {
    bool drawn = false;
    std::int32_t colour = 0;
    std::int32_t outerX = 0, outerY = 0, innerX = 0, innerY = 0;
};

SpeedLine speedLine(std::int32_t i, bool sideContact);

// Draws the lines on the frame's Graphics, clipped to the screen inset by
// one pixel and moved by the shake, while the player's car boosts; nothing
// in the particle weather (`kParticleWeather`). The clip is the whole screen afterwards.
void paintSpeedLines();

} // namespace game
