// One `updateRace` frame of ten cars (the player's and nine computer
// drivers with catch-up, route and contacts), ten race objects on the
// track and eight trigger codes on every segment, on a datakit ring of
// bends, slopes and a ramp. The target is 0.05 ms a frame, a tenth of the
// whole frame's budget for the race's simulation.

#include "bench/game/DrivenRace.h"
#include "platform/Platform.h"
#include "runtime/Runtime.h"
#include "tests/support/FreeThreads.h"
#include "tools/datakit/TrackRing.h"
#include "tools/datakit/TriggerCodes.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::int32_t kTriggers = 8;

datakit::TrackModel track() {
    datakit::TrackRing ring;
    ring.straight(8).right(90, 6).straight(4).slope(5, 3).slope(-5, 3).straight(4).left(60, 4).straight(3);
    ring.ramp().straight(4).right(45, 3).left(45, 3).straight(6);
    datakit::TrackModel model = ring.model();
    model.triggersPerSegment = kTriggers;
    using datakit::TriggerKind;
    // Codes that test their spans every step but rarely act: lanes off the
    // racing line, boxes 0 to 2 that only stand for gates.
    const std::int16_t codes[kTriggers] = {datakit::laneTrigger(TriggerKind::Bump, 0),
                                           datakit::laneTrigger(TriggerKind::Hazard, 0),
                                           datakit::laneTrigger(TriggerKind::Boost, 1),
                                           datakit::laneTrigger(TriggerKind::Ramp, 15),
                                           datakit::boxTrigger(1, false),
                                           datakit::boxTrigger(2, true),
                                           datakit::laneTrigger(TriggerKind::Bump, 15),
                                           datakit::laneTrigger(TriggerKind::Hazard, 15)};
    for (datakit::TrackSegment& s : model.segments)
        s.triggers.assign(codes, codes + kTriggers);
    return model;
}

void BM_RaceFrameWithOpponents(benchmark::State& state) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{32 << 20, 64 << 20, &host.threads, &host.clock}};
    platform::installPlatform(runtime);
    bench_race::setUpDrivenRace(track());
    bench_race::runRaceFrames(state);
}
BENCHMARK(BM_RaceFrameWithOpponents)->Unit(benchmark::kMicrosecond);

} // namespace
