#pragma once

// The road's pictures as the road painter blits them: per road surface a
// list of pre-shaded images of the road's left half, one per width, built
// before the race from the surface's background picture; the width of one
// lane in each of them; and the lane objects' pixel blocks with the
// transparent pattern their painter fills around them.
//
// Road images, our design. Surface k is background picture k. The picture
// is the road's left half seen from above: column 0 the outer edge, the
// last column the centre line, rows along the road. Surface k gets
// `kRoadImageCount` images; image j is `roadImageWidth(j)` = 25 + 16 j
// pixels wide (the road's half-width at some depth) and `kRoadBandRows`
// high, the picture scaled to it with its first and last columns kept.
// Images are shaded by depth from three track values:
//   `s_trackColours`[2]: the darkening at the far end, in 256ths (0 none,
//       256 black; clamped to that range);
//   `s_trackColours`[3]: the half-width at and below which the darkening
//       is whole (the far road);
//   `s_trackColours`[4]: the half-width at and above which there is none
//       (the near road); between the two it falls linearly.
// A tint then pulls every channel toward the tint colour by strength / 128
// (strength clamped to 0..128): in the particle weather toward 0x101015 by
// ((weather strength - 50) << 7) / 100.
//
// Statics: `RoadImageStatics`; the race loader fills `s_backgroundImages`.
// Threads: the game thread only.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kRoadImageCount = 111;
inline constexpr std::int32_t kRoadImageFirstWidth = 25;
inline constexpr std::int32_t kRoadImageLastWidth = 1800;
inline constexpr std::int32_t kRoadImageWidthStep = 16;
inline constexpr std::int32_t kRoadBandRows = 4;
inline constexpr std::int32_t kWeatherTintColour = 0x101015;

constexpr std::int32_t roadImageWidth(std::int32_t j) {
    return kRoadImageFirstWidth + kRoadImageWidthStep * j;
}

struct RoadImageStatics {
    // Background pictures of the track (Image[]); an entry becomes null once
    // converted into road images.
    rt::ObjectArray* s_backgroundImages = nullptr;
    // Per surface, Image[`kRoadImageCount`] in order of width; null for a
    // surface not built.
    rt::ObjectArray* s_backgroundRows = nullptr;
    // The picture being converted, width x height ARGB; reused while its
    // size stays.
    rt::IntArray* s_backgroundPixels = nullptr;
    std::int32_t s_backgroundWidth = 0;
    std::int32_t s_backgroundHeight = 0;
    // One road image's pixels while it is made (the widest image's size).
    rt::IntArray* s_roadImagePixels = nullptr;
    // short[`kRoadImageCount`]: one lane's width in each image of surface 0,
    // used for every surface.
    rt::ShortArray* s_roadImageLaneWidth = nullptr;
    // The lane objects' ARGB blocks, s_backgroundWidth x s_backgroundHeight
    // each: [0] and [1] the one-lane object's two frames, [2] the two-lane one.
    rt::ObjectArray* s_sliceObjectPixels = nullptr;
    // Transparent pixels, a screen row of them, copied around a lane object.
    rt::IntArray* s_fillPattern = nullptr;

    RT_REFERENCE_FIELDS(RoadImageStatics, rt::NoReferenceBase, s_backgroundImages, s_backgroundRows,
                        s_backgroundPixels, s_roadImagePixels, s_roadImageLaneWidth, s_sliceObjectPixels,
                        s_fillPattern)
};

RoadImageStatics& roadImageStatics();

// Makes the arrays of fixed size: the lane widths and the fill pattern.
void roadImageStaticInit();

// The tint of the road images for a weather mode and strength, in 128ths.
std::int32_t weatherTintStrength(std::int32_t weatherMode, std::int32_t weatherStrength);

// Converts background `index` into surface `index`'s road images and drops
// the picture (a collection may run between, when the configuration asks
// for one after unloading). A null entry, or an index outside the list, is
// left alone: converting twice does nothing the second time.
void buildRaceBackground(std::int32_t index);

// The road images of one picture (Image[`kRoadImageCount`]), or null when
// the picture is empty or holds fewer than width x height pixels.
rt::ObjectArray* buildGradientImage(rt::IntArray* pixels, std::int32_t width, std::int32_t height,
                                    std::int32_t shadeDepth, std::int32_t shadeFar, std::int32_t shadeNear,
                                    std::int32_t tintColour, std::int32_t tintStrength);

// The lane objects' blocks from the race's three roadside images (entries
// 1, 2 and 0 of the image pack, in `RaceImageStatics::s_roadsideImages`),
// each scaled to s_backgroundWidth x s_backgroundHeight, the size of the
// background converted last. Blocks of that size are reused. A missing
// image leaves its block transparent; without a converted background there
// is no size and nothing is made.
void grabImagePixels();

// `s_roadImageLaneWidth`[j] = image j's width x 2 / lane count for the images
// of surface 0 (a lane count below 1 counts as 1); 0 where there is no image.
void computeRoadImageLaneWidths();

} // namespace game
