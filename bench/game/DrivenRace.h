#pragma once

// What the race frame benchmarks share: a track model read through the track
// loader, ten cars that drive for real (the player's car with no key held and
// nine computer drivers with their tuning), ten race objects, and the frames
// timed with the field back on the grid every 500 frames (50 s) and the
// objects released again on the road ahead every 5. Call on a runtime with
// the platform installed.

#include "game/data/EventSlots.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/race/ComputerDriver.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntryReader.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceObjects.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "tools/datakit/TrackWriter.h"

#include <benchmark/benchmark.h>

#include <initializer_list>

namespace bench_race {

inline constexpr std::int32_t kCars = 10;
inline constexpr std::int32_t kObjects = 10;

inline rt::IntArray* intsOf(std::initializer_list<std::int32_t> values) {
    rt::IntArray* a = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    std::int32_t i = 0;
    for (std::int32_t v : values)
        rt::IntArray::set(a, i++, v);
    return a;
}

inline game::cEntity* drivenCar(std::int32_t type, std::int32_t index) {
    game::cEntity* c = game::cEntity::cEntityWithType(type);
    c->m_stats = intsOf({0, game::kmhToSpeed(60), game::kmhToSpeed(120), game::kmhToSpeed(180),
                         game::kmhToSpeed(220 + 2 * index)});
    c->m_gearTable = intsOf({6144, 6144, 6144, 6144, 6144});
    c->m_widthProfile = intsOf({150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 400});
    c->m_defValues[1] = 120000;
    c->m_racerIndex = index;
    c->m_active = 1;
    c->m_gear = 1;
    if (type == 1)
        game::setAiTuning(c, index);
    return c;
}

// The cars on the grid.
inline void startRace() {
    const std::int32_t count = game::trackStatics().s_segmentCount;
    for (std::int32_t i = 0; i < kCars; ++i) {
        game::cEntity* c = game::racerAt(i);
        c->m_segment = c->m_prevSegment = count - 1 - i;
        c->m_segmentPos = 512;
        c->m_lateral = (i % 3 - 1) * 300;
        c->m_lap = c->m_prevLap = 0;
        c->m_speed = c->m_height = c->m_vSpeed = 0;
        c->m_fallen = c->m_onPath = c->m_knocked = 0;
        c->m_effect = game::CarEffect::None;
        c->m_effectTimer = 0;
        c->m_state = game::CarState::Normal;
        c->m_racePosition = i;
    }
    game::resetRaceRun();
}

// Ten objects released again on the road ahead of the player, beside the
// cars' lanes, so that the frames measured carry about ten.
inline void releaseObjects() {
    game::retireAllObjects();
    const game::cEntity* player = game::racerStatics().s_playerCar;
    for (std::int32_t i = 0; i < kObjects; ++i) {
        const std::int32_t kind = i % 2 == 0 ? game::kObjectDropped : game::kObjectThrown;
        game::cEntity* object = game::spawnEntity(kind, game::racerAt(i), 0, false);
        object->m_segment = object->m_prevSegment = game::wrapSegment(player->m_segment + 2 + 2 * i);
        object->m_lap = object->m_prevLap = player->m_lap;
        object->m_lateral = object->m_prevLateral = 1250;
        object->m_heading = 0;
    }
}

// Loads `track` and sets the race up: the driving and driver tables, the
// effect pool, the race state, 1000 laps, the cars and the object pool.
inline void setUpDrivenRace(const datakit::TrackModel& track) {
    game::EntryReader reader(datakit::writeTrack(track), "track pack");
    reader.skip(game::kWireModelBytes);
    (void)game::loadTrackEntry(reader, 1);
    game::initDrivingTables();
    game::initDriverTables();
    game::initZoomAnimPool();
    game::initEventSlots();
    game::stateStatics().s_state = game::State::Race;
    game::RaceStatics& race = game::raceStatics();
    race.s_laps = 1000;
    race.s_totalSegments = 1000 * game::trackStatics().s_segmentCount;
    race.s_racers = rt::newObjectArray(kCars);
    for (std::int32_t i = 0; i < kCars; ++i)
        rt::ObjectArray::set(race.s_racers, i, drivenCar(i == kCars - 1 ? 0 : 1, i));
    game::racerStatics().s_playerCar = game::racerAt(kCars - 1);
    race.s_raceObjects = rt::newObjectArray(kObjects);
    for (std::int32_t i = 0; i < kObjects; ++i)
        rt::ObjectArray::set(race.s_raceObjects, i, game::cEntity::cEntityWithType(2));
    game::loopStatics().s_frameMs = 100;
}

// Times `updateRace` frames; the counter "objects" is the active race
// objects a frame carried on average.
inline void runRaceFrames(benchmark::State& state) {
    const game::RaceStatics& race = game::raceStatics();
    std::int64_t frames = 0;
    std::int64_t objectSteps = 0;
    for (auto _ : state) {
        if (frames % 5 == 0) {
            state.PauseTiming();
            if (frames % 500 == 0)
                startRace();
            releaseObjects();
            state.ResumeTiming();
        }
        ++frames;
        game::updateRace();
        for (std::int32_t i = 0; i < kObjects; ++i)
            objectSteps += static_cast<game::cEntity*>(rt::ObjectArray::get(race.s_raceObjects, i))->m_active;
    }
    state.counters["objects"] =
        benchmark::Counter(static_cast<double>(objectSteps) / static_cast<double>(frames));
}

} // namespace bench_race
