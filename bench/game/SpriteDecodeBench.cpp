// Decoding of module pixels in each encoding, in Mpixels/s, over a
// 128 x 96 module of runs and single pixels (as sprite art has them) drawn
// from a fixed seed; beside them a copy of the same number of pixels, the
// least a decode can cost.

#include "game/sprite/PixelDecoder.h"
#include "tools/datakit/SpriteWriter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;
constexpr int kPixels = kWidth * kHeight;

// Indexes below `reach`: runs of 1 to 12 pixels, with the alphas of 0xA256.
struct Module {
    std::vector<std::uint8_t> indexes;
    std::vector<std::uint8_t> alphas;
};

Module artLikeModule(int reach) {
    std::mt19937 random(7);
    Module module;
    while (static_cast<int>(module.indexes.size()) < kPixels) {
        auto index = static_cast<std::uint8_t>(random() % static_cast<unsigned>(reach));
        int run = std::min<int>(1 + static_cast<int>(random() % 12),
                                kPixels - static_cast<int>(module.indexes.size()));
        module.indexes.insert(module.indexes.end(), static_cast<std::size_t>(run), index);
        module.alphas.insert(module.alphas.end(), static_cast<std::size_t>(run), random() % 4 ? 0xFF : 0x80);
    }
    return module;
}

void setPixelRate(benchmark::State& state) {
    state.counters["Mpixels/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kPixels / 1e6,
                                                     benchmark::Counter::kIsRate);
}

void BM_DecodeModule(benchmark::State& state) {
    auto encoding = static_cast<std::uint16_t>(state.range(0));
    int colours = encoding == 0x0200 ? 2 : encoding == 0x0400 ? 4 : 16;
    Module module = artLikeModule(colours);
    datakit::Bytes data = datakit::encodeSpritePixels(encoding, colours, module.indexes, module.alphas);
    std::vector<std::int32_t> palette(static_cast<std::size_t>(colours));
    for (int k = 0; k < colours; ++k)
        palette[static_cast<std::size_t>(k)] =
            static_cast<std::int32_t>(0xFF000000u + 0x010203u * static_cast<std::uint32_t>(k));
    std::vector<std::int32_t> out(kPixels);
    game::RunIndexLayout runs = game::runIndexLayout(colours);
    for (auto _ : state) {
        bool decoded = game::decodePixels(encoding, runs, data, palette, out);
        benchmark::DoNotOptimize(decoded);
        benchmark::ClobberMemory();
    }
    setPixelRate(state);
    state.SetLabel(std::to_string(data.size()) + " bytes");
}
BENCHMARK(BM_DecodeModule)
    ->ArgName("encoding")
    ->Arg(0x0200)
    ->Arg(0x0400)
    ->Arg(0x1600)
    ->Arg(0x64F0)
    ->Arg(0x27F1)
    ->Arg(0x56F2)
    ->Arg(0xA256);

// The baseline: the same pixels copied, as a decode that only moved them would.
void BM_CopyPixels(benchmark::State& state) {
    std::vector<std::int32_t> in(kPixels, 0x12345678);
    std::vector<std::int32_t> out(kPixels);
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), kPixels * sizeof(std::int32_t));
        benchmark::ClobberMemory();
    }
    setPixelRate(state);
}
BENCHMARK(BM_CopyPixels);

} // namespace
