#pragma once

// What the zoom tests share: the painting fixture on a 160 x 120 canvas,
// a sprite table with both zoom caches made, and a sprite whose one frame
// places patterned modules under every kind of flag, the quarter turn too.

#include "game/framework/StartupLoad.h"
#include "game/sprite/ImageCaches.h"
#include "game/sprite/Paint.h"
#include "game/sprite/ZoomCache.h"
#include "tests/game/sprite/PaintFixture.h"

#include <vector>

namespace sprite_testing {

// The transparent key colour of composed frames, as palette entry 0.
inline constexpr std::uint32_t kKey = 0x00FF00FFu;
inline constexpr std::uint32_t kBackground = 0x404040u;

struct ZoomTest : SpriteTest {
    Canvas screen{160, 120, kBackground};

    ZoomTest() {
        game::loopStatics().s_graphics = screen.graphics;
        game::startupStatics().s_sprites = rt::newObjectArray(64);
        game::initZoomCaches();
    }
    ~ZoomTest() override { game::loopStatics().s_graphics = nullptr; }

    void clear() {
        screen.graphics->setClip(0, 0, 160, 120);
        screen.graphics->setColor(static_cast<std::int32_t>(kBackground));
        screen.graphics->fillRect(0, 0, 160, 120);
    }
    std::vector<std::int32_t> drawnBounds() const { return screen.bounds(on565(kBackground)); }
};

// A module of w x h indexes from `pattern` (index (x + 2y) mod the
// pattern's length), so that mirrors and turns show.
inline void addPatternModule(datakit::SpriteModel& model, std::uint16_t w, std::uint16_t h,
                             std::vector<std::uint8_t> pattern) {
    model.modules.push_back({.type = 0, .width = w, .height = h, .params = {}});
    std::vector<std::uint8_t> indexes;
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            indexes.push_back(pattern[static_cast<std::size_t>(x + 2 * y) % pattern.size()]);
    model.pixels->indexes.push_back(std::move(indexes));
}

// Frame 0: five frame-modules, overlapping, with flags 0, 1, 2, 4 (turned)
// and 7, over a bounding box from (-7, -4) that is 14 x 13. Frame 1: the
// same without the turns, over (-7, -4) 10 x 11. Palette 0 has the key
// colour at index 0; palette 1 other colours.
inline datakit::SpriteModel patternModel() {
    datakit::SpriteModel model =
        paletteModel({kKey, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFFFFFF00u});
    model.pixels->palettes.push_back({kKey, 0xFF00FFFFu, 0xFF808080u, 0xFF800000u, 0xFF008000u, 0xFF000080u});
    addPatternModule(model, 5, 3, {1, 2, 3, 4, 5});
    addPatternModule(model, 3, 4, {4, 0, 2, 1});
    addPatternModule(model, 2, 2, {0, 3, 5});
    addFrame(model, {{.module = 0, .x = -6, .y = -4, .flags = 0},
                     {.module = 1, .x = 1, .y = -2, .flags = 1},
                     {.module = 2, .x = -2, .y = 2, .flags = 2},
                     {.module = 1, .x = 3, .y = 3, .flags = 4},
                     {.module = 0, .x = -7, .y = 4, .flags = 7}});
    addFrame(model, {{.module = 0, .x = -6, .y = -4, .flags = 0},
                     {.module = 1, .x = 0, .y = -2, .flags = 1},
                     {.module = 2, .x = -2, .y = 2, .flags = 2},
                     {.module = 0, .x = -7, .y = 4, .flags = 3}});
    return model;
}

// Puts `sprite` in slot `n` of the sprite table and answers it.
inline game::ASprite* inTable(std::int32_t n, game::ASprite* sprite) {
    rt::ObjectArray::set(game::startupStatics().s_sprites, n, sprite);
    return sprite;
}

} // namespace sprite_testing
