// Bitmap-font text as a menu screen feels it: 200 glyphs of the demo's page
// font (five lines of 40 characters) measured, broken into lines and drawn
// on the 640 x 480 screen, each glyph decoded from its module at every
// paint; beside it the least the drawing could cost, the same glyphs'
// pixels already decoded and copied onto a screen-sized buffer.

#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TextLayout.h"
#include "platform/Platform.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "tools/datakit/FontWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kScreenWidth = 640;
constexpr std::int32_t kScreenHeight = 480;
constexpr std::int32_t kGlyphs = 200;

struct FontBed {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 24, 1 << 26}};
    platform::javax_microedition_lcdui_Graphics* graphics = nullptr;
    game::ASprite* font = nullptr;
    rt::String* text = nullptr;
    datakit::FontData data;

    FontBed() {
        platform::installPlatform(runtime);
        game::OrvelLibConfig::staticInit();
        game::spriteStaticInit();
        game::spriteStatics().s_gcOnLoad = 0;
        graphics =
            platform::javax_microedition_lcdui_Image::createImage(kScreenWidth, kScreenHeight)->getGraphics();
        game::loopStatics().s_graphics = graphics;

        data = datakit::buildFont(datakit::asciiFont5x7(), datakit::FontStyle{});
        const datakit::Bytes bytes = datakit::writeSprite(data.sprite);
        rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(bytes.size()));
        std::memcpy(rt::ByteArray::span(array).data(), bytes.data(), bytes.size());
        font = game::ASprite::initDefaults();
        font->loadDefault(array, 0);
        rt::ShortArray* map = rt::newShortArray(static_cast<std::int32_t>(data.charMap.size()));
        std::memcpy(rt::ShortArray::span(map).data(), data.charMap.data(), 2 * data.charMap.size());
        game::buildCharMap(font, map);

        // Glyphs only (no spaces), so the 200 are all drawn.
        std::u16string units;
        for (std::int32_t i = 0; i < kGlyphs; ++i) {
            if (i > 0 && i % 40 == 0)
                units += u'\n';
            units += static_cast<char16_t>(u'A' + (i * 7) % 26 + (i % 3 == 0 ? 32 : 0));
        }
        text = rt::make<rt::String>(std::u16string_view(units));
    }
};

FontBed& bed() {
    static FontBed instance;
    return instance;
}

void BM_DrawString200Glyphs(benchmark::State& state) {
    FontBed& b = bed();
    for (auto _ : state)
        game::drawString(b.font, b.graphics, b.text, nullptr, 320, 240, 1 | 2, false);
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(BM_DrawString200Glyphs);

void BM_MeasureString200Glyphs(benchmark::State& state) {
    FontBed& b = bed();
    for (auto _ : state) {
        game::measureString(b.font, b.text, nullptr);
        benchmark::DoNotOptimize(game::fontStatics().s_textWidth);
    }
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(BM_MeasureString200Glyphs);

void BM_LineBreaks200Glyphs(benchmark::State& state) {
    FontBed& b = bed();
    for (auto _ : state)
        benchmark::DoNotOptimize(game::computeLineBreaks(b.font, b.text, 120, 0));
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(BM_LineBreaks200Glyphs);

// The baseline: each glyph's ARGB pixels decoded once beforehand, copied row
// by row onto a screen-sized buffer at the pen position.
void BM_CopyDecodedGlyphs200(benchmark::State& state) {
    FontBed& b = bed();
    struct Block {
        std::int32_t width, height;
        std::vector<std::int32_t> pixels;
    };
    std::vector<Block> blocks;
    for (std::int32_t i = 0; i < kGlyphs; ++i) {
        const auto& module = b.data.sprite.modules[1 + static_cast<std::size_t>(i % 90)];
        blocks.push_back({module.width, module.height,
                          std::vector<std::int32_t>(static_cast<std::size_t>(module.width) * module.height,
                                                    static_cast<std::int32_t>(0xFFFFFFFFu))});
    }
    std::vector<std::int32_t> screen(static_cast<std::size_t>(kScreenWidth) * kScreenHeight);
    for (auto _ : state) {
        std::int32_t x = 200, y = 200;
        for (std::int32_t i = 0; i < kGlyphs; ++i) {
            if (i > 0 && i % 40 == 0) {
                x = 200;
                y += 10;
            }
            const Block& block = blocks[static_cast<std::size_t>(i)];
            for (std::int32_t row = 0; row < block.height; ++row)
                std::memcpy(&screen[static_cast<std::size_t>((y + row) * kScreenWidth + x)],
                            &block.pixels[static_cast<std::size_t>(row * block.width)],
                            static_cast<std::size_t>(block.width) * 4);
            x += block.width + 1;
        }
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(BM_CopyDecodedGlyphs200);

} // namespace
