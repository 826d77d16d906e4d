// One painted frame as the game thread asks for it: the canvas paints the
// 480 x 640 screen, the ordinary collection request is skipped (the last
// collection is recent), and the frame is presented on the headless host.
// The frame costs the platform alone when the canvas draws nothing; the
// filled frame adds a fill of the whole screen. The headless host hashes
// frames only when the run asks, as tests that compare frames do.

#include "tests/support/StartedApplication.h"

#include <benchmark/benchmark.h>

namespace {

enum class Fill : bool { Nothing, WholeScreen };
enum class Hashes : bool { Off, On };

void paintedFrame(benchmark::State& state, Fill fill, Hashes hashes) {
    testing_support::StartedApplication app(false, {}, hashes == Hashes::On ? "hash-frames\n" : "",
                                            fill == Fill::WholeScreen);
    if (!app.started) {
        state.SkipWithError("the platform did not start");
        return;
    }
    auto* canvas = app.midlet().canvas();
    for (auto _ : state)
        canvas->serviceRepaints();
    state.counters["frames"] = static_cast<double>(app.impl().paintedFrames());
    state.counters["hashes"] = static_cast<double>(app.host->headlessScreen().frameHashes().size());
}

void BM_EmptyFrame(benchmark::State& state) {
    paintedFrame(state, Fill::Nothing, Hashes::Off);
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMicrosecond);

void BM_EmptyFrameHashed(benchmark::State& state) {
    paintedFrame(state, Fill::Nothing, Hashes::On);
}
BENCHMARK(BM_EmptyFrameHashed)->Unit(benchmark::kMicrosecond);

void BM_PaintedFrame(benchmark::State& state) {
    paintedFrame(state, Fill::WholeScreen, Hashes::Off);
}
BENCHMARK(BM_PaintedFrame)->Unit(benchmark::kMicrosecond);

void BM_PaintedFrameHashed(benchmark::State& state) {
    paintedFrame(state, Fill::WholeScreen, Hashes::On);
}
BENCHMARK(BM_PaintedFrameHashed)->Unit(benchmark::kMicrosecond);

} // namespace
