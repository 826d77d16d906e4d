// What one frame costs the display path: the stretch blit of a present onto
// the device screen, and the window thread's turned, scaled picture.

#include "host/display/StretchBlit.h"
#include "host/display/WindowView.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<std::uint16_t> frame(int width, int height) {
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(width * height));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint16_t>(i * 2654435761u >> 16);
    return pixels;
}

void stretchPresent(benchmark::State& state, int screenWidth, int screenHeight, host::StretchFilter filter) {
    std::vector<std::uint16_t> surface = frame(480, 640);
    std::vector<std::uint16_t> screen(static_cast<std::size_t>(screenWidth * screenHeight));
    host::PixelView from{surface.data(), 480, 640, 480};
    host::PixelView to{screen.data(), screenWidth, screenHeight, screenWidth};
    for (auto _ : state) {
        host::stretchBlit(from, {0, 0, 480, 640}, to, {0, 0, screenWidth, screenHeight}, filter);
        benchmark::DoNotOptimize(screen.data());
    }
}

void BM_PresentOneToOne(benchmark::State& state) {
    stretchPresent(state, 480, 640, host::StretchFilter::Nearest);
}
BENCHMARK(BM_PresentOneToOne);

void BM_PresentHalvedNearest(benchmark::State& state) {
    stretchPresent(state, 240, 320, host::StretchFilter::Nearest);
}
BENCHMARK(BM_PresentHalvedNearest);

void BM_PresentHalvedBilinear(benchmark::State& state) {
    stretchPresent(state, 240, 320, host::StretchFilter::Bilinear);
}
BENCHMARK(BM_PresentHalvedBilinear);

// The window at twice the size, turned: 1280 x 960 pixels per frame.
void BM_RenderTurnedWindowTwice(benchmark::State& state) {
    std::vector<std::uint16_t> screen = frame(480, 640);
    std::vector<std::uint32_t> window(1280 * 960);
    host::WindowView view{{480, 640}, host::WindowTurn::Turned, 1280, 960};
    for (auto _ : state) {
        host::renderWindow(view, screen.data(), window.data(), 1280);
        benchmark::DoNotOptimize(window.data());
    }
}
BENCHMARK(BM_RenderTurnedWindowTwice);

} // namespace
