// A 640 x 480 int fill, the shape of a pixel loop: through a span (one range
// check), through the checked `get`/`set` per element, and over a plain
// std::vector as the mark to reach.

#include "runtime/Array.h"
#include "runtime/Runtime.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;

// The value a pixel gets: varies along the row, so no loop is a plain memset.
inline std::int32_t pixel(std::int32_t x, std::int32_t y) {
    return static_cast<std::int32_t>(0xFF000000u | static_cast<std::uint32_t>(x * 3 + y));
}

struct IntFill {
    rt::Runtime runtime{rt::RuntimeOptions{1 << 20, 4 << 20}};
    rt::IntArray* array = rt::newIntArray(kWidth * kHeight);
};

void BM_IntFillThroughSpan(benchmark::State& state) {
    IntFill fill;
    for (auto _ : state) {
        for (std::int32_t y = 0; y < kHeight; ++y) {
            auto row = rt::IntArray::span(fill.array, y * kWidth, kWidth);
            for (std::size_t x = 0; x < row.size(); ++x)
                row[x] = pixel(static_cast<std::int32_t>(x), y);
        }
        benchmark::DoNotOptimize(fill.array->elements());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_IntFillThroughSpan);

void BM_IntFillThroughGetSet(benchmark::State& state) {
    IntFill fill;
    for (auto _ : state) {
        for (std::int32_t y = 0; y < kHeight; ++y) {
            for (std::int32_t x = 0; x < kWidth; ++x)
                rt::IntArray::set(fill.array, y * kWidth + x, pixel(x, y));
        }
        benchmark::DoNotOptimize(rt::IntArray::get(fill.array, 0));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_IntFillThroughGetSet);

void BM_IntFillPlainVector(benchmark::State& state) {
    std::vector<std::int32_t> pixels(static_cast<std::size_t>(kWidth * kHeight));
    for (auto _ : state) {
        for (std::int32_t y = 0; y < kHeight; ++y) {
            for (std::int32_t x = 0; x < kWidth; ++x)
                pixels[static_cast<std::size_t>(y * kWidth + x)] = pixel(x, y);
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_IntFillPlainVector);

} // namespace
