#pragma once

// The rectangle fill and the line of the 3D track painters, cut to the
// frame Graphics' clip before they reach `fillRect` and `drawLine`. The
// painters draw slice by slice under each slice's clip, so most of their
// calls lie partly outside it. The clip (L, T, width, height) has exclusive
// right and bottom edges R = L + width and B = T + height.
//
// Threads: the game thread only.

#include <cstdint>

namespace game {

// Fills the part of (x, y, w, h) inside the clip in the Graphics' colour. A
// rectangle that only touches the clip's left or top edge is passed on with
// width or height 0.
void fillRectClipped(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);

// Draws the part of the line between the clip's left and right edges: an
// end beyond one of them slides along the line onto the edge (the right one
// onto R - 1), divisions toward zero with the products in 64 bits, so that
// far-off points cannot wrap. Lines wholly above or below the clip, and
// horizontal ones cut down to one point, are dropped; the Graphics clips
// the rest.
void drawLineClipped(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

} // namespace game
