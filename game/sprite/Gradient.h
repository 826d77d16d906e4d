#pragma once

// Drawing beyond one platform call, on the frame's Graphics: a rectangle
// filled with a linear ARGB gradient, and a triangle with the corners that
// lie beyond one screen edge pulled onto that edge. Threads: the game
// thread only. The gradient overwrites the shared pixel buffer.

#include <array>
#include <cstdint>

namespace game {

// Directions of a gradient: the MIDP anchor of the edge where `colour2` lies.
namespace gradient_direction {
inline constexpr std::int32_t kToLeft = 4;
inline constexpr std::int32_t kToRight = 8;
inline constexpr std::int32_t kToTop = 16;
inline constexpr std::int32_t kToBottom = 32;
} // namespace gradient_direction

// Fills (x, y, w, h) from `colour1` to `colour2` (0xAARRGGBB, each channel
// alpha included interpolated in 16.16 fixed point), drawn with alpha in
// strips of the shared pixel buffer. A gradient one pixel long takes its
// start colour (`colour1`, or `colour2` for directions 4 and 16); one of no
// pixels, another direction or a line longer than the buffer draws nothing.
void fillGradient(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t colour1,
                  std::int32_t colour2, std::int32_t direction);

// Fills the triangle in the Graphics' colour. Nothing is drawn when it lies
// wholly beyond an edge of the configured screen or its corners are on one
// line; two corners beyond the same edge slide along their edges to the
// third corner onto that edge (columns first, then rows). A single corner
// beyond an edge is left to the Graphics' clip.
void fillClippedPolygon(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
                        std::int32_t y3);
// The clipper's work on (x1, y1, x2, y2, x3, y3) for a screen of width x
// height: false when the triangle is not to be drawn, else true with the
// corners moved. Products are taken in 64 bits; a corner moved beyond the
// range of int is held at its end.
bool clipTriangle(std::array<std::int32_t, 6>& corners, std::int32_t width, std::int32_t height);

} // namespace game
