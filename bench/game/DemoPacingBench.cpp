// The demo's frame pacing as a player meets it: the real program, headless,
// on a fresh copy of the demo set, playing the demo script that the run
// command plays without a display (tools/demo/), each frame timed from the
// present before it (tests/support/PacedDemo.h). The virtual clock skips
// every sleep, so a frame's time is the work done for it on any thread: a
// load's step, the paint, the present, a sound's start.
//
// `BM_DemoLongestFrame` is the longest frame by the machine's clock (the
// first frame, the program's start-up, aside), with the count of frames
// over 50 ms, the frame count, the median frame and the ratio of the two as
// counters, and its number, state and loading step as its label.
// `BM_DemoMostWorkFrame` is the frame with the most processor time, which
// other processes on a loaded machine do not lengthen, beside the median
// frame's processor time. `BM_DemoMedianFrame` is the same run's typical
// frame by the clock, the baseline. The demo is played once for the three.

#include "tests/support/BuildPaths.h"
#include "tests/support/PacedDemo.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using testing_support::PacedFrame;
using testing_support::PacedRun;

const PacedRun& demoRun() {
    static const PacedRun s_run = testing_support::runPacedDemo(VORLAX_DEMO_SCRIPT);
    return s_run;
}

// The median of `measure` over the frames.
template <typename Measure>
double median(const std::vector<PacedFrame>& frames, Measure measure) {
    std::vector<double> values;
    for (const PacedFrame& frame : frames)
        values.push_back(measure(frame));
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double wallSeconds(const PacedFrame& frame) {
    return frame.seconds;
}

double cpuSeconds(const PacedFrame& frame) {
    return frame.cpuSeconds;
}

// The demo's run, or null after the benchmark was told it did not end well.
const PacedRun* usableRun(benchmark::State& state) {
    const PacedRun& run = demoRun();
    if (run.status == 0 && !run.frames.empty())
        return &run;
    state.SkipWithError(
        ("the demo did not run to its end (status " + std::to_string(run.status) + ")").c_str());
    return nullptr;
}

std::string describe(const PacedRun& run, const PacedFrame& frame) {
    return "frame " + std::to_string(&frame - run.frames.data() + 1) + ", state " +
           std::to_string(game::stateNumber(frame.state)) + ", loading step " +
           std::to_string(frame.loadingStep);
}

// The frame with the most of `measure`, reported as the iteration time with
// the median frame by the same measure and the ratio of the two.
template <typename Measure>
const PacedFrame* reportLongest(benchmark::State& state, Measure measure) {
    const PacedRun* run = usableRun(state);
    if (!run)
        return nullptr;
    const PacedFrame& longest =
        *std::max_element(run->frames.begin(), run->frames.end(),
                          [&](const PacedFrame& a, const PacedFrame& b) { return measure(a) < measure(b); });
    for (auto _ : state)
        state.SetIterationTime(measure(longest));
    const double middle = median(run->frames, measure);
    state.counters["median ms"] = middle * 1000;
    state.counters["ratio to median"] = measure(longest) / middle;
    state.SetLabel(describe(*run, longest));
    return &longest;
}

void BM_DemoLongestFrame(benchmark::State& state) {
    if (!reportLongest(state, wallSeconds))
        return;
    const std::vector<PacedFrame>& frames = demoRun().frames;
    state.counters["frames"] = static_cast<double>(frames.size());
    state.counters["over 50 ms"] = static_cast<double>(std::count_if(
        frames.begin(), frames.end(), [](const PacedFrame& frame) { return frame.seconds > 0.050; }));
}
BENCHMARK(BM_DemoLongestFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DemoMostWorkFrame(benchmark::State& state) {
    (void)reportLongest(state, cpuSeconds);
}
BENCHMARK(BM_DemoMostWorkFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DemoMedianFrame(benchmark::State& state) {
    const PacedRun* run = usableRun(state);
    if (!run)
        return;
    const double middle = median(run->frames, wallSeconds);
    for (auto _ : state)
        state.SetIterationTime(middle);
}
BENCHMARK(BM_DemoMedianFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
