// The car's motion step: gear times on a flat road, the smallest step,
// landings and bounces, falls off a gap and the lift back, the ramp, laps
// across the ring's ends, the walls, the nitro, and the faults decided for
// the rates and the tables.

#include "game/race/CarPhysics.h"
#include "game/framework/States.h"
#include "game/race/EntityEffects.h"
#include "game/race/RaceEntity.h"
#include "tests/game/race/DrivingFixture.h"

#include <cmath>

namespace {

using race_testing::DrivingTest;

struct CarPhysicsTest : DrivingTest {
    CarPhysicsTest() {
        datakit::TrackRing ring;
        ring.straight(40);
        loadRing(ring);
        game::raceStatics().s_racers = rt::newObjectArray(0);
    }
    ~CarPhysicsTest() override { game::stateStatics().s_state = game::State{}; }
};

TEST_F(CarPhysicsTest, EachGearSpanTakesItsGearTimeOnAFlatRoad) {
    game::cEntity* car = makeCar(0, {0, 60, 120, 180, 240}, 6144); // 1.5 s a gear
    std::int32_t time = 0;
    std::int32_t reached[5] = {};
    for (int step = 0; step < 200 && car->m_speed < rt::IntArray::get(car->m_stats, 4); ++step) {
        // The automatic box of the fixture: the next gear at the top of this one.
        if (car->m_speed >= rt::IntArray::get(car->m_stats, car->m_gear) && car->m_gear < 4)
            ++car->m_gear;
        car->m_maxSpeed = rt::IntArray::get(car->m_stats, car->m_gear);
        game::updatePhysics(car, 205, 0);
        time += 205;
        for (int g = 1; g <= 4; ++g)
            if (!reached[g] && car->m_speed >= rt::IntArray::get(car->m_stats, g))
                reached[g] = time;
    }
    for (int g = 1; g <= 4; ++g) {
        const double predicted = 1.5 * g;
        EXPECT_NEAR(reached[g] / 4096.0, predicted, 0.1 * predicted) << "step " << g;
    }
    EXPECT_EQ(car->m_lateral, 0);
    EXPECT_GT(car->m_segment + 40 * (car->m_lap - 1), 10);
}

TEST_F(CarPhysicsTest, AStepOfZeroMovesAsAStepOfOne) {
    game::cEntity* a = makeCar(0, {0, 60, 120}, 6144);
    game::cEntity* b = makeCar(0, {0, 60, 120}, 6144);
    for (game::cEntity* car : {a, b}) {
        car->m_speed = game::kmhToSpeed(50);
        car->m_maxSpeed = game::kmhToSpeed(60);
    }
    game::updatePhysics(a, 0, 0);
    game::updatePhysics(b, 1, 0);
    EXPECT_GT(a->m_speed, game::kmhToSpeed(50));
    EXPECT_EQ(a->m_speed, b->m_speed);
    EXPECT_EQ(a->m_segmentPos, b->m_segmentPos);
}

TEST_F(CarPhysicsTest, AHardLandingBouncesOnceWithAThird) {
    struct Case {
        std::int32_t landingSpeed; // units per second, downwards negative
        bool bounces;
    };
    for (Case c : {Case{-1300, true}, Case{-1100, false}, Case{-1201, true}, Case{-1200, false}}) {
        game::cEntity* car = makeCar(1, {0, 60, 120}, 6144);
        car->m_height = 20;
        car->m_airborne = 1;
        car->m_jumpKind = game::kJumpRamp;
        const std::int32_t dt = 409;
        // The speed the step lands with is the one after this step's gravity.
        car->m_vSpeed = (c.landingSpeed << 12) + 2200 * dt;
        game::updatePhysics(car, dt, 0);
        SCOPED_TRACE(c.landingSpeed);
        EXPECT_EQ(car->m_landed, 1);
        if (!c.bounces) {
            EXPECT_EQ(car->m_height, 0);
            EXPECT_EQ(car->m_vSpeed, 0);
            continue;
        }
        EXPECT_EQ(car->m_height, 1);
        EXPECT_EQ(car->m_vSpeed, -(c.landingSpeed << 12) / 3);
        int landings = 0;
        for (int step = 0; step < 40 && (car->m_height > 0 || landings == 0); ++step) {
            game::updatePhysics(car, dt, 0);
            landings += car->m_landed;
        }
        EXPECT_EQ(landings, 1);
        EXPECT_EQ(car->m_height, 0);
        EXPECT_EQ(car->m_vSpeed, 0);
    }
}

TEST_F(CarPhysicsTest, AGapDropsTheCarAndThePathLiftsItBackToTheCentre) {
    datakit::TrackRing ring;
    ring.straight(4).surface(datakit::kSurfaceGap, 2).straight(4);
    loadRing(ring);
    for (std::int32_t side : {-1, 1}) {
        game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
        car->m_segment = 4;
        car->m_lateral = 300 * side;
        car->m_collected = 3;
        car->m_state = game::CarState::Nitro;
        game::updatePhysics(car, 100, 0);
        ASSERT_EQ(car->m_fallen, 1);
        EXPECT_EQ(car->m_fallLateral, 1200 * side);
        EXPECT_EQ(car->m_collected, 0);
        EXPECT_EQ(car->m_state, game::CarState::Normal);
        // A fallen car stands still.
        std::int32_t pos = car->m_segmentPos;
        game::updatePhysics(car, 409, 0);
        EXPECT_EQ(car->m_segmentPos, pos);

        car->m_fallen = 0;
        car->m_onPath = 1;
        car->m_height = 0;
        car->m_screenY = 77;
        int steps = 0;
        while (car->m_height < game::kPathHeight) {
            game::updatePhysics(car, 409, 0);
            ++steps;
        }
        EXPECT_EQ(steps, 6);
        std::int32_t lateral = car->m_lateral;
        game::updatePhysics(car, 409, 0);
        EXPECT_EQ(car->m_lateral, lateral - 48 * side);
        while (car->m_onPath && steps < 100) {
            game::updatePhysics(car, 409, 0);
            ++steps;
        }
        EXPECT_EQ(car->m_onPath, 0);
        EXPECT_EQ(car->m_lateral, 0);
        EXPECT_EQ(car->m_fallLateral, 77);
    }
}

TEST_F(CarPhysicsTest, ARampLaunchesAndAGapLandingIsAFall) {
    datakit::TrackRing ring;
    ring.straight(3).surface(datakit::kSurfaceRamp, 1).surface(datakit::kSurfaceGap, 1).straight(30);
    loadRing(ring);
    game::cEntity* car = makeCar(1, {0, 60, 120}, 6144);
    car->m_segment = 2;
    car->m_speed = car->m_maxSpeed = game::kmhToSpeed(60);
    game::updatePhysics(car, 100, 0);
    EXPECT_EQ(car->m_jumpKind, game::kJumpRamp);
    EXPECT_EQ(car->m_airborne, 1);
    EXPECT_EQ(car->m_vSpeed, 768 << 12);
    EXPECT_GT(car->m_height, 0);
    // Up at 768 against a gravity of 2200: 0.7 s in the air; it comes down
    // on the gap and falls.
    int steps = 1;
    while (car->m_height > 0 && steps < 50) {
        car->m_segment = 4;
        game::updatePhysics(car, 100, 0);
        ++steps;
    }
    EXPECT_NEAR(steps * 100 / 4096.0, 2 * 768 / 2200.0, 0.1);
    EXPECT_EQ(car->m_fallen, 1);
}

TEST_F(CarPhysicsTest, LapsCountAcrossTheRingsEndBothWays) {
    struct Case {
        std::int32_t segment, pos, dDistance;
        std::int32_t wantSegment, wantLap;
    };
    const Case cases[] = {
        {39, 1000, 100, 0, 3}, {0, 20, -100, 39, 1}, {20, 0, 3000, 22, 2}, {1, 5, -2000, 39, 1}};
    for (const Case& c : cases) {
        game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
        car->m_lap = 2;
        game::applyPlaneMove(car, c.segment, 0, c.pos, 0, c.dDistance);
        EXPECT_EQ(car->m_segment, c.wantSegment) << c.segment << " by " << c.dDistance;
        EXPECT_EQ(car->m_lap, c.wantLap) << c.segment << " by " << c.dDistance;
    }
}

TEST_F(CarPhysicsTest, APlaneMoveAndItsReverseGiveTheHeadingBack) {
    datakit::TrackRing ring;
    ring.straight(2).left(30, 2).right(30, 2).straight(2);
    loadRing(ring);
    game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
    car->m_heading = car->m_smoothHeading = 10;
    // From segment 1 into segment 3: the curvature of 2 and 3 (twice 85) is
    // added; going back to segment 1 or 0 takes off each segment's left.
    game::applyPlaneMove(car, 1, 0, 900, 0, 1200);
    ASSERT_EQ(car->m_segment, 3);
    EXPECT_EQ(car->m_heading, 10 + 2 * 85);
    game::applyPlaneMove(car, car->m_segment, car->m_lateral, car->m_segmentPos, 0, -2200);
    ASSERT_LE(car->m_segment, 1);
    EXPECT_EQ(car->m_heading, 10);
}

TEST_F(CarPhysicsTest, AWallTurnsTheCarBackByItsSpeed) {
    const game::DrivingStatics& d = game::drivingStatics();
    struct Case {
        std::int32_t kmh, side, want;
    };
    const Case cases[] = {{40, 1, -d.s_wallAngleSlow},
                          {200, -1, d.s_wallAngleFast},
                          {120, 1,
                           -(d.s_wallAngleSlow + (d.s_wallAngleFast - d.s_wallAngleSlow) *
                                                     (game::kmhToSpeed(120) - d.s_wallSpeedLow) /
                                                     (d.s_wallSpeedHigh - d.s_wallSpeedLow))}};
    for (const Case& c : cases) {
        game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
        car->m_speed = game::kmhToSpeed(c.kmh);
        game::applyPlaneMove(car, 5, 1300 * c.side, 0, 400 * c.side, 50);
        EXPECT_EQ(car->m_lateral, 1400 * c.side);
        EXPECT_EQ(car->m_heading, c.want) << c.kmh;
        EXPECT_EQ(car->m_smoothHeading, c.want >> 1);
    }
}

TEST_F(CarPhysicsTest, TheNitroSpendsEveryCollectedObject) {
    game::stateStatics().s_state = game::State::Race;
    game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
    car->m_collected = 3;
    car->m_speed = car->m_maxSpeed = game::kmhToSpeed(100);
    keys({8}, {});
    game::updatePhysics(car, 100, 0);
    const std::int32_t n = game::itemValue(0, 2, 1);
    EXPECT_EQ(car->m_collected, 0);
    EXPECT_EQ(car->m_state, game::CarState::Nitro);
    EXPECT_EQ(car->m_stateTimer, 3 * n * 9830 / 10 - 100);
    EXPECT_EQ(car->m_boostTimer, 3 * n * 9830 / 10 - 100);
    EXPECT_GE(car->m_speed, game::kmhToSpeed(100) * 115 / 100);
    // The player's flash lasts half of the one impact time (0.4 s).
    EXPECT_EQ(game::drivingStatics().s_hudFlashDuration, 1638);
}

TEST_F(CarPhysicsTest, RatesAndTablesStayDefinedWhateverTheDataSays) {
    game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
    rt::IntArray::set(car->m_gearTable, 1, 0);
    EXPECT_EQ(game::getAcceleration(car), 1); // t x g of 0
    // Past the gears the last one's values are read: no span left, rate 1.
    car->m_gear = 9;
    EXPECT_EQ(game::getAcceleration(car), 1);
    game::DrivingStatics& d = game::drivingStatics();
    const std::int32_t high = d.s_wallSpeedHigh;
    d.s_wallSpeedHigh = d.s_wallSpeedLow;
    car->m_speed = d.s_wallSpeedLow;
    EXPECT_EQ(game::getWallAngle(car), d.s_wallAngleSlow);
    d.s_wallSpeedHigh = high;
    EXPECT_EQ(game::easeInRange(5, 10, 10, 2000), 4096);
    EXPECT_EQ(game::easeInRange(0, 0, 100, 2000), 4096 - 2000);
    EXPECT_EQ(game::easeInRange(100, 0, 100, 2000), 4096);
    EXPECT_EQ(game::surfaceValue(99, game::kSurfaceGripColumn),
              game::surfaceValue(6, game::kSurfaceGripColumn));
    EXPECT_EQ(game::itemValue(17, 40, 9), game::itemValue(5, 13, 2));
}

} // namespace
