#pragma once

// The road projection: the stretch of track ahead of the camera turned into
// road slices once per painted frame, one slice per segment, for the road
// painter, the roadside and the race scene. No pixels are drawn here.
//
// A plain pinhole camera: a point at depth z (growing away from the camera),
// lateral offset x and height y relative to the eye lands at screen
// x = centre + focal * x / z and screen y = horizon - focal * y / z. Integer
// arithmetic on the race's fixed point (4096 = 1.0); angles in units of 2048
// to the circle through the game's cosine, sin(a) = cos(a - quarter).
//
// Slices 0..14 describe the near edge of the segment each begins; slice 15
// the far end of slice 14. Slices 16..31 belong to the second road of a
// fork, which nothing fills (the fork is not built). A slice whose
// projection fails keeps last frame's screen x and y; width 0 and scale 0
// mark it not visible.
//
// Statics: `RoadSliceStatics`. Threads: the game thread only.

#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kSliceCount = 32;
inline constexpr std::int32_t kMainRoadSlices = 16;
// Nearer than this a slice edge is moved onto it.
inline constexpr std::int32_t kSliceNearDepth = 200;
// Narrowest and widest projected road (the end slice has no widest).
inline constexpr std::int32_t kSliceMinWidth = 25;
inline constexpr std::int32_t kSliceMaxWidth = 3600;

struct RoadSliceStatics {
    std::int32_t s_sliceSegment[kSliceCount] = {};
    // Heading of the road at the slice relative to the camera.
    std::int32_t s_sliceAngle[kSliceCount] = {};
    // The road centre relative to the camera: lateral, depth, height.
    std::int32_t s_sliceX[kSliceCount] = {};
    std::int32_t s_sliceDepth[kSliceCount] = {};
    std::int32_t s_sliceHeight[kSliceCount] = {};
    // Per segment length, 4096 = 1.0: -sin(angle), cos(slope), sin(slope).
    std::int32_t s_sliceStepX[kSliceCount] = {};
    std::int32_t s_sliceStepDepth[kSliceCount] = {};
    std::int32_t s_sliceStepHeight[kSliceCount] = {};
    // (focal << 12) / max(z, 200), 0 when not visible; the same over
    // max(z, 10), made positive.
    std::int32_t s_sliceScale[kSliceCount] = {};
    std::int32_t s_sliceNearScale[kSliceCount] = {};
    // Screen x of the road's left edge, screen y of the edge (always even)
    // and the road's width on the screen (0: not visible).
    std::int32_t s_sliceScreenX[kSliceCount] = {};
    std::int32_t s_sliceScreenY[kSliceCount] = {};
    std::int32_t s_sliceScreenWidth[kSliceCount] = {};

    RT_NO_REFERENCE_FIELDS(RoadSliceStatics, rt::NoReferenceBase)
};

RoadSliceStatics& roadSliceStatics();

// What the projection reads of the camera and the player's car; the view
// pass fills it from the camera's statics each frame.
struct RoadCamera {
    std::int32_t segment = 0;
    std::int32_t lateral = 0;
    std::int32_t focal = 200;
    std::int32_t pitch = 0;
    std::int32_t pitchOffset = 0;
    std::int32_t lift = 0;
    std::int32_t distance = 450;
    std::int32_t horizonY = 0;
    std::int32_t centerX = 0;
    // The player's car: the camera lies one segment behind it when these
    // differ from `segment`.
    std::int32_t playerSegment = 0;
    std::int32_t playerSegmentPos = 0;
};

// Fills slices 0..15 from `segment`, the road starting at (x, z, y) relative
// to the eye (y already lowered by the eye's height) with `heading`. Reads
// the track's curves, slopes, segment count and half-width.
void projectRoad(const RoadCamera& camera, std::int32_t segment, std::int32_t heading, std::int32_t x,
                 std::int32_t z, std::int32_t y);

// The near edge of slice i from its near (xb, zb, yb) and far (xa, za, ya)
// left-edge points; `slopeCos` is the slice's depth step.
void projectSliceEdge(const RoadCamera& camera, std::int32_t i, std::int32_t slopeCos, std::int32_t xb,
                      std::int32_t zb, std::int32_t yb, std::int32_t xa, std::int32_t za, std::int32_t ya);

// A point of a slice on the screen, with the drawing scale of anything
// standing there (4096 = 1.0).
struct SlicePoint {
    bool visible = false;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t scale = 0;
};

// The race's fixed-point product: (a * b + 2048) >> 12 with the product in
// 32 bits, as the view's arithmetic has it.
std::int32_t sliceFx(std::int32_t a, std::int32_t b);
// sin(angle) as cos(angle - quarter circle), 4096 = 1.0.
std::int32_t sliceSine(std::int32_t angle);

// The drawing scale (4096 = 1.0) of anything standing at depth z > 0 on the
// road: (450 << 12) / z up to the camera's distance, 1.0 for the 40 units
// after it, then (450 << 12) / (z - 40).
std::int32_t drawingScale(const RoadCamera& camera, std::int32_t z);

// The point `pos` (0..1023) into slice k, `lateral` from the road centre
// and `lift` above the road; not visible at depth 0 or behind. The scale is
// `drawingScale`'s. Answers a value: nothing is allocated.
SlicePoint getRoadSliceX(const RoadCamera& camera, std::int32_t k, std::int32_t lateral, std::int32_t pos,
                         std::int32_t lift);

} // namespace game
