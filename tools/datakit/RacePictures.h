#pragma once

// Pictures of a race scene painted by code, for tests and the demo set:
// the road surfaces the road images are built from, the lane objects, the
// haze over the horizon, a panorama sprite, and the sky and fog colours of
// a track. Every function gives the same pixels on every run.
//
// A road surface picture is the road's left half seen from above (the road
// images' layout): column 0 the road's outer edge, the last column the
// centre line, rows along the road.

#include "tools/datakit/SpriteWriter.h"
#include "tools/datakit/TrackWriter.h"

#include <array>
#include <cstdint>
#include <vector>

namespace datakit {

struct Picture {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, rows top first
    std::uint32_t at(std::uint32_t x, std::uint32_t y) const { return pixels[y * width + x]; }
};

struct RoadLook {
    std::uint32_t tarmac = 0x505058;
    std::uint32_t edgeLine = 0xE8E8E8;
    std::uint32_t laneMark = 0xF0F0F0;
    std::uint32_t centreLine = 0xF2C200;
    // The kerb strip outside the edge line; surfaces alternate its colours.
    std::array<std::uint32_t, 2> kerb = {0xD02020, 0xF0F0F0};
    // Lanes across the whole road (at least 1).
    std::uint32_t lanes = 4;
};

// Column of the lane mark between lanes k and k + 1 of the left half, for
// the lane boundaries that lie in it (k + 1 < lanes / 2 rounded up).
std::vector<std::uint32_t> laneMarkColumns(const RoadLook& look, std::uint32_t width);

// The road's left half, opaque: the kerb in the first width / 16 columns
// (at least one) in kerb colour `kerbPhase` & 1, the edge line in the same
// number after it, lane marks one column wide, the centre line in the last
// column.
Picture roadSurfacePicture(const RoadLook& look, std::uint32_t width, std::uint32_t height,
                           std::uint32_t kerbPhase = 0);
// Two surfaces, the kerb colours exchanged: alternated segment by segment
// they make a striped kerb.
std::array<Picture, 2> kerbSurfacePictures(const RoadLook& look, std::uint32_t width, std::uint32_t height);

// Three lane objects as the race's roadside images, all `side` square: two
// frames of a one-lane boost arrow (the arrow's colour alternating) and a
// two-lane chequered pad. Transparent around the shapes.
std::array<Picture, 3> laneObjectPictures(std::uint32_t side);

// Haze over the horizon: `colour`, fully opaque on the bottom row and
// fading to transparent at the top.
Picture hazePicture(std::uint32_t width, std::uint32_t height, std::uint32_t colour);

// A panorama sprite of filled-rectangle modules (hills and a skyline in
// `colours`) lying above its origin (every frame-module ends at y 0 or
// higher up), `width` wide: frame 0 the panorama, frames 1 and 2 two
// overlay frames (clouds) in front of it.
SpriteModel panoramaSprite(std::uint16_t width, const std::array<std::uint32_t, 3>& colours);

// Sky, ground fog and wall fog: a track's style colours [5], [7] and [9].
void setSkyAndFog(TrackModel& track, std::uint32_t sky, std::uint32_t groundFog, std::uint32_t wallFog);

} // namespace datakit
