// One painted frame as the game thread asks for it: the canvas paints the
// whole 480 x 640 screen, the ordinary collection request is skipped (the
// last collection is recent), and the frame is presented on the headless host.

#include "tests/support/StartedApplication.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PaintedFrame(benchmark::State& state) {
    testing_support::StartedApplication app;
    if (!app.started) {
        state.SkipWithError("the platform did not start");
        return;
    }
    auto* canvas = app.midlet().canvas();
    for (auto _ : state)
        canvas->serviceRepaints();
    state.counters["frames"] = static_cast<double>(app.impl().paintedFrames());
}
BENCHMARK(BM_PaintedFrame)->Unit(benchmark::kMicrosecond);

} // namespace
