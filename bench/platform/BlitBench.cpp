// What each pixel path costs next to the cheapest thing a frame can do: a
// memcpy of the whole 480 x 640 x 2 screen. Every benchmark times its drawing
// and the memcpy alternately in the same run and reports the ratio of the two
// (`ratio_to_memcpy`), so a busy machine moves both sides alike.
//
// The frame is the whole screen: a full-screen image under every transform,
// by pixel type, full-screen fills, and a screen of drawRGB entries with alpha.

#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/ObjectManager.h"
#include "runtime/Runtime.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using platform::javax_microedition_lcdui_Graphics;
using platform::javax_microedition_lcdui_Image;
using Graphics = javax_microedition_lcdui_Graphics;
using Image = javax_microedition_lcdui_Image;

constexpr std::int32_t kScreenWidth = 480;
constexpr std::int32_t kScreenHeight = 640;
constexpr std::size_t kFrameBytes = std::size_t{kScreenWidth} * kScreenHeight * 2;

// A pseudo-random 32-bit value per pixel position.
std::uint32_t noise(std::int32_t x, std::int32_t y) {
    std::uint32_t value =
        static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 40503u;
    value ^= value >> 15;
    value *= 0x2C1B3C6Du;
    return value ^ value >> 12;
}

// Pixels that all differ; for a keyed image about a quarter of them are the
// colour key, for an ARGB4444 one the alpha is 0 or 15 for a quarter each and
// partial for the rest, as drawn sprites with soft edges have.
void paint(Image* image, std::int32_t type) {
    platform::Surface16 surface = image->surface();
    for (std::int32_t y = 0; y < surface.height; ++y) {
        for (std::int32_t x = 0; x < surface.width; ++x) {
            std::uint32_t value = noise(x, y);
            auto pixel = static_cast<std::uint16_t>(value);
            if (type == Image::kRgb565Keyed && (value >> 16 & 3) == 0)
                pixel = 0xF81F;
            if (type == Image::kArgb4444 && (value >> 16 & 3) < 2)
                pixel = static_cast<std::uint16_t>((pixel & 0x0FFF) | ((value >> 16 & 1) ? 0xF000 : 0));
            surface.row(y)[x] = pixel;
        }
    }
    image->setPixelType(type);
}

// Times `draw` and a memcpy of the frame alternately; the benchmark's time is
// the drawing's.
void againstMemcpy(benchmark::State& state, const std::function<void()>& draw) {
    std::vector<std::uint8_t> from(kFrameBytes, 1), to(kFrameBytes);
    using Clock = std::chrono::steady_clock;
    Clock::duration drawing{}, copying{};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        draw();
        benchmark::ClobberMemory();
        Clock::time_point middle = Clock::now();
        std::memcpy(to.data(), from.data(), kFrameBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        Clock::time_point end = Clock::now();
        drawing += middle - start;
        copying += end - middle;
        state.SetIterationTime(std::chrono::duration<double>(middle - start).count());
    }
    state.counters["memcpy_us"] =
        std::chrono::duration<double, std::micro>(copying).count() / static_cast<double>(state.iterations());
    state.counters["ratio_to_memcpy"] =
        std::chrono::duration<double>(drawing).count() / std::chrono::duration<double>(copying).count();
    state.SetItemsProcessed(state.iterations() * kScreenWidth * kScreenHeight);
}

// The screen and a Graphics on it.
struct Screen {
    std::vector<std::uint16_t> pixels = std::vector<std::uint16_t>(std::size_t{kScreenWidth} * kScreenHeight);
    Image* image = Image::createOverSurface(kScreenWidth, kScreenHeight, kScreenWidth * 2, pixels.data());
    Graphics* graphics = image->getGraphics();
};

// A full-screen image of `type` drawn under `transform`.
void BM_Blit(benchmark::State& state) {
    const auto type = static_cast<std::int32_t>(state.range(0));
    const auto transform = static_cast<std::int32_t>(state.range(1));
    rt::Runtime runtime;
    Screen screen;
    const bool turned = transform >= Graphics::TRANS_MIRROR_ROT270;
    Image* frame =
        Image::createImage(turned ? kScreenHeight : kScreenWidth, turned ? kScreenWidth : kScreenHeight);
    paint(frame, type);
    againstMemcpy(state, [&] {
        screen.graphics->drawRegion(frame, 0, 0, frame->getWidth(), frame->getHeight(), transform, 0, 0,
                                    Graphics::TOP | Graphics::LEFT);
    });
}
// Opaque images under all eight transforms; keyed and ARGB4444 images plain and turned.
BENCHMARK(BM_Blit)
    ->ArgNames({"type", "transform"})
    ->ArgsProduct({{Image::kRgb565}, {0, 1, 2, 3, 4, 5, 6, 7}})
    ->ArgsProduct({{Image::kRgb565Keyed, Image::kArgb4444}, {Graphics::TRANS_NONE, Graphics::TRANS_ROT90}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_FillScreen(benchmark::State& state) {
    rt::Runtime runtime;
    Screen screen;
    screen.graphics->setColor(0x336699);
    againstMemcpy(state, [&] { screen.graphics->fillRect(0, 0, kScreenWidth, kScreenHeight); });
}
BENCHMARK(BM_FillScreen)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A screen of 0xAARRGGBB entries with alpha drawn through drawRGB: a quarter
// opaque, a quarter clear, the rest blended.
void BM_DrawRgbScreen(benchmark::State& state) {
    rt::Runtime runtime;
    Screen screen;
    rt::Handle<rt::IntArray> rgb(runtime.objectManager(), rt::newIntArray(kScreenWidth * kScreenHeight));
    for (std::int32_t y = 0; y < kScreenHeight; ++y) {
        for (std::int32_t x = 0; x < kScreenWidth; ++x) {
            std::uint32_t value = noise(x, y);
            std::uint32_t kind = value >> 8 & 3;
            if (kind == 0)
                value |= 0xFF000000u;
            else if (kind == 1)
                value &= 0x00FFFFFFu;
            rgb->elements()[y * kScreenWidth + x] = static_cast<std::int32_t>(value);
        }
    }
    againstMemcpy(state, [&] {
        screen.graphics->drawRGB(rgb.get(), 0, kScreenWidth, 0, 0, kScreenWidth, kScreenHeight, true);
    });
}
BENCHMARK(BM_DrawRgbScreen)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
