#pragma once

// The road's surface, painted from the nearest slice to the farthest in
// bands 4 rows high. Each band is a blit of the pre-shaded road image of
// the band's width (RoadImages.h) for the left half and the same image
// mirrored for the right half. On the way every visible slice gets the clip
// under which everything in it is drawn, so that what lies behind a crest
// stays hidden.
//
// Reads the road slices (game/race/RoadProjection.h) and the track's edge
// flags (bit 0 takes a lane off the left, bit 1 off the right), surfaces
// and attributes (attribute 6: a flat purple ground instead of a road).
// Writes no race state. Threads: the game thread only.

#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The surface attribute painted as one flat colour, and that colour.
inline constexpr std::int32_t kFlatGroundAttribute = 6;
inline constexpr std::int32_t kFlatGroundColour = 0x3D2D47;

struct RoadBandStatics {
    // The race's drawing area: top, bottom and left screen edges, width.
    std::int32_t s_clipTop = 0;
    std::int32_t s_clipBottom = 0;
    std::int32_t s_clipLeft = 0;
    std::int32_t s_viewWidth = 0;
    // Per slice, the clip of everything drawn in it: bottom, left, width.
    std::int32_t s_sliceClipY[32] = {};
    std::int32_t s_sliceClipLeft[32] = {};
    std::int32_t s_sliceClipWidth[32] = {};
    // The top row of the band drawn last.
    std::int32_t s_roadClipBottom = 0;
    // Set once a slice named a surface without images this race.
    std::int8_t s_surfaceFaultLogged = 0;

    RT_NO_REFERENCE_FIELDS(RoadBandStatics, rt::NoReferenceBase)
};

RoadBandStatics& roadBandStatics();

// The drawing area as the whole screen. At start-up and for each race.
void roadBandStaticInit();

// What the race scene passes each frame.
struct RoadBandView {
    // A slice turned this far or more from the camera is not drawn.
    std::int32_t angleLimit = 0;
    // The screen shake, moving the slices' clips left.
    std::int32_t shakeX = 0;
};

// Paints the main road's bands and sets the clips of its slices. A surface
// past the built ones, or one without images, is painted with surface 0
// (logged once per race); with no images at all the bands are left out.
void paintRoadBands(const RoadBandView& view);

} // namespace game
