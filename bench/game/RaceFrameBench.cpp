// One whole race frame (`updateRace`) on a ring of 200 segments of bends
// both ways in eight timing sections, without trigger codes: ten cars
// driving (the player's car with no key held and nine computer drivers,
// DrivenRace.h) and ten race objects released on the road ahead. It holds
// the race frame's own work (clocks, timing points, contacts, object hits,
// ranking, slipstream, the camera and the streak lines) with the cars'
// motion, which DrivingBench times alone; OpponentsBench runs the same frame
// over trigger codes on every segment. A whole race frame has 0.5 ms.

#include "bench/game/DrivenRace.h"
#include "classlib/util/Random.h"
#include "platform/Platform.h"
#include "runtime/Runtime.h"
#include "tests/support/FreeThreads.h"
#include "tools/datakit/TrackRing.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::int32_t kSections = 8;

// Straights of ten segments between bends of ten, to the left and to the
// right by turns; a section starts every 25 segments.
datakit::TrackModel track() {
    datakit::TrackRing ring;
    while (ring.segmentCount() < 200) {
        ring.straight(10).left(30, 10);
        if (ring.segmentCount() < 200)
            ring.right(30, 10);
    }
    datakit::TrackModel model = ring.model();
    const datakit::TrackSection first = model.sections.front();
    model.sections.clear();
    for (std::int32_t k = 0; k < kSections; ++k) {
        datakit::TrackSection section = first;
        section.start = static_cast<std::uint16_t>(k * 25);
        model.sections.push_back(section);
    }
    return model;
}

void BM_UpdateRace10Cars10Objects(benchmark::State& state) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{32 << 20, 64 << 20, &host.threads, &host.clock}};
    platform::installPlatform(runtime);
    lib::java_util_Random::seedSharedRandom(7);
    bench_race::setUpDrivenRace(track());
    bench_race::runRaceFrames(state);
}
BENCHMARK(BM_UpdateRace10Cars10Objects)->Unit(benchmark::kMicrosecond);

} // namespace
