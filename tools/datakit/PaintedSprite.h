#pragma once

// Sprites described the way an artist lays them out: frames made of filled
// rectangles (drawing primitives, cheap for large areas) and images of
// palette indexes, each placed at its offset from the frame's origin, the
// palettes that colour the images, and animations as lists of frames. The
// builder turns the description into a `SpriteModel` (one module per
// rectangle and per distinct image: frames that show the same pixels share
// its module) with the narrowest format that holds it.
//
// Limits the format sets: at most 255 modules in all, 255 rectangles and
// images per frame, 16 colours per palette; images and rectangles up to
// 65,535 pixels a side. A sprite past the module limits is refused
// (std::length_error).

#include "tools/datakit/SpriteWriter.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace datakit {

struct PaintedRect {
    std::uint32_t colour = 0; // 0xRRGGBB
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
};

struct PaintedImage {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    // width x height palette indexes, row by row.
    std::vector<std::uint8_t> indexes;
};

struct PaintedFrame {
    // Drawn in this order: the rectangles, then the images.
    std::vector<PaintedRect> fills;
    std::vector<PaintedImage> images;
    // The frame's box points (places its painters put other things), at most
    // 127; a sprite with any box points writes the frame-box section.
    std::vector<SpriteBox> boxes;
};

// The game decodes a module whole into a shared pixel buffer of this many
// entries (the configured size it has on the phone).
inline constexpr std::size_t kDecoderPixels = 80100;

struct PaintedSprite {
    // Every palette has the same number of colours, 0xAARRGGBB.
    std::vector<std::vector<std::uint32_t>> palettes;
    std::vector<PaintedFrame> frames;
    // Each animation lists its frames, shown one tick each.
    std::vector<std::vector<std::uint8_t>> anims;
    // An image of more pixels is stored as modules of whole rows, each of at
    // most this many, placed one under the other: the frame draws the same
    // picture and every module fits the decoder's buffer.
    std::size_t maxModulePixels = kDecoderPixels;
};

SpriteModel paintedSpriteModel(const PaintedSprite& sprite);
inline Bytes writePaintedSprite(const PaintedSprite& sprite) {
    return writeSprite(paintedSpriteModel(sprite));
}

// A width x height image whose every pixel takes the index `paint(x, y)`.
template <typename Paint>
PaintedImage paintImage(std::int16_t x, std::int16_t y, std::uint16_t width, std::uint16_t height,
                        Paint paint) {
    PaintedImage image{.x = x, .y = y, .width = width, .height = height, .indexes = {}};
    image.indexes.reserve(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            image.indexes.push_back(static_cast<std::uint8_t>(paint(column, row)));
    return image;
}

// The entries of a sprite pack, entry n from `sprites[n]`; an empty one
// stays an empty entry.
std::vector<Bytes> spritePackEntries(const std::vector<std::optional<PaintedSprite>>& sprites);

} // namespace datakit
