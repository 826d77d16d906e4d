// Scaled drawing as a race frame needs it: 30 frames of 128 x 96 (cars and
// effects) drawn by the software scaler at scales from about 0.4 to 1.6,
// some mirrored, some cut by the screen's edges; beside it, the same 30
// frames painted unscaled from cached module images in the same run.

#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/ImageCaches.h"
#include "game/sprite/Paint.h"
#include "game/sprite/Scaler.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/ZoomCache.h"
#include "platform/Platform.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"
#include "tools/datakit/SpriteWriter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using Image = platform::javax_microedition_lcdui_Image;

constexpr std::int32_t kFrames = 30;
constexpr std::int32_t kWidth = 128;
constexpr std::int32_t kHeight = 96;

// A runtime with the sprite engine, a 640 x 480 screen whose Graphics is
// the frame's, and sprite 0: frame 0 of four 64 x 48 modules of runs of
// seven colours and transparency, 128 x 96 in all, cached plain in the
// zoomed cache and as module images.
struct ZoomBed {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 24, 1 << 26}};
    Image* screen = nullptr;
    game::ASprite* sprite = nullptr;
    game::ZoomedSpritePlayer* entry = nullptr;

    ZoomBed() {
        platform::installPlatform(runtime);
        game::OrvelLibConfig::staticInit();
        game::spriteStaticInit();
        game::spriteStatics().s_gcOnLoad = 0;
        screen = Image::createImage(640, 480);
        game::loopStatics().s_graphics = screen->getGraphics();
        game::startupStatics().s_sprites = rt::newObjectArray(1);
        game::initZoomCaches();
        sprite = carSprite();
        rt::ObjectArray::set(game::startupStatics().s_sprites, 0, sprite);
        game::cacheZoomedFrame2(0, 0);
        entry = game::findZoomEntry(game::ZoomCacheKind::Zoomed, 0, 0, false, false);
        game::buildCacheImages(sprite, 0, 0, -1, -1);
    }

    static game::ASprite* carSprite() {
        datakit::SpriteModel model;
        model.format = datakit::sprite_bits::kPixelSection | datakit::sprite_bits::kOffsetShorts;
        datakit::SpritePixels pixels;
        pixels.colourCount = 8;
        pixels.palettes = {{0x00FF00FFu, 0xFFE01010u, 0xFF10E010u, 0xFF1010E0u, 0xFFFFFFFFu, 0xFF202020u,
                            0xFF808000u, 0xFF00C0C0u}};
        pixels.encoding = 0x56F2;
        model.pixels = pixels;
        std::mt19937 random(7);
        for (std::int32_t m = 0; m < 4; ++m) {
            model.modules.push_back({.type = 0, .width = kWidth / 2, .height = kHeight / 2, .params = {}});
            std::vector<std::uint8_t> indexes;
            while (indexes.size() < static_cast<std::size_t>(kWidth * kHeight / 4))
                indexes.insert(indexes.end(), 1 + random() % 10, static_cast<std::uint8_t>(random() % 8));
            indexes.resize(static_cast<std::size_t>(kWidth * kHeight / 4));
            model.pixels->indexes.push_back(std::move(indexes));
            model.fmodules.push_back({.module = static_cast<std::uint8_t>(m),
                                      .x = static_cast<std::int16_t>((m % 2) * kWidth / 2 - kWidth / 2),
                                      .y = static_cast<std::int16_t>((m / 2) * kHeight / 2 - kHeight),
                                      .flags = 0});
        }
        model.frames.push_back({.fmoduleCount = 4, .firstFModule = 0, .boxCount = 0});
        datakit::Bytes bytes = datakit::writeSprite(model);
        rt::ByteArray* data = rt::newByteArray(static_cast<std::int32_t>(bytes.size()));
        std::memcpy(rt::ByteArray::span(data).data(), bytes.data(), bytes.size());
        game::ASprite* loaded = game::ASprite::initDefaults();
        loaded->loadDefault(data, 0);
        return loaded;
    }
};

struct Placement {
    std::int32_t x, y, scale, flags;
};

// 30 placements over the screen, a few reaching past its edges.
std::vector<Placement> racePlacements() {
    std::vector<Placement> placements;
    std::mt19937 random(30);
    for (std::int32_t i = 0; i < kFrames; ++i)
        placements.push_back(
            {static_cast<std::int32_t>(random() % 700) - 30, static_cast<std::int32_t>(random() % 520) + 20,
             1600 + static_cast<std::int32_t>(random() % 5000), static_cast<std::int32_t>(i & 1)});
    return placements;
}

void BM_ScaledRaceFrame(benchmark::State& state) {
    ZoomBed bed;
    const std::vector<Placement> placements = racePlacements();
    for (auto _ : state)
        for (const Placement& p : placements)
            game::paintZoomed(bed.entry, p.scale, p.x, p.y, p.flags, false, 0, false);
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.SetLabel("30 frames of 128 x 96 scaled");
}
BENCHMARK(BM_ScaledRaceFrame);

// The baseline: the same frames and places, unscaled, from module images.
void BM_PlainRaceFrame(benchmark::State& state) {
    ZoomBed bed;
    const std::vector<Placement> placements = racePlacements();
    for (auto _ : state)
        for (const Placement& p : placements)
            game::paintFrame(bed.sprite, game::loopStatics().s_graphics, 0, p.x, p.y, p.flags, 0, 0);
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.SetLabel("30 frames of 128 x 96 painted");
}
BENCHMARK(BM_PlainRaceFrame);

} // namespace
