#pragma once

// `SpriteWriter`: sprite data from a model of a sprite. The model holds the
// five sections (modules of every type, frame-modules, frames with their
// boxes, animation frames, animations) and the pixel section (palettes in
// either palette format and every module's palette indexes, with alphas for
// the alpha encoding); the writer lays them out little-endian as the format
// word says, encoding the pixels in the model's encoding.
//
// What the model holds must fit the format it names: 8-bit widths without
// format bit 0x10, indexes below the encoding's reach (2, 4 or 16 colours
// for the packed encodings), palette colours that the palette format can
// hold (16-bit: 5-bit channels, alpha 0 or 0xFF). Format bit 0x2000000 is
// never written.

#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace datakit {

namespace sprite_bits {
inline constexpr std::uint32_t kModuleSizeShorts = 0x10;
inline constexpr std::uint32_t kModuleDataSizes32 = 0x80;
inline constexpr std::uint32_t kOffsetShorts = 0x400;
inline constexpr std::uint32_t kFrameBoxes = 0x8000;
inline constexpr std::uint32_t kAFrameOffsetShorts = 0x40000;
inline constexpr std::uint32_t kPixelSection = 0x1000000;
inline constexpr std::uint32_t kUndefinedTables = 0x2000000;
} // namespace sprite_bits

// Every encoding the game decodes.
inline constexpr std::uint16_t kSpriteEncodings[] = {0x0200, 0x0400, 0x1600, 0x64F0, 0x27F1, 0x56F2, 0xA256};

struct SpriteModule {
    // 0 image, 1 rectangle, 2 filled rectangle, 3 arc, 4 filled arc, 5 blank,
    // 6 triangle, 7 filled triangle.
    std::uint8_t type = 0;
    std::uint32_t colour = 0;         // types 1-4, 6, 7
    std::uint16_t width = 0;          // types 0-5
    std::uint16_t height = 0;         // types 0-5
    std::vector<std::int16_t> params; // 2 for types 3, 4; 4 for types 6, 7
};

struct SpriteFModule {
    std::uint8_t module = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint8_t flags = 0;
};

struct SpriteBox {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
};

struct SpriteFrame {
    std::uint8_t fmoduleCount = 0;
    std::int16_t firstFModule = 0;
    std::int8_t boxCount = 0; // with format bit 0x8000
};

struct SpriteAFrame {
    std::uint8_t frame = 0;
    std::uint8_t time = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint8_t flags = 0;
};

struct SpriteAnim {
    std::uint8_t aframeCount = 0;
    std::int16_t firstAFrame = 0;
};

struct SpritePixels {
    std::uint16_t paletteFormat = 0x8888; // or 0x5515
    std::int32_t colourCount = 1;         // 1..256
    // Each palette holds `colourCount` colours 0xAARRGGBB.
    std::vector<std::vector<std::uint32_t>> palettes;
    std::uint16_t encoding = 0x56F2;
    // Per module, width x height palette indexes, row by row (empty for a
    // module without pixels).
    std::vector<std::vector<std::uint8_t>> indexes;
    // Per module, the alpha of each pixel for encoding 0xA256.
    std::vector<std::vector<std::uint8_t>> alphas;
};

struct SpriteModel {
    std::uint16_t header = 0;
    std::uint32_t format = 0;
    std::vector<SpriteModule> modules;
    std::vector<SpriteFModule> fmodules;
    std::vector<SpriteBox> boxes; // with format bit 0x8000
    std::vector<SpriteFrame> frames;
    std::vector<SpriteAFrame> aframes;
    std::vector<SpriteAnim> anims;
    // Written when format bit 0x1000000 is set.
    std::optional<SpritePixels> pixels;
};

// The type byte that stands for a module type in the data.
std::uint8_t spriteModuleTypeByte(std::uint8_t type);

// The colour as the 16-bit palette format holds it (bit 15 opaque).
std::uint16_t spriteColour1555(std::uint32_t argb);

// One module's pixels in `encoding` for `colourCount` colours.
Bytes encodeSpritePixels(std::uint16_t encoding, std::int32_t colourCount,
                         std::span<const std::uint8_t> indexes, std::span<const std::uint8_t> alphas = {});

Bytes writeSprite(const SpriteModel& model);

// A sprite of every module type with consistent frames and animations,
// drawn from `seed`; with `format` bit 0x1000000 it carries pixels of
// `colourCount` colours in `paletteCount` palettes (colours the palette
// format can hold) in `encoding`, indexes within the encoding's reach.
struct RandomSpriteOptions {
    std::uint32_t format = 0;
    std::uint16_t paletteFormat = 0x8888;
    std::int32_t colourCount = 16;
    std::int32_t paletteCount = 2;
    std::uint16_t encoding = 0x56F2;
    std::int32_t maxModuleSide = 24;
};
SpriteModel randomSprite(std::uint32_t seed, const RandomSpriteOptions& options);

} // namespace datakit
