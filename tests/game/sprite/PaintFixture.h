#pragma once

// What the painting tests share: the sprite fixture with a canvas image
// whose Graphics is the frame's, pixels read back as 16-bit values, and a
// builder of small sprites of flat-colour modules.

#include "game/framework/LoopStatics.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "platform/lcdui/pixels.h"
#include "tests/game/sprite/SpriteFixture.h"

#include <vector>

namespace sprite_testing {

using Graphics = platform::javax_microedition_lcdui_Graphics;
using Image = platform::javax_microedition_lcdui_Image;

// The 565 value a colour lands as on a canvas.
inline std::uint16_t on565(std::uint32_t argb) {
    return platform::pixels::rgb888To565(argb);
}

struct Canvas {
    Image* image = nullptr;
    Graphics* graphics = nullptr;

    Canvas(std::int32_t width, std::int32_t height, std::uint32_t background = 0) {
        image = Image::createImage(width, height);
        graphics = image->getGraphics();
        graphics->setColor(static_cast<std::int32_t>(background));
        graphics->fillRect(0, 0, width, height);
    }
    std::uint16_t at(std::int32_t x, std::int32_t y) const { return image->surface().row(y)[x]; }
    std::vector<std::uint16_t> pixels() const {
        platform::Surface16 s = image->surface();
        std::vector<std::uint16_t> out;
        for (std::int32_t y = 0; y < s.height; ++y)
            out.insert(out.end(), s.row(y), s.row(y) + s.width);
        return out;
    }
    // The smallest rectangle (left, top, right, bottom; exclusive) holding
    // every pixel that is not `background`; all zero when there is none.
    std::vector<std::int32_t> bounds(std::uint16_t background = 0) const {
        platform::Surface16 s = image->surface();
        std::int32_t left = s.width, top = s.height, right = 0, bottom = 0;
        for (std::int32_t y = 0; y < s.height; ++y)
            for (std::int32_t x = 0; x < s.width; ++x)
                if (s.row(y)[x] != background) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
        if (right == 0)
            return {0, 0, 0, 0};
        return {left, top, right, bottom};
    }
};

struct PaintTest : SpriteTest {
    Canvas screen{64, 64};

    PaintTest() { game::loopStatics().s_graphics = screen.graphics; }
    ~PaintTest() override { game::loopStatics().s_graphics = nullptr; }
};

// An image module of one colour: palette index `index` over w x h pixels.
inline void addFlatModule(datakit::SpriteModel& model, std::uint16_t w, std::uint16_t h, std::uint8_t index) {
    model.modules.push_back({.type = 0, .width = w, .height = h, .params = {}});
    model.pixels->indexes.emplace_back(static_cast<std::size_t>(w) * h, index);
}

inline void addPrimitive(datakit::SpriteModel& model, datakit::SpriteModule module) {
    model.modules.push_back(std::move(module));
    model.pixels->indexes.emplace_back();
}

// A model with pixels in one palette of `colours` (index 0 transparent is
// the caller's choice), 16-bit offsets, and no modules yet.
inline datakit::SpriteModel paletteModel(std::vector<std::uint32_t> colours) {
    datakit::SpriteModel model;
    model.format = datakit::sprite_bits::kPixelSection | datakit::sprite_bits::kModuleSizeShorts |
                   datakit::sprite_bits::kOffsetShorts | datakit::sprite_bits::kAFrameOffsetShorts;
    datakit::SpritePixels pixels;
    pixels.colourCount = static_cast<std::int32_t>(colours.size());
    pixels.palettes = {std::move(colours)};
    pixels.encoding = 0x56F2;
    model.pixels = std::move(pixels);
    return model;
}

// Adds a frame of the given frame-modules and answers its index.
inline std::uint8_t addFrame(datakit::SpriteModel& model, std::vector<datakit::SpriteFModule> fmodules) {
    model.frames.push_back({.fmoduleCount = static_cast<std::uint8_t>(fmodules.size()),
                            .firstFModule = static_cast<std::int16_t>(model.fmodules.size())});
    model.fmodules.insert(model.fmodules.end(), fmodules.begin(), fmodules.end());
    return static_cast<std::uint8_t>(model.frames.size() - 1);
}

inline std::uint8_t addAnim(datakit::SpriteModel& model, std::vector<datakit::SpriteAFrame> aframes) {
    model.anims.push_back({.aframeCount = static_cast<std::uint8_t>(aframes.size()),
                           .firstAFrame = static_cast<std::int16_t>(model.aframes.size())});
    model.aframes.insert(model.aframes.end(), aframes.begin(), aframes.end());
    return static_cast<std::uint8_t>(model.anims.size() - 1);
}

} // namespace sprite_testing
