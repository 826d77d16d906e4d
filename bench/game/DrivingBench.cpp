// One race step of the driving: the player's car (keys, gearbox, steering,
// plane move) and nine other cars through the motion step, on a datakit
// ring of bends both ways, slopes and a ramp. The race frame's own work is
// RaceFrameBench's; a 25 fps frame has 40 ms, and this step should stay
// far below one per cent of it.

#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntryReader.h"
#include "game/race/PlayerControl.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "platform/Platform.h"
#include "runtime/Runtime.h"
#include "tests/support/FreeThreads.h"
#include "tools/datakit/TrackRing.h"

#include <benchmark/benchmark.h>

namespace {

game::cEntity* car(std::int32_t type, std::int32_t index) {
    game::cEntity* c = game::cEntity::cEntityWithType(type);
    const std::int32_t kmh[] = {0, 60, 120, 180, 240};
    c->m_stats = rt::newIntArray(5);
    c->m_gearTable = rt::newIntArray(5);
    for (std::int32_t g = 0; g < 5; ++g) {
        rt::IntArray::set(c->m_stats, g, game::kmhToSpeed(kmh[g] + 2 * index));
        rt::IntArray::set(c->m_gearTable, g, 6144);
    }
    c->m_widthProfile = rt::newIntArray(12);
    for (std::int32_t i = 0; i < 12; ++i)
        rt::IntArray::set(c->m_widthProfile, i, 150);
    c->m_defValues[1] = 120000;
    c->m_aiTuning[1] = c->m_aiTuning[2] = 100;
    c->m_racerIndex = c->m_racePosition = index;
    c->m_lateral = (index % 3 - 1) * 300;
    c->m_lap = 1;
    c->m_gear = 1;
    c->m_active = 1;
    return c;
}

void BM_DrivingStep10Cars(benchmark::State& state) {
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{32 << 20, 64 << 20, &host.threads, &host.clock}};
    platform::installPlatform(runtime);

    datakit::TrackRing ring;
    ring.straight(8).right(90, 6).straight(4).slope(5, 3).slope(-5, 3).straight(4).left(60, 4).straight(3);
    ring.ramp().straight(4).right(45, 3).left(45, 3).straight(6);
    game::EntryReader reader(datakit::writeTrack(ring.model()), "track pack");
    reader.skip(game::kWireModelBytes);
    (void)game::loadTrackEntry(reader, 1);
    game::initDrivingTables();
    game::raceStatics().s_racers = rt::newObjectArray(10);
    for (std::int32_t i = 0; i < 10; ++i)
        rt::ObjectArray::set(game::raceStatics().s_racers, i, car(i == 9 ? 0 : 1, i));
    game::racerStatics().s_playerCar = game::racerAt(9);

    std::int64_t steps = 0;
    for (auto _ : state) {
        // Every 2000 steps (200 s of race) the cars go back to the line.
        if (steps++ % 2000 == 0) {
            state.PauseTiming();
            for (std::int32_t i = 0; i < 10; ++i) {
                game::cEntity* c = game::racerAt(i);
                c->m_segment = c->m_segmentPos = c->m_speed = c->m_height = c->m_vSpeed = 0;
                c->m_fallen = c->m_onPath = 0;
                c->m_lap = 1;
            }
            state.ResumeTiming();
        }
        game::updatePlayerCar(game::racerAt(9), 409);
        for (std::int32_t i = 0; i < 9; ++i) {
            game::cEntity* c = game::racerAt(i);
            game::updateGear(c, false);
            c->m_maxSpeed = game::getGearTargetSpeed(c);
            game::updatePhysics(c, 409, 1);
        }
    }
}
BENCHMARK(BM_DrivingStep10Cars)->Unit(benchmark::kMicrosecond);

} // namespace
