#pragma once

// The one way blocks of 0xAARRGGBB pixels reach a Graphics: `drawRGB` with
// a sprite transform (bit 0 mirror left-right, bit 1 mirror top-bottom, bit
// 2 a quarter turn clockwise after the mirrors; higher bits are ignored).
// The platform's drawRGB knows no transforms, so a turned or mirrored block
// is first rearranged by `transformRGB` into one of the shared pixel buffers
// (SpriteStatics.h), whose contents last only until the next decode or
// transform. Threads: the game thread only.

#include "runtime/Array.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

// Draws a w x h block of `argb` (row r from offset + r * scanLength) at
// (x, y), turned by `transform`: for transforms 4 to 7 the block drawn is
// h wide and w tall. A transformed block is read packed (w x h entries from
// index 0, row length w), so callers pass offset 0 and scanLength w
// whenever the transform can be other than 0. `blend` belongs to a software
// target this game does not have; `processAlpha` decides everything.
void drawRGB(platform::javax_microedition_lcdui_Graphics* g, rt::IntArray* argb, std::int32_t offset,
             std::int32_t scanLength, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
             bool processAlpha, bool blend, std::int32_t transform);
inline void drawRGB(platform::javax_microedition_lcdui_Graphics* g, rt::IntArray* argb, std::int32_t offset,
                    std::int32_t scanLength, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    bool processAlpha) {
    drawRGB(g, argb, offset, scanLength, x, y, w, h, processAlpha, true, 0);
}

// The first w x h entries of `source` rearranged for `transform` into a
// shared buffer (`getTransformBuffer`), packed with row length w; w and h
// are the RESULT's size (the caller exchanges them for transforms 4 to 7,
// whose source is h wide and w tall). Transform 0 answers `source` itself.
// Null, after one log line, when `source` holds fewer than w x h entries or
// the block is larger than any buffer may grow.
rt::IntArray* transformRGB(rt::IntArray* source, std::int32_t w, std::int32_t h, std::int32_t transform);

} // namespace game
