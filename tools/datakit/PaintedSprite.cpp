#include "tools/datakit/PaintedSprite.h"

#include "tools/datakit/PackWriter.h"

#include <algorithm>
#include <stdexcept>

namespace datakit {

namespace {

constexpr std::uint8_t kImageModule = 0;
constexpr std::uint8_t kFillModule = 2;
constexpr std::size_t kMaxModules = 255;

bool needsShortSizes(const PaintedSprite& sprite) {
    for (const PaintedFrame& frame : sprite.frames) {
        for (const PaintedRect& r : frame.fills)
            if (r.width > 255 || r.height > 255)
                return true;
        for (const PaintedImage& i : frame.images)
            if (i.width > 255 || i.height > 255)
                return true;
    }
    return false;
}

// `image` as bands of whole rows of at most `maxPixels` pixels each, top
// first, each placed where its rows stand; a small enough image is one band.
std::vector<PaintedImage> strips(const PaintedImage& image, std::size_t maxPixels) {
    const std::size_t width = std::max<std::size_t>(image.width, 1);
    const std::size_t rows = std::max<std::size_t>(maxPixels / width, 1);
    if (image.height <= rows)
        return {image};
    std::vector<PaintedImage> bands;
    for (std::size_t top = 0; top < image.height; top += rows) {
        const std::size_t height = std::min<std::size_t>(rows, image.height - top);
        PaintedImage band{.x = image.x,
                          .y = static_cast<std::int16_t>(image.y + static_cast<std::int16_t>(top)),
                          .width = image.width,
                          .height = static_cast<std::uint16_t>(height),
                          .indexes = {}};
        const auto first = image.indexes.begin() + static_cast<std::ptrdiff_t>(top * image.width);
        band.indexes.assign(first, first + static_cast<std::ptrdiff_t>(height * image.width));
        bands.push_back(std::move(band));
    }
    return bands;
}

} // namespace

SpriteModel paintedSpriteModel(const PaintedSprite& sprite) {
    SpriteModel model;
    model.format =
        sprite_bits::kOffsetShorts | sprite_bits::kAFrameOffsetShorts | sprite_bits::kModuleDataSizes32;
    if (needsShortSizes(sprite))
        model.format |= sprite_bits::kModuleSizeShorts;
    SpritePixels pixels;
    pixels.palettes = sprite.palettes;
    pixels.colourCount = sprite.palettes.empty() ? 1 : static_cast<std::int32_t>(sprite.palettes[0].size());
    pixels.encoding = 0x56F2;
    bool hasImages = false;
    for (const PaintedFrame& frame : sprite.frames) {
        SpriteFrame out{.fmoduleCount = 0,
                        .firstFModule = static_cast<std::int16_t>(model.fmodules.size()),
                        .boxCount = static_cast<std::int8_t>(frame.boxes.size())};
        model.boxes.insert(model.boxes.end(), frame.boxes.begin(), frame.boxes.end());
        if (!frame.boxes.empty())
            model.format |= sprite_bits::kFrameBoxes;
        for (const PaintedRect& r : frame.fills) {
            model.fmodules.push_back({static_cast<std::uint8_t>(model.modules.size()), r.x, r.y, 0});
            model.modules.push_back({.type = kFillModule,
                                     .colour = r.colour & 0xFFFFFFu,
                                     .width = r.width,
                                     .height = r.height,
                                     .params = {}});
            pixels.indexes.emplace_back();
        }
        for (const PaintedImage& whole : frame.images) {
            for (const PaintedImage& i : strips(whole, sprite.maxModulePixels)) {
                // An image that an earlier frame already holds is placed
                // again rather than stored twice.
                std::size_t module = 0;
                while (module < model.modules.size() &&
                       !(model.modules[module].type == kImageModule &&
                         model.modules[module].width == i.width && model.modules[module].height == i.height &&
                         pixels.indexes[module] == i.indexes))
                    ++module;
                model.fmodules.push_back({static_cast<std::uint8_t>(module), i.x, i.y, 0});
                if (module == model.modules.size()) {
                    model.modules.push_back({.type = kImageModule,
                                             .colour = 0,
                                             .width = i.width,
                                             .height = i.height,
                                             .params = {}});
                    pixels.indexes.push_back(i.indexes);
                }
            }
            hasImages = true;
        }
        const std::size_t placed = model.fmodules.size() - static_cast<std::size_t>(out.firstFModule);
        // Module numbers and a frame's count are bytes in the format: past
        // them the written numbers would wrap onto other modules.
        if (model.modules.size() > kMaxModules || placed > kMaxModules)
            throw std::length_error("a painted sprite holds more than 255 modules, or a frame places more");
        out.fmoduleCount = static_cast<std::uint8_t>(placed);
        model.frames.push_back(out);
    }
    for (const std::vector<std::uint8_t>& frames : sprite.anims) {
        model.anims.push_back(
            {static_cast<std::uint8_t>(frames.size()), static_cast<std::int16_t>(model.aframes.size())});
        for (std::uint8_t f : frames)
            model.aframes.push_back({.frame = f, .time = 1, .x = 0, .y = 0, .flags = 0});
    }
    if (hasImages || !sprite.palettes.empty()) {
        model.format |= sprite_bits::kPixelSection;
        model.pixels = std::move(pixels);
    }
    return model;
}

std::vector<Bytes> spritePackEntries(const std::vector<std::optional<PaintedSprite>>& sprites) {
    std::vector<Bytes> entries;
    entries.reserve(sprites.size());
    for (const std::optional<PaintedSprite>& sprite : sprites)
        entries.push_back(sprite ? packEntry(0, writePaintedSprite(*sprite)) : Bytes{});
    return entries;
}

} // namespace datakit
