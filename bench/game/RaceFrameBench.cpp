// One race frame (`updateRace`) with 10 cars and 10 active race objects on
// a 200-segment ring with bends and sections: the cars move kinematically
// (the physics and drivers are not part of the figure), so this measures
// the frame's own work: clocks, timing points, contacts, triggers, object
// hits, ranking, slipstream and the streak lines. A whole race frame has 0.5 ms.

#include "classlib/util/Random.h"
#include "game/data/EventSlots.h"
#include "game/framework/LoopStatics.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "platform/Platform.h"
#include "runtime/Runtime.h"
#include "tests/support/FreeThreads.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::int32_t kSegments = 200;

void kinematic(game::cEntity* car, std::int32_t dt) {
    car->m_prevLap = car->m_lap;
    car->m_prevSegment = car->m_segment;
    car->m_prevSegmentPos = car->m_segmentPos;
    std::int64_t lap = std::int64_t{kSegments} * 1024;
    std::int64_t total = game::trackDistance(car->m_lap, car->m_segment, car->m_segmentPos, kSegments) +
                         ((std::int64_t{car->m_maxSpeed} * dt) >> 12);
    car->m_lap = static_cast<std::int32_t>(total / lap);
    car->m_segment = static_cast<std::int32_t>(total % lap / 1024);
    car->m_segmentPos = static_cast<std::int32_t>(total % 1024);
}

void BM_UpdateRace10Cars10Objects(benchmark::State& state) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{32 << 20, 64 << 20, &host.threads, &host.clock}};
    platform::installPlatform(runtime);
    lib::java_util_Random::seedSharedRandom(7);

    game::RaceSteps& steps = game::raceSteps();
    steps.updatePlayerCar = kinematic;
    steps.updateAiCar = kinematic;
    steps.updateRaceObject = kinematic;
    steps.contactTest = [](game::cEntity* a, game::cEntity* b) {
        return a->m_segment == b->m_segment && a->m_lateral - b->m_lateral < 200;
    };

    game::TrackStatics& t = game::trackStatics();
    t.s_segmentCount = kSegments;
    t.s_segmentCurve = rt::newIntArray(kSegments);
    for (std::int32_t i = 0; i < kSegments; ++i)
        rt::IntArray::set(t.s_segmentCurve, i, (i / 10) % 3 == 0 ? 0 : ((i / 10) % 3 == 1 ? 40 : -40));
    t.s_sectionCount = 8;
    t.s_sectionValues = rt::newIntArray(8);
    for (std::int32_t k = 0; k < 8; ++k)
        rt::IntArray::set(t.s_sectionValues, k, k * 25);
    game::initEventSlots();
    game::raceStatics().s_laps = 1000;

    game::raceStatics().s_racers = rt::newObjectArray(10);
    for (std::int32_t i = 0; i < 10; ++i) {
        game::cEntity* car = game::cEntity::cEntityWithType(i == 9 ? 0 : 1);
        car->m_racerIndex = i;
        car->m_racePosition = i;
        // The grid gives each car the top speed of its table.
        car->m_stats = rt::newIntArray(1);
        rt::IntArray::set(car->m_stats, 0, 200000 + 3000 * i);
        car->m_widthProfile = rt::newIntArray(12);
        rt::IntArray::set(car->m_widthProfile, 5, 300);
        rt::ObjectArray::set(game::raceStatics().s_racers, i, car);
    }
    game::racerStatics().s_playerCar = game::racerAt(9);
    game::raceStatics().s_raceObjects = rt::newObjectArray(10);
    for (std::int32_t i = 0; i < 10; ++i) {
        game::cEntity* object = game::cEntity::cEntityWithType(2);
        object->m_active = 1;
        object->m_itemSlot = i % 4;
        object->m_maxSpeed = 100000;
        rt::ObjectArray::set(game::raceStatics().s_raceObjects, i, object);
    }
    game::loopStatics().s_frameMs = 40;

    // The cars go back to the grid every 10000 frames (about 450 of their
    // laps), before any of them finishes its 1000.
    std::int64_t frames = 0;
    for (auto _ : state) {
        if (frames++ % 10000 == 0) {
            state.PauseTiming();
            game::resetRaceRun();
            state.ResumeTiming();
        }
        game::updateRace();
    }
    steps = {};
}
BENCHMARK(BM_UpdateRace10Cars10Objects)->Unit(benchmark::kMicrosecond);

} // namespace
