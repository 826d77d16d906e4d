// What drawing a frame costs: the game's whole 640 x 480 frame turned onto
// the 480 x 640 screen, translucent pixels through drawRGB, and decoding
// 480 x 640 PNG files of each kind compared with plain libpng decoding the
// same files.

#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/ObjectManager.h"
#include "runtime/Runtime.h"
#include "tests/support/PngFixtures.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
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

// A 480 x 640 picture of each kind the game's files hold, as its images are:
// smooth areas and hard edges. RGBA has a soft-edged disc, RGB a background,
// the palette picture 64 colours on tiles with a transparent disc. A grainy
// picture adds to every sample a small value that differs from pixel to pixel,
// as a photographed or painted background has, so it compresses far less.
enum class Grain : bool { None, Some };

std::vector<std::uint8_t> gamePicture(testing_support::PngColour colour, Grain grain = Grain::None) {
    using testing_support::PngColour;
    testing_support::PngPicture picture;
    picture.width = 480;
    picture.height = 640;
    picture.colour = colour;
    if (colour == PngColour::Palette) {
        for (int i = 0; i < 64; ++i)
            picture.palette.push_back({static_cast<std::uint8_t>(i * 4),
                                       static_cast<std::uint8_t>(255 - i * 3),
                                       static_cast<std::uint8_t>(i * 37)});
        picture.paletteAlpha = {0};
    }
    for (std::int32_t y = 0; y < picture.height; ++y) {
        for (std::int32_t x = 0; x < picture.width; ++x) {
            std::int32_t distance = (x - 240) * (x - 240) + (y - 320) * (y - 320);
            bool inside = distance < 180 * 180;
            auto red = static_cast<std::uint16_t>(x * 255 / 479);
            auto green = static_cast<std::uint16_t>(y * 255 / 639);
            auto blue = static_cast<std::uint16_t>(((x >> 4) + (y >> 4)) & 1 ? 160 : 60);
            switch (colour) {
            case PngColour::RgbAlpha: {
                auto alpha =
                    static_cast<std::uint16_t>(inside ? 255 : std::max(0, 255 - (distance - 180 * 180) / 64));
                picture.samples.insert(picture.samples.end(), {red, green, blue, alpha});
                break;
            }
            case PngColour::Rgb: {
                std::uint16_t rgb[3] = {red, green, inside ? blue : green};
                for (int channel = 0; channel < 3 && grain == Grain::Some; ++channel) {
                    std::uint32_t noise = (static_cast<std::uint32_t>(x * 3 + channel) * 2654435761u ^
                                           static_cast<std::uint32_t>(y) * 40503u * 2246822519u) >>
                                          27;
                    rgb[channel] =
                        static_cast<std::uint16_t>(std::clamp<int>(rgb[channel] + noise - 16, 0, 255));
                }
                picture.samples.insert(picture.samples.end(), {rgb[0], rgb[1], rgb[2]});
                break;
            }
            default:
                picture.samples.push_back(
                    static_cast<std::uint16_t>(inside ? 0 : 1 + ((x >> 3) ^ (y >> 3) ^ (y >> 6)) % 63));
                break;
            }
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

enum class LibpngRows : bool {
    Own,      // the file's own rows: RGBA, RGB or palette indices
    Drawable, // 8-bit RGB or RGBA, palettes expanded: pixels a program can draw
};

// Plain libpng: the same file to rows, nothing else.
void decodeWithLibpng(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& pixels,
                      std::vector<png_bytep>& rows, LibpngRows kind) {
    PlainRead read{&data};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &read, plainReadBytes);
    png_read_info(png, info);
    if (kind == LibpngRows::Drawable)
        png_set_expand(png);
    png_read_update_info(png, info);
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
}

// createImage on the file's bytes against plain libpng on the same bytes, in
// the same iterations; the ratios of the totals are reported, against libpng
// making drawable 8-bit rows (`ratio_to_libpng`, which also expands a
// palette) and against its bare rows (`ratio_to_bare_rows`, palette indices
// for a palette file). The images made are collected between iterations,
// outside the timings.
void pngAgainstLibpng(benchmark::State& state, testing_support::PngColour colour, Grain grain = Grain::None) {
    rt::Runtime runtime;
    std::vector<std::uint8_t> data = gamePicture(colour, grain);
    rt::Handle<rt::ByteArray> bytes(runtime.objectManager(),
                                    rt::newByteArray(static_cast<std::int32_t>(data.size())));
    std::memcpy(bytes->elements(), data.data(), data.size());
    std::vector<std::uint8_t> pixels(480 * 640 * 4);
    std::vector<png_bytep> rows;
    for (std::size_t y = 0; y < 640; ++y)
        rows.push_back(pixels.data() + y * 480 * 4);

    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, plain{}, bare{};
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        auto* image = javax_microedition_lcdui_Image::createImage(bytes.get(), 0, bytes->length());
        benchmark::DoNotOptimize(image);
        Clock::time_point middle = Clock::now();
        decodeWithLibpng(data, pixels, rows, LibpngRows::Drawable);
        Clock::time_point end = Clock::now();
        decodeWithLibpng(data, pixels, rows, LibpngRows::Own);
        Clock::time_point last = Clock::now();
        ours += middle - start;
        plain += end - middle;
        bare += last - end;
        state.SetIterationTime(std::chrono::duration<double>(middle - start).count());
        runtime.objectManager().gc(rt::ObjectManager::kImmediate);
    }
    state.counters["libpng_ms"] =
        std::chrono::duration<double, std::milli>(plain).count() / static_cast<double>(state.iterations());
    state.counters["ratio_to_libpng"] =
        std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(plain).count();
    state.counters["ratio_to_bare_rows"] =
        std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(bare).count();
    state.counters["file_kb"] = static_cast<double>(data.size()) / 1024.0;
}

void BM_PngRgbaAgainstLibpng(benchmark::State& state) {
    pngAgainstLibpng(state, testing_support::PngColour::RgbAlpha);
}
BENCHMARK(BM_PngRgbaAgainstLibpng)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PngRgbAgainstLibpng(benchmark::State& state) {
    pngAgainstLibpng(state, testing_support::PngColour::Rgb);
}
BENCHMARK(BM_PngRgbAgainstLibpng)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PngGrainyRgbAgainstLibpng(benchmark::State& state) {
    pngAgainstLibpng(state, testing_support::PngColour::Rgb, Grain::Some);
}
BENCHMARK(BM_PngGrainyRgbAgainstLibpng)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PngPaletteAgainstLibpng(benchmark::State& state) {
    pngAgainstLibpng(state, testing_support::PngColour::Palette);
}
BENCHMARK(BM_PngPaletteAgainstLibpng)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
