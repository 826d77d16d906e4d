#pragma once
// What the opponent tests share: a field of cars placed by hand on a ring
// of a given segment count (list order is race order), a field of cars of
// given top speeds, the device clock that the race's interval decisions
// read (`raceNowMs`), held by the test from 0; and whole races of six cars
// on a datakit track with its triggers, from nothing but a seed.

#include "classlib/util/Random.h"
#include "game/data/EventSlots.h"
#include "game/framework/States.h"
#include "game/race/Blink.h"
#include "game/race/ComputerDriver.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceHash.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "runtime/Runtime.h"
#include "tests/game/race/DrivingFixture.h"
#include "tests/support/SettableClock.h"
#include "tools/datakit/TriggerCodes.h"

#include <vector>

namespace race_testing {

// The runtime's clock, whose tick the device clock reads.
inline testing_support::SettableClock& deviceClock() {
    return dynamic_cast<testing_support::SettableClock&>(*rt::Runtime::current().clock());
}

struct Place {
    std::int32_t lap, segment, position = 512, lateral = 0;
};

struct OpponentsTest : DrivingTest {
    OpponentsTest() { deviceClock().setTick(0); }

    // A ring of `segments` segments for a race of `laps` laps (no track
    // data beyond the count).
    static void ring(std::int32_t segments, std::int32_t laps) {
        game::trackStatics().s_segmentCount = segments;
        game::raceStatics().s_laps = laps;
        game::raceStatics().s_totalSegments = segments * laps;
    }

    // Cars in race order at the given places; car `player` is the player's.
    static std::vector<game::cEntity*> field(const std::vector<Place>& places, std::size_t player) {
        std::vector<game::cEntity*> cars;
        auto n = static_cast<std::int32_t>(places.size());
        game::raceStatics().s_racers = rt::newObjectArray(n);
        for (std::int32_t i = 0; i < n; ++i) {
            const Place& p = places[static_cast<std::size_t>(i)];
            game::cEntity* car = makeCar(static_cast<std::size_t>(i) == player ? 0 : 1, {0, 100, 200}, 4096);
            car->m_racerIndex = i;
            car->m_racePosition = i;
            car->m_lap = car->m_prevLap = p.lap;
            car->m_segment = car->m_prevSegment = p.segment;
            car->m_segmentPos = car->m_prevSegmentPos = p.position;
            car->m_lateral = car->m_prevLateral = p.lateral;
            car->m_active = 1;
            rt::ObjectArray::set(game::raceStatics().s_racers, i, car);
            cars.push_back(car);
        }
        game::racerStatics().s_playerCar = cars[player];
        return cars;
    }

    // The computer cars of `cars` take the tuning rows of their places.
    static void tune(const std::vector<game::cEntity*>& cars) {
        for (std::size_t i = 0; i < cars.size(); ++i)
            if (cars[i]->m_type == 1)
                game::setAiTuning(cars[i], static_cast<std::int32_t>(i));
    }

    // Cars in race order on the line with these top speeds in km/h, reached
    // in four gears of 1.5 s, with strong brakes, 400 long; the computer
    // cars on the tuning rows of their places, the last car the player's.
    static std::vector<game::cEntity*> fieldOf(const std::vector<std::int32_t>& kmh) {
        std::vector<game::cEntity*> cars = field(std::vector<Place>(kmh.size(), Place{1, 0}), kmh.size() - 1);
        tune(cars);
        for (std::size_t i = 0; i < cars.size(); ++i) {
            game::cEntity* car = cars[i];
            car->m_stats = ints({0, game::kmhToSpeed(60), game::kmhToSpeed(120), game::kmhToSpeed(180),
                                 game::kmhToSpeed(kmh[i])});
            car->m_gearTable = ints({6144, 6144, 6144, 6144, 6144});
            car->m_defValues[1] = 120000;
            rt::IntArray::set(car->m_widthProfile, 11, 400);
        }
        return cars;
    }
};

// The whole races' track: bends both ways, a crest and a ramp; boost pads,
// a bump, a hazard, obstacle boxes and the event's dynamic entries.
inline datakit::TrackModel raceTrack() {
    using datakit::TriggerKind;
    datakit::TrackRing ring;
    ring.straight(8).right(90, 6).straight(4).slope(5, 3).slope(-5, 3).straight(4).left(60, 4).straight(3);
    ring.ramp().straight(4).right(45, 3).left(45, 3).straight(6);
    datakit::TrackModel model = ring.model();
    auto put = [&](int segment, std::int16_t a, std::int16_t b) {
        model.segments[segment].triggers = {a, b};
    };
    put(3, datakit::laneTrigger(TriggerKind::Boost, 0), datakit::laneTrigger(TriggerKind::Boost, 1));
    put(19, datakit::laneTrigger(TriggerKind::Bump, 2), 0);
    put(22, datakit::boxTrigger(3, false), datakit::dynamicTrigger(0, 0));
    put(24, datakit::laneTrigger(TriggerKind::Hazard, 0), datakit::dynamicTrigger(1, 0));
    put(36, datakit::dynamicTrigger(2, 0), datakit::dynamicTrigger(3, 0));
    put(44, datakit::boxTrigger(4, true), datakit::laneTrigger(TriggerKind::Boost, 1));
    // Boxes 3 and 4: a block on the right edge, mirrored to the left.
    model.objects.resize(5);
    model.objects[3].points = {800, 1000};
    model.objects[4].points = {800, 1000};
    return model;
}

// Whole races of six cars on `raceTrack`, three laps unless asked, the
// player's car last, in the race state (left when the test ends).
struct WholeRaceTest : OpponentsTest {
    static constexpr std::int32_t kRaceCars = 6;

    // The shared Random's state when the last race was reset for its start.
    static inline std::int64_t s_randomAtStart = 0;

    ~WholeRaceTest() override { game::stateStatics().s_state = game::State{}; }

    // Every race statics block from its first state (the driving and the
    // computer drivers' tables with them), then the track and the event's
    // dynamic entries: item boxes and coins in lanes 1 to 4.
    static void loadRace() {
        using datakit::DynamicAction;
        game::resetRaceStatics();
        datakit::Bytes entry = datakit::writeTrack(raceTrack());
        game::EntryReader reader(std::move(entry), "track pack");
        reader.skip(game::kWireModelBytes);
        EXPECT_TRUE(game::loadTrackEntry(reader, 1));
        game::initEventSlots();
        game::setSlotEventType(0, game::EventType::Laps);
        rt::IntArray* table = ints({datakit::dynamicAction(DynamicAction::ItemBox, 0, true, 2, 3),
                                    datakit::dynamicAction(DynamicAction::Coin, 0, true, 3),
                                    datakit::dynamicAction(DynamicAction::ItemBox, 0, true, 4, 6),
                                    datakit::dynamicAction(DynamicAction::ItemBox, 0, true, 1, 0)});
        rt::ObjectArray* variants = rt::newObjectArray(1);
        rt::ObjectArray::set(variants, 0, table);
        game::eventStatics().s_dynamicTriggers = rt::newObjectArray(1);
        rt::ObjectArray::set(game::eventStatics().s_dynamicTriggers, 0, variants);
    }

    // The race's cars on the grid, the player's last: computer car i of top
    // speed `computerKmh` + 6 i, weight 10 + i, driver kind i mod 3; the
    // device clock at 0, ten race objects in the pool, the run reset and
    // the countdown over.
    static std::vector<game::cEntity*> startRace(std::int64_t seed, std::int32_t playerKmh,
                                                 std::int32_t laps = 3, std::int32_t computerKmh = 200) {
        // The seed comes first: the track's load draws its weather from the
        // shared Random, which would otherwise carry the last race's state.
        lib::java_util_Random::seedSharedRandom(seed);
        loadRace();
        game::raceStatics().s_raceFinished = 0;
        game::stateStatics().s_state = game::State::Race;
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
        game::initZoomAnimPool();
        ring(game::trackStatics().s_segmentCount, laps);
        std::vector<std::int32_t> tops;
        for (std::int32_t i = 0; i + 1 < kRaceCars; ++i)
            tops.push_back(computerKmh + 6 * i);
        tops.push_back(playerKmh);
        const std::vector<game::cEntity*> cars = fieldOf(tops);
        for (std::int32_t i = 0; i < kRaceCars; ++i) {
            cars[static_cast<std::size_t>(i)]->m_defValues[3] = 10 + i;
            cars[static_cast<std::size_t>(i)]->m_driverKind = i % 3;
        }
        fillObjectPool();
        deviceClock().setTick(0);
        s_randomAtStart = lib::java_util_Random::shared()->state();
        game::resetRaceRun();
        countdown();
        return cars;
    }

    // The camera and the blink as the countdown leaves them.
    static void countdown() {
        game::placeCameraBehindPlayer();
        game::startBlink(game::cameraStatics().s_blinkStartPeriod);
    }

    // The loader's pool of race objects: ten new ones.
    static void fillObjectPool() {
        game::raceStatics().s_raceObjects = rt::newObjectArray(10);
        for (std::int32_t i = 0; i < 10; ++i)
            rt::ObjectArray::set(game::raceStatics().s_raceObjects, i, game::cEntity::cEntityWithType(2));
    }
};

} // namespace race_testing
