#pragma once

// What a race's air looks like, made once while the race loads: the haze
// strip that the race scene hangs over the horizon (RaceScene.h
// `s_hazeImage`) and the particle field of the weather layer that the
// in-race overlays drift across the screen.
//
// Haze, our design: an image as wide as the game screen and `height` rows
// high in the track's sky colour, transparent in its top row and growing
// towards `strength` percent of full cover in its bottom row, so that the
// panorama fades into the road's distance.
//
// Particles, our design: `kParticleCount` particles, three ints each
// (x, y on the game screen, speed in pixels per painted frame 1..4), placed
// by the shared random generator so that a replay makes the same field.
//
// Threads: the game thread only.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kParticleCount = 48;
inline constexpr std::int32_t kParticleInts = 3;
inline constexpr std::int32_t kParticleFastest = 4;

struct RaceAtmosphereStatics {
    // int[kParticleCount * kParticleInts]; null until a track asks for it.
    rt::IntArray* s_particles = nullptr;

    RT_REFERENCE_FIELDS(RaceAtmosphereStatics, rt::NoReferenceBase, s_particles)
};

RaceAtmosphereStatics& raceAtmosphereStatics();

// The haze of the current track into the race scene; `event` names the
// event slot whose track it is (its sky colour is the loaded track's). A
// height below 1 leaves no haze; the strength is held to 0..100.
void buildHazeImage(std::int32_t event, std::int32_t height, std::int32_t strength);

// The particle field of the weather layer (made once, placed anew on
// every call).
void initParticleField();

} // namespace game
