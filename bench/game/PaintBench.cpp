// Painting as a frame feels it, each beside a copy of the same bytes (the
// least the work could cost): a frame of art-like modules painted from
// cached images and decoded each time, a 256 x 256 block turned by each
// transform, and a translucent fill of the whole 640 x 480 screen.

#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/ImageCaches.h"
#include "game/sprite/Paint.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TransformBlit.h"
#include "platform/Platform.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"
#include "tools/datakit/SpriteWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Graphics = platform::javax_microedition_lcdui_Graphics;
using Image = platform::javax_microedition_lcdui_Image;

constexpr std::int32_t kScreenWidth = 640;
constexpr std::int32_t kScreenHeight = 480;

// A runtime with the platform and the sprite engine set up, and a screen-sized
// image whose Graphics is the frame's.
struct PaintBed {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 24, 1 << 26}};
    Image* screen = nullptr;
    Graphics* graphics = nullptr;

    PaintBed() {
        platform::installPlatform(runtime);
        game::OrvelLibConfig::staticInit();
        game::spriteStaticInit();
        game::spriteStatics().s_gcOnLoad = 0;
        screen = Image::createImage(kScreenWidth, kScreenHeight);
        graphics = screen->getGraphics();
        game::loopStatics().s_graphics = graphics;
    }
};

// Eight 32 x 32 modules of runs of six colours and transparency, side by
// side in frame 0.
constexpr std::int32_t kModules = 8;
constexpr std::int32_t kSide = 32;

game::ASprite* artSprite() {
    datakit::SpriteModel model;
    model.format = datakit::sprite_bits::kPixelSection | datakit::sprite_bits::kOffsetShorts;
    datakit::SpritePixels pixels;
    pixels.colourCount = 7;
    pixels.palettes = {
        {0x00FF00FFu, 0xFFE01010u, 0xFF10E010u, 0xFF1010E0u, 0xFFFFFFFFu, 0xFF202020u, 0xFF808000u}};
    pixels.encoding = 0x56F2;
    model.pixels = pixels;
    std::mt19937 random(3);
    for (std::int32_t m = 0; m < kModules; ++m) {
        model.modules.push_back({.type = 0, .width = kSide, .height = kSide, .params = {}});
        std::vector<std::uint8_t> indexes;
        while (indexes.size() < static_cast<std::size_t>(kSide * kSide))
            indexes.insert(indexes.end(), 1 + random() % 8, static_cast<std::uint8_t>(random() % 7));
        indexes.resize(static_cast<std::size_t>(kSide * kSide));
        model.pixels->indexes.push_back(std::move(indexes));
        model.fmodules.push_back({.module = static_cast<std::uint8_t>(m),
                                  .x = static_cast<std::int16_t>(m * (kSide + 4)),
                                  .y = 0,
                                  .flags = static_cast<std::uint8_t>(m & 7)});
    }
    model.frames.push_back({.fmoduleCount = kModules, .firstFModule = 0, .boxCount = 0});
    datakit::Bytes bytes = datakit::writeSprite(model);
    rt::ByteArray* data = rt::newByteArray(static_cast<std::int32_t>(bytes.size()));
    std::memcpy(rt::ByteArray::span(data).data(), bytes.data(), bytes.size());
    game::ASprite* sprite = game::ASprite::initDefaults();
    sprite->loadDefault(data, 0);
    return sprite;
}

void setBytesRate(benchmark::State& state, std::int64_t bytes) {
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_PaintFrame(benchmark::State& state) {
    PaintBed bed;
    game::ASprite* sprite = artSprite();
    const bool cached = state.range(0) != 0;
    if (cached)
        game::buildCacheImages(sprite, 0, 0, -1, -1);
    for (auto _ : state)
        game::paintFrame(sprite, bed.graphics, 0, 8, 100, 0, 0, 0);
    setBytesRate(state, kModules * kSide * kSide * 2);
    state.SetLabel(cached ? "cached images" : "decoded each paint");
}
BENCHMARK(BM_PaintFrame)->ArgName("cached")->Arg(1)->Arg(0);

void BM_TransformRGB(benchmark::State& state) {
    PaintBed bed;
    constexpr std::int32_t kBlock = 256;
    rt::IntArray* block = rt::newIntArray(kBlock * kBlock);
    std::ranges::fill(rt::IntArray::span(block), 0x12345678);
    const auto transform = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        rt::IntArray* result = game::transformRGB(block, kBlock, kBlock, transform);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    setBytesRate(state, kBlock * kBlock * 4);
}
BENCHMARK(BM_TransformRGB)->ArgName("transform")->DenseRange(1, 7);

void BM_FillRectAlphaFullScreen(benchmark::State& state) {
    PaintBed bed;
    for (auto _ : state) {
        game::setFillColor(static_cast<std::int32_t>(0x80102030u));
        game::fillRectAlpha(bed.graphics, 0, 0, kScreenWidth, kScreenHeight);
    }
    setBytesRate(state, kScreenWidth * kScreenHeight * 2);
}
BENCHMARK(BM_FillRectAlphaFullScreen);

// The baselines: the bytes each benchmark above writes, copied.
void BM_CopyBytes(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    std::vector<std::uint8_t> in(bytes, 0x5A), out(bytes);
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), bytes);
        benchmark::ClobberMemory();
    }
    setBytesRate(state, static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_CopyBytes)
    ->ArgName("bytes")
    ->Arg(kModules* kSide* kSide * 2)
    ->Arg(256 * 256 * 4)
    ->Arg(kScreenWidth* kScreenHeight * 2);

} // namespace
