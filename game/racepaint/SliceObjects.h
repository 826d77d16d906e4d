#pragma once

// The flat objects that lie on the road's lanes: a block of ARGB pixels
// mapped onto a screen trapezoid in perspective, composed row by row in the
// shared pixel buffer and handed to the Graphics in one `drawRGB`.
//
// The blocks are `RoadImageStatics::s_sliceObjectPixels`, each
// s_backgroundWidth x s_backgroundHeight. Threads: the game thread only.

#include "runtime/Array.h"

#include <cstdint>

namespace game {

// Depths below this lie in front of the road's near plane.
inline constexpr std::int32_t kNearPlaneDepth = 200;

// Maps `pixels` (s_backgroundWidth x s_backgroundHeight) onto the trapezoid
// whose top edge runs from (topLeft, top) to (topRight, top) and whose
// bottom edge from (bottomLeft, bottom) to (bottomRight, bottom), bottom
// exclusive. Each screen row takes the source row and the edges where its
// top lies (the first row rounded, later ones truncated); a row's span
// [left, right) samples the source row from its first pixel on, and the
// rest of the bounding box stays transparent. The box is cut to the screen,
// so the buffer it is composed in never needs more than one screen of
// pixels. Nothing is drawn for a trapezoid with top >= bottom or a reversed
// edge, one wholly off the screen, or a block smaller than its stated size;
// a row whose edges meet stays transparent.
void drawScaledPixels(rt::IntArray* pixels, std::int32_t top, std::int32_t bottom, std::int32_t topLeft,
                      std::int32_t topRight, std::int32_t bottomLeft, std::int32_t bottomRight);

// A road slice's edge in camera space: lateral offset of the road centre,
// depth and height relative to the eye.
struct SliceEdge {
    std::int32_t x = 0;
    std::int32_t depth = 0;
    std::int32_t height = 0;
};

// The projection a lane object is drawn with: the focal distance, the
// screen x of the view's centre and the default eye level (not the
// camera's current horizon).
struct SliceObjectView {
    std::int32_t focal = 0;
    std::int32_t centerX = 0;
    std::int32_t horizonY = 0;
};

// Paints the lane object at `lateral` (the lane's centre) in the slice
// between `nearEdge` and `farEdge`: one lane wide and 944/4096 of the slice
// long, or, `wide`, two lanes and 1968/4096. The one-lane object shows its
// two frames in turn, changing every 16 state messages. Nothing is drawn
// when the object's middle (a quarter of the slice ahead, half of it for a
// wide one) lies at depth 200 or less, or when a depth it divides by is 0.
void paintSliceObject(std::int32_t lateral, const SliceEdge& nearEdge, const SliceEdge& farEdge, bool wide,
                      const SliceObjectView& view);

} // namespace game
