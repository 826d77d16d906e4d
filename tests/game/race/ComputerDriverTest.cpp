// The computer drivers: their racer's definition and the tuning row of
// their index, the lane marks, the
// lateral moves that divide by the top speed, the inside line against the
// road's edge, the finish, a fallen car on a ring of gaps, and the
// catch-up of a player far ahead and of a car half a lap behind.

#include "game/race/ComputerDriver.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/EventGoals.h"
#include "game/race/RacePhase.h"
#include "game/race/RaceTables.h"
#include "game/race/TrackTriggers.h"
#include "tests/game/race/OpponentsFixture.h"

#include <algorithm>

namespace {

using game::cEntity;
using game::kmhToSpeed;
using race_testing::OpponentsTest;

struct ComputerDriverTest : OpponentsTest {
    ComputerDriverTest() {
        game::initDriverTables();
        datakit::TrackRing track;
        track.straight(10).left(60, 6).straight(24);
        loadRing(track);
        ring(40, 3);
        game::resetTrackTriggers();
    }
};

// A computer car is its racer's: the definition of the row that its racer
// id's record names, placed at the start, active, with the tuning row of
// its index mod 5. Racer 0 names row 1 (two speed steps up to 40 km/h),
// racer 1 row 0 (three up to 90 km/h).
TEST_F(ComputerDriverTest, ADriverTakesItsRacersDefinitionAndTheTuningRowOfItsIndex) {
    datakit::RacerDefinition slow = race_testing::racerDefinition();
    slow.speedSteps = {20, 40};
    slow.widthProfile[5] = 140;
    putPacks(
        {{"tables.pak", {race_testing::recordTables(2)}},
         {"racers.pak", {datakit::writeRacer(race_testing::racerDefinition()), datakit::writeRacer(slow)}}});
    game::loadTablesFromPack157();
    for (std::int32_t index = 0; index < 12; ++index) {
        SCOPED_TRACE(index);
        cEntity* car = cEntity::cEntityWithType(1);
        car->m_carType = index % 2;
        car->m_segment = 7;
        game::setupAiDriver(car, index);
        const bool fast = car->m_carType == 1;
        ASSERT_NE(car->m_stats, nullptr);
        EXPECT_EQ(car->m_stats->length(), fast ? 4 : 3);
        EXPECT_EQ(rt::IntArray::get(car->m_stats, car->m_stats->length() - 1), kmhToSpeed(fast ? 90 : 40));
        EXPECT_EQ(rt::IntArray::get(car->m_widthProfile, 5), fast ? 120 : 140);
        EXPECT_EQ(car->m_segment, 0);
        const std::int32_t row = index % 5;
        const rt::IntArray* t = game::driverStatics().s_aiTuningTable;
        const std::int32_t expected[6] = {1, 2, 3, 5, 6, 4};
        for (std::int32_t v = 0; v < 6; ++v)
            EXPECT_EQ(car->m_aiTuning[v], rt::IntArray::get(t, row * 7 + expected[v])) << v;
        EXPECT_EQ(car->m_active, 1);
        EXPECT_EQ(car->m_type, 1);
    }
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

TEST_F(ComputerDriverTest, ALaneMarkIsTakenOnceAndAnEmptyOneGivesNoLane) {
    game::TriggerStatics& s = game::triggerStatics();
    s.s_laneTargetsOn = 1;
    rt::IntArray::set(s.s_laneTargets, 2, game::kLaneNone);
    rt::IntArray::set(s.s_laneTargets, 5, 1024);
    cEntity* a = makeCar(1, {0, 100}, 4096);
    cEntity* b = makeCar(1, {0, 100}, 4096);
    cEntity* c = makeCar(1, {0, 100}, 4096);
    game::pickLaneTarget(a);
    EXPECT_EQ(a->m_laneTarget, -1);
    EXPECT_EQ(rt::IntArray::get(s.s_laneTargets, 2), game::kLaneTaken);
    game::pickLaneTarget(b);
    EXPECT_EQ(b->m_laneTarget, 1024);
    game::pickLaneTarget(c);
    EXPECT_EQ(c->m_laneTarget, -1);
}

TEST_F(ComputerDriverTest, ACarWithoutATopSpeedKeepsItsLane) {
    auto cars = field({{1, 3, 512, 0}, {1, 2, 512, 0}}, 1);
    cEntity* car = cars[0];
    car->m_stats = ints({0, 0});
    car->m_speed = 4096;
    car->m_laneTarget = 600;
    game::updateAiCar(car, 409);
    EXPECT_EQ(car->m_lateral, 0);
}

TEST_F(ComputerDriverTest, TheInsideLineNeverTakesTheCarPastTheEdgeLessTwiceItsWidth) {
    auto cars = field({{1, 10, 100, 0}, {1, 2, 512, 0}}, 1);
    cEntity* car = cars[0];
    tune(cars);
    car->m_stats = ints({0, kmhToSpeed(100), kmhToSpeed(200)});
    car->m_speed = car->m_maxSpeed = kmhToSpeed(200);
    car->m_insideLine = 1;
    std::int32_t lowest = 0;
    for (std::int32_t step = 0; step < 60 && car->m_segment < 16; ++step) {
        car->m_insideLine = car->m_segment >= 10 ? 1 : 0;
        game::updateAiCar(car, 409);
        lowest = car->m_lateral < lowest ? car->m_lateral : lowest;
        ASSERT_GE(car->m_lateral - 2 * 150, game::getLeftLimit(car) - 2 * 25) << step;
    }
    EXPECT_LT(lowest, -200) << "the left bend's inside is the left edge";
}

TEST_F(ComputerDriverTest, AtTheFinishEveryComputerCarTakesThePlayersSpeed) {
    auto cars = field({{4, 3}, {4, 2}, {4, 1}}, 2);
    game::raceStatics().s_raceFinished = 1;
    cars[2]->m_speed = kmhToSpeed(77);
    for (cEntity* car : {cars[0], cars[1]}) {
        car->m_speed = kmhToSpeed(190);
        game::updateAiCar(car, 1);
        EXPECT_EQ(car->m_maxSpeed, kmhToSpeed(77));
    }
}

TEST_F(ComputerDriverTest, AFallenCarComesBackPastTheGapOrStaysOnARingOfGaps) {
    datakit::TrackRing gaps;
    gaps.straight(3).surface(datakit::kSurfaceGap, 2).straight(5);
    loadRing(gaps);
    auto cars = field({{1, 2}, {1, 0}}, 1);
    cEntity* car = cars[0];
    car->m_fallen = 1;
    car->m_fallLateral = 700;
    for (std::int32_t i = 0; i < 20; ++i)
        game::updateAiCar(car, 409);
    EXPECT_EQ(car->m_segment, 5);
    EXPECT_EQ(car->m_fallen, 0);
    EXPECT_EQ(car->m_onPath, 1);
    EXPECT_EQ(car->m_aiMode, game::kAiModeRecovered);

    datakit::TrackRing allGaps;
    allGaps.surface(datakit::kSurfaceGap, 6);
    loadRing(allGaps);
    car->m_fallen = 1;
    car->m_fallStep = 0;
    car->m_segment = 2;
    for (std::int32_t i = 0; i < 20; ++i)
        game::updateAiCar(car, 409);
    EXPECT_EQ(car->m_fallen, 1);
    EXPECT_EQ(car->m_segment, 2);
    EXPECT_TRUE(log.contains("fallen computer car"));
}

TEST_F(ComputerDriverTest, APlayerFarAheadIsChasedAndACarHalfALapBehindIsPlacedUp) {
    // The player leads in the second third; the next car is 10 segments
    // behind: pushed, driven faster than the player.
    auto cars = field({{2, 30, 512, 0}, {2, 20, 512, 0}, {2, 5, 512, 0}}, 0);
    tune(cars);
    cEntity* p = cars[0];
    p->m_speed = kmhToSpeed(100);
    cEntity* car = cars[1];
    car->m_maxSpeed = kmhToSpeed(90);
    game::updateCatchUp(car, 409);
    EXPECT_EQ(car->m_aiMode, game::kAiModePushed);
    EXPECT_GT(car->m_maxSpeed, p->m_speed);
    EXPECT_EQ(car->m_segment, 26) << "the next car behind, past 6144 back, is placed 4 segments behind";

    // Half a lap (20 segments) and more behind: placed 4 segments behind.
    cEntity* far = cars[2];
    far->m_maxSpeed = kmhToSpeed(90);
    game::updateCatchUp(far, 409);
    EXPECT_EQ(far->m_segment, 26);
    EXPECT_EQ(far->m_lap, 2);
}

// A car ahead of a player placed near the front is held: towards the
// player's speed times its held share when the player drives faster than the
// car's own pace, but never below the same share of its own pace, so a
// player who crawls is not waited for.
TEST_F(ComputerDriverTest, AHeldCarWaitsForAPlayerWhoDrivesButNotForOneWhoCrawls) {
    for (const std::int32_t playerKmh : {30, 190, 260}) {
        SCOPED_TRACE(playerKmh);
        auto cars = field({{1, 20, 512, 0}, {1, 15, 512, 0}}, 1);
        tune(cars);
        cEntity* car = cars[0];
        cEntity* p = cars[1];
        p->m_stats = ints({0, kmhToSpeed(150), kmhToSpeed(300)});
        p->m_speed = kmhToSpeed(playerKmh);
        const std::int32_t own = kmhToSpeed(200);
        car->m_maxSpeed = own;
        game::updateCatchUp(car, 409);
        EXPECT_EQ(car->m_aiMode, game::kAiModeHeld);
        const std::int32_t held = car->m_aiTuning[3];
        const std::int32_t want = playerKmh < 200 ? own * held / 100 : std::min(p->m_speed * held / 100, own);
        EXPECT_EQ(car->m_maxSpeed, want);
    }
}

// The route zone of a segment, from the first sets of the track's start
// ranges (A) and end ranges (B): -1 from A[2] to B[0], else 0 below A[3],
// else 1 up to B[1], else 0; 0 for every car without both.
TEST_F(ComputerDriverTest, TheRouteZoneIsReadFromTheTracksStartAndEndRanges) {
    game::TrackStatics& t = game::trackStatics();
    t.s_startRanges = ints({0, 3, 20, 10});
    t.s_endRanges = ints({30, 38, 0, 0});
    cEntity* car = cEntity::cEntityWithType(1);
    const std::pair<std::int32_t, std::int32_t> zones[] = {{5, 0},  {15, 1}, {20, -1}, {30, -1},
                                                           {35, 1}, {38, 1}, {39, 0}};
    for (const auto& [segment, zone] : zones) {
        car->m_segment = segment;
        EXPECT_EQ(game::getRouteZone(car), zone) << segment;
    }
    t.s_endRanges = nullptr;
    car->m_segment = 20;
    EXPECT_EQ(game::getRouteZone(car), 0);
    t.s_startRanges = nullptr;
}

// The guided race's second car is placed by the guide's step: ahead of
// the player until the player aims at it, then 3 segments behind as its
// target, and taken off the track once the guide has moved past aiming.
TEST_F(ComputerDriverTest, TheGuidedRacesCarIsPlacedByTheGuideStep) {
    struct Case {
        const char* what;
        std::int32_t step, playerSegment, playerPos;
        bool targeted;
        std::int32_t segment, position, lateral, lap;
        bool active, targetKept;
    };
    const Case cases[] = {
        {"before the guide aims: untouched", 3, 10, 300, false, 20, 100, 250, 1, true, false},
        {"ahead of the player at step 4", 4, 10, 300, false, 16, 300, -150, 1, true, false},
        {"ahead, wrapped over the ring", 5, 37, 300, false, 3, 300, -150, 1, true, false},
        {"behind the player as its target", 5, 10, 300, true, 7, 812, 0, 2, true, true},
        {"behind, carried into the next segment", 6, 10, 700, true, 8, 188, 0, 2, true, true},
        {"behind, wrapped: the lap stays", 6, 1, 300, true, 38, 812, 0, 1, true, true},
        {"past aiming: off the track", 7, 10, 300, true, 20, 100, 250, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::stateStatics().s_gameMode = game::GameMode::Guided;
        game::eventGoalStatics().s_guideStep = c.step;
        auto cars = field({{1, 20, 100, 250}, {2, c.playerSegment, c.playerPos, -150}}, 1);
        cEntity* car = cars[0];
        cEntity* p = cars[1];
        p->m_speed = kmhToSpeed(120);
        p->m_hasTarget = c.targeted ? 1 : 0;
        p->m_targetRacer = c.targeted ? car->m_racerIndex : -1;
        EXPECT_EQ(game::placeGuidedCar(car), !c.active);
        EXPECT_EQ(car->m_segment, c.segment);
        EXPECT_EQ(car->m_segmentPos, c.position);
        EXPECT_EQ(car->m_lateral, c.lateral);
        EXPECT_EQ(car->m_lap, c.lap);
        EXPECT_EQ(car->m_active, c.active ? 1 : 0);
        EXPECT_EQ(p->m_hasTarget, c.targetKept ? 1 : 0);
        if (c.targetKept) {
            EXPECT_EQ(car->m_speed, p->m_speed);
        }
        EXPECT_EQ(p->m_targetTime, c.step > 6 && c.targeted ? 100 << 12 : 0);
    }
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    game::eventGoalStatics().s_guideStep = 0;
}

} // namespace
