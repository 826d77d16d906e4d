// What drawing a frame costs: the game's whole 640 x 480 frame turned onto
// the 480 x 640 screen, translucent pixels through drawRGB, and decoding a
// 256 x 256 PNG compared with plain libpng decoding the same file.

#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/ObjectManager.h"
#include "runtime/Runtime.h"
#include "tests/support/PngFixtures.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

using platform::javax_microedition_lcdui_Graphics;
using platform::javax_microedition_lcdui_Image;

// A frame of pixels that all differ.
void paintNoise(javax_microedition_lcdui_Image* image) {
    platform::Surface16 surface = image->surface();
    for (std::int32_t y = 0; y < surface.height; ++y) {
        for (std::int32_t x = 0; x < surface.width; ++x)
            surface.row(y)[x] = static_cast<std::uint16_t>((x * 2654435761u + y * 40503u) >> 12);
    }
}

void regionFrame(benchmark::State& state, std::int32_t transform) {
    rt::Runtime runtime;
    std::vector<std::uint16_t> screen(480 * 640);
    auto* target = javax_microedition_lcdui_Image::createOverSurface(480, 640, 960, screen.data());
    auto* graphics = target->getGraphics();
    bool turned = transform >= 4;
    auto* frame = javax_microedition_lcdui_Image::createImage(turned ? 640 : 480, turned ? 480 : 640);
    paintNoise(frame);
    for (auto _ : state) {
        graphics->drawRegion(frame, 0, 0, frame->getWidth(), frame->getHeight(), transform, 0, 0, 20);
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations() * 480 * 640);
}

void BM_DrawRegionTurnedFrame(benchmark::State& state) {
    regionFrame(state, javax_microedition_lcdui_Graphics::TRANS_ROT90);
}
BENCHMARK(BM_DrawRegionTurnedFrame);

void BM_DrawRegionPlainFrame(benchmark::State& state) {
    regionFrame(state, javax_microedition_lcdui_Graphics::TRANS_NONE);
}
BENCHMARK(BM_DrawRegionPlainFrame);

void BM_DrawRgbWithAlpha(benchmark::State& state) {
    rt::Runtime runtime;
    auto* graphics = javax_microedition_lcdui_Image::createImage(480, 640)->getGraphics();
    rt::IntArray* rgb = rt::newIntArray(256 * 256);
    for (std::int32_t i = 0; i < 256 * 256; ++i)
        rgb->elements()[i] =
            static_cast<std::int32_t>((i * 2654435761u) ^ (static_cast<std::uint32_t>(i) << 24));
    for (auto _ : state)
        graphics->drawRGB(rgb, 0, 256, 100, 100, 256, 256, true);
    state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(BM_DrawRgbWithAlpha);

// A 256 x 256 RGBA picture as the game's images are: smooth areas and edges.
std::vector<std::uint8_t> gamePicture() {
    testing_support::PngPicture picture;
    picture.width = 256;
    picture.height = 256;
    picture.colour = testing_support::PngColour::RgbAlpha;
    for (std::int32_t y = 0; y < 256; ++y) {
        for (std::int32_t x = 0; x < 256; ++x) {
            bool inside = (x - 128) * (x - 128) + (y - 128) * (y - 128) < 100 * 100;
            picture.samples.insert(picture.samples.end(),
                                   {static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y),
                                    static_cast<std::uint16_t>((x * y) & 0xFF),
                                    static_cast<std::uint16_t>(inside ? 255 : (x + y) & 0x7F)});
        }
    }
    return testing_support::encodePng(picture);
}

struct PlainRead {
    const std::vector<std::uint8_t>* data;
    std::size_t position = 0;
};

void plainReadBytes(png_structp png, png_bytep out, png_size_t count) {
    auto* read = static_cast<PlainRead*>(png_get_io_ptr(png));
    std::memcpy(out, read->data->data() + read->position, count);
    read->position += count;
}

// Plain libpng: the same file to 8-bit RGBA rows, nothing else.
void decodeWithLibpng(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& pixels,
                      std::vector<png_bytep>& rows) {
    PlainRead read{&data};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &read, plainReadBytes);
    png_read_info(png, info);
    png_read_update_info(png, info);
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
}

void BM_PngDecodeAgainstLibpng(benchmark::State& state) {
    rt::Runtime runtime;
    std::vector<std::uint8_t> data = gamePicture();
    // The images made are garbage at once and collected when the heaps fill;
    // the file's bytes are kept by a handle.
    rt::Handle<rt::ByteArray> bytes(runtime.objectManager(),
                                    rt::newByteArray(static_cast<std::int32_t>(data.size())));
    std::memcpy(bytes->elements(), data.data(), data.size());
    std::vector<std::uint8_t> pixels(256 * 256 * 4);
    std::vector<png_bytep> rows;
    for (std::size_t y = 0; y < 256; ++y)
        rows.push_back(pixels.data() + y * 256 * 4);

    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, plain{};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        auto* image = javax_microedition_lcdui_Image::createImage(bytes.get(), 0, bytes->length());
        benchmark::DoNotOptimize(image);
        Clock::time_point middle = Clock::now();
        decodeWithLibpng(data, pixels, rows);
        Clock::time_point end = Clock::now();
        ours += middle - start;
        plain += end - middle;
        state.SetIterationTime(std::chrono::duration<double>(middle - start).count());
    }
    state.counters["libpng_ms"] =
        std::chrono::duration<double, std::milli>(plain).count() / static_cast<double>(state.iterations());
    state.counters["ratio_to_libpng"] =
        std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(plain).count();
}
BENCHMARK(BM_PngDecodeAgainstLibpng)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
