#pragma once

// The software scaler and the painters around it. The scaler draws a plain
// zoom cache entry (ZoomCache.h) at any scale (4096 = 1.0), mirrored,
// recoloured through another palette and with alpha, by nearest-pixel
// sampling into the shared scratch `s_rgbBuffer` and one `drawRGB` on the
// frame's Graphics. The painters look entries up by sprite and frame or
// animation; the pre-zoomed painters draw ready step images.
//
// Clipping is against the game screen (640 x 480); a paint that would not
// fit the scratch draws nothing. The painter parameters (palette, alpha
// palette, alpha) come from the statics of ZoomStatics, set by the caller
// around a paint. Flags: bit 0 mirrors left-right, bit 1 top-bottom.
//
// Rounding: a destination row takes the source row its position rounds to,
// a destination column the one its position truncates to. Mirrored
// top-bottom, the first row rounds to one past the last source row and is
// dropped, so the frame's top source row is not drawn. Threads: the game
// thread only.

#include <cstdint>

namespace game {

class ZoomedSpritePlayer;

// Draws the plain `entry` with its frame origin at (x, y). An `alpha` of 0
// stands for `s_zoomAlpha`. With `alphaMask`, an alpha of -1 turns every
// pixel but the key colour 0x00FF00FF into opaque black, any other alpha is
// ANDed into every pixel's alpha byte. `bank` is not used.
void paintZoomed(ZoomedSpritePlayer* entry, std::int32_t scale, std::int32_t x, std::int32_t y,
                 std::int32_t flags, bool bank, std::int32_t alpha, bool alphaMask);
void paintZoomedCached(std::int32_t s, std::int32_t f, std::int32_t scale, std::int32_t x, std::int32_t y,
                       std::int32_t flags, bool bank, std::int32_t alpha, bool alphaMask);
inline void paintCachedZoomed(std::int32_t s, std::int32_t f, std::int32_t scale, std::int32_t x,
                              std::int32_t y, std::int32_t flags) {
    paintZoomedCached(s, f, scale, x, y, flags, false, 0, false);
}

// Paints the frame of animation a current at `time` of `duration` ms:
// `time` is mapped onto the sum of the frame times, a time at or past the
// duration gives the first frame. With `fade`, `s_zoomAlpha` becomes
// 255 - 255 x frame / 12, at least 0, and the frame is painted masked by
// `alpha`. Answers true when the entry is missing, its times sum to 0
// (nothing is painted), or the frame ran past the end.
bool paintZoomedAnim(std::int32_t s, std::int32_t a, std::int32_t scale, std::int32_t x, std::int32_t y,
                     std::int32_t flags, std::int32_t time, std::int32_t duration, bool bank, bool fade,
                     std::int32_t alpha);
// Paints animation frame `index`, or frame counter modulo the frame count
// when index is -1. A missing entry paints nothing.
void paintZoomedFaded(std::int32_t s, std::int32_t a, std::int32_t index, std::int32_t counter,
                      std::int32_t scale, std::int32_t x, std::int32_t y, std::int32_t flags, bool bank,
                      bool fade, std::int32_t alpha);
// Stretches frame f over the screen columns xLeft .. xRight - 1 between a
// top and a bottom edge, each a straight line from its left to its right
// value. Rows of a column outside its span are transparent.
void paintZoomedStrip(std::int32_t s, std::int32_t f, std::int32_t xLeft, std::int32_t xRight,
                      std::int32_t topLeft, std::int32_t topRight, std::int32_t bottomRight,
                      std::int32_t bottomLeft, std::int32_t flags, bool bank);

// Draws the step image of a stepped entry in palette `s_preZoomPalette`
// that `scale` reaches, at (x, y) plus the step's offset (not mirrored).
void paintPreZoomedStep(ZoomedSpritePlayer* entry, std::int32_t scale, std::int32_t x, std::int32_t y,
                        std::int32_t flags);
void paintPreZoomedCached(std::int32_t s, std::int32_t f, std::int32_t scale, std::int32_t x, std::int32_t y,
                          std::int32_t flags, bool bank);
// As `paintZoomedAnim` on the pre-zoomed cache; the fade goes to `s_preZoomAlpha`.
bool paintPreZoomedAnim(std::int32_t s, std::int32_t a, std::int32_t scale, std::int32_t x, std::int32_t y,
                        std::int32_t flags, std::int32_t time, std::int32_t duration, bool bank, bool fade);

} // namespace game
