#pragma once

// Module image caches: every image module of a sprite decoded once per
// palette into an image, so that painting (Paint.h) draws it with one
// drawImage or drawRegion instead of decoding it again. Built while loading,
// never during a frame's paint.
//
// Collections are asked for around builds, not per module, while the sprite
// engine's `s_gcOnLoad` is set. Threads: the game thread only; decoding and
// image making share the one pixel buffer.

#include <cstdint>

namespace game {

class ASprite;

// Cache-request bits of a sprite-table slot (the low 16 bits are the
// palette mask, 0 meaning palette 0 only).
namespace cache_spec {
inline constexpr std::int32_t kPaletteMask = 0xFFFF;
inline constexpr std::int32_t kBuild = 1 << 16;
inline constexpr std::int32_t kDropPixels = 1 << 17;
} // namespace cache_spec

// Caches modules first..last (last -1: the last module) of `sprite` in
// `palette`. `sourcePalette` -1 decodes and builds the images; 0 or more
// copies that palette's image references instead (both palettes then share
// the same images). Primitive and empty modules, and modules that do not
// decode, keep no image. A sprite without module pixels gets its palette
// row and nothing else. A palette without a slot in the image table, or a
// copy from a palette that has no row, logs and caches nothing.
void buildCacheImages(ASprite* sprite, std::int32_t palette, std::int32_t first, std::int32_t last,
                      std::int32_t sourcePalette);
// Caches, in `palette`, each module that frame `frame` uses and that has no
// image yet, asking for one collection before and one after instead of
// three per module. `mapping` is -1 (module mappings are off).
void buildFrameCacheImages(ASprite* sprite, std::int32_t palette, std::int32_t frame, std::int32_t mapping);
// Caches sprite `n` of the sprite table as its cache request asks:
// each palette of the mask (palette 0 for an empty mask) when the build bit
// is set, then drops its module pixels when the drop bit is set too.
// Nothing for n < 0 or an empty slot.
void buildSpriteCache(std::int32_t n);
// Caches the modules of `frame` of sprite `n` in palette 0, then drops the
// sprite's module pixels: modules the frame does not use can no longer be
// drawn.
void buildSpriteFrameCache(std::int32_t n, std::int32_t frame);

} // namespace game
