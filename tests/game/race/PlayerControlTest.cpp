// The player's hands on the car: which keys count when, the shift key's
// hop, the automatic gearbox and the speed it drives towards, the steering
// slow-down, the steering frame, the settle after a side contact, the aim
// at the car behind, and the drive by itself after the finish.

#include "game/race/PlayerControl.h"
#include "game/framework/Keys.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceFrame.h"
#include "game/race/TrackGeometry.h"
#include "tests/game/race/DrivingFixture.h"

namespace {

using race_testing::DrivingTest;

struct PlayerControlTest : DrivingTest {
    PlayerControlTest() {
        datakit::TrackRing ring;
        ring.straight(10).left(45, 3).straight(10);
        loadRing(ring);
        game::raceStatics().s_racers = rt::newObjectArray(0);
    }
    ~PlayerControlTest() override { game::raceStatics().s_raceFinished = 0; }

    static game::cEntity* car() {
        game::cEntity* c = makeCar(0, {0, 60, 120, 180, 240}, 6144);
        c->m_gear = 2;
        c->m_speed = game::kmhToSpeed(90);
        return c;
    }
};

TEST_F(PlayerControlTest, KeysCountOnlyWhenTheCarCanTakeThem) {
    struct Case {
        const char* what;
        std::initializer_list<std::int32_t> held;
        game::CarState state;
        std::int32_t landLock, height;
        bool finished;
        std::int32_t wantDir, wantDriveMode;
    };
    using enum game::CarState;
    const Case cases[] = {
        {"left", {3}, Normal, 0, 0, false, -1, 2},
        {"right (second key)", {12}, Normal, 0, 0, false, 1, 2},
        {"swapped keys: left for right", {3}, Swapped, 0, 0, false, 1, 2},
        {"swapped keys: right for left", {4}, Swapped, 0, 0, false, -1, 2},
        {"brake", {16}, Normal, 0, 0, false, 0, 1},
        {"land lock", {3, 16}, Normal, 1, 0, false, 0, 2},
        {"after the finish", {4, 16}, Normal, 0, 0, true, 0, 2},
        {"braking in the air", {16}, Normal, 0, 50, false, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::cEntity* p = car();
        p->m_state = c.state;
        p->m_landLock = c.landLock;
        p->m_height = c.height;
        p->m_driveMode = 2;
        game::raceStatics().s_raceFinished = c.finished ? 1 : 0;
        keys(c.held, {});
        game::readPlayerInput(p, 100);
        EXPECT_EQ(p->m_steerDir, c.wantDir);
        EXPECT_EQ(p->m_driveMode, c.wantDriveMode);
        EXPECT_EQ(p->m_steerAmount == 0, c.wantDir == 0);
    }
}

TEST_F(PlayerControlTest, TheShiftKeyHopsAndShiftsOnlyPastTheShiftPoint) {
    struct Case {
        std::int32_t gear, kmh;
        std::int32_t wantGear;
    };
    // Gear 2 spans 60..120 km/h, its up point at 85 %: 111 km/h.
    const Case cases[] = {{2, 100, 2}, {2, 112, 3}, {4, 240, 4}};
    for (const Case& c : cases) {
        game::cEntity* p = car();
        p->m_gear = c.gear;
        p->m_speed = game::kmhToSpeed(c.kmh);
        keys({}, {6});
        game::readPlayerInput(p, 100);
        EXPECT_EQ(p->m_gear, c.wantGear) << c.kmh;
        EXPECT_EQ(p->m_jumpKind, game::kJumpHop) << c.kmh;
    }
    EXPECT_EQ(game::getShiftPoint(car(), 2, true),
              game::kmhToSpeed(60) + (game::kmhToSpeed(120) - game::kmhToSpeed(60)) * 85 / 100);
}

TEST_F(PlayerControlTest, TheGearboxFollowsTheSpeedSteps) {
    struct Case {
        std::int32_t fromGear, kmh;
        std::int32_t wantGear, wantShiftTimer;
    };
    const Case cases[] = {{3, 0, 1, -1},   {1, 59, 1, -1},  {1, 60, 2, 0}, {1, 200, 4, 0},
                          {4, 130, 3, -1}, {4, 400, 4, -1}, {0, 10, 1, 0}, {3, 120, 3, -1}};
    for (const Case& c : cases) {
        game::cEntity* p = car();
        p->m_gear = c.fromGear;
        p->m_speed = game::kmhToSpeed(c.kmh);
        game::drivingStatics().s_shiftTimer = -1;
        game::updateGear(p, true);
        EXPECT_EQ(p->m_gear, c.wantGear) << c.fromGear << " at " << c.kmh;
        EXPECT_EQ(game::drivingStatics().s_playerGear, c.wantGear);
        EXPECT_EQ(game::drivingStatics().s_shiftTimer, c.wantShiftTimer) << c.fromGear << " at " << c.kmh;
    }
}

TEST_F(PlayerControlTest, TheGearTargetDropsOffTheRoadAndRisesInTheSlipstream) {
    struct Case {
        const char* what;
        std::int32_t gear, offRoad;
        bool slipstream;
        std::int32_t want;
    };
    const std::int32_t v2 = game::kmhToSpeed(120), v4 = game::kmhToSpeed(240);
    const Case cases[] = {
        {"on the road", 2, 0, false, v2},
        {"partly off (grass: 30 % off)", 2, 1, false, v2 * 70 / 100},
        {"fully off", 2, 2, false, v2 * 70 / 100},
        {"on a shoulder", 2, 3, false, v2},
        {"slipstream", 2, 0, true, v2 + (v2 >> 4)},
        {"top gear", 4, 0, false, v4},
    };
    for (const Case& c : cases) {
        game::cEntity* p = car();
        p->m_gear = c.gear;
        p->m_offRoad = c.offRoad;
        p->m_offRoadSide = 1;
        p->m_carFlags[3] = c.slipstream ? 1 : 0;
        EXPECT_EQ(game::getGearTargetSpeed(p), c.want) << c.what;
    }
}

TEST_F(PlayerControlTest, SteeringSlowsTheCarByTheAngle) {
    struct Case {
        std::int32_t angle, speedFactor, gainFactor, distanceFactor;
    };
    const Case cases[] = {{0, 4096, 4096, 4096},
                          {28, 4096, 4096, 4096},
                          {-29, 4096, 3686, 4096},
                          {113, 4096, 3686, 4096},
                          {170, 3686 + 57 * 410 / 342, 1228, 2867},
                          {455, 3686, 1228, 2867},
                          {-900, 3686, 1228, 2867}};
    for (const Case& c : cases) {
        game::cEntity* p = car();
        p->m_speed = game::kmhToSpeed(100);
        game::applySteerSlowdown(p, c.angle);
        const game::DrivingStatics& d = game::drivingStatics();
        EXPECT_EQ(d.s_steerSpeedFactor, c.speedFactor) << c.angle;
        EXPECT_EQ(d.s_playerGainFactor, c.gainFactor) << c.angle;
        EXPECT_EQ(d.s_distanceFactor, c.distanceFactor) << c.angle;
        // At most 2 km/h is lost in one call.
        std::int32_t drop = game::kmhToSpeed(100) - p->m_speed;
        EXPECT_LE(drop, game::kmhToSpeed(2)) << c.angle;
        EXPECT_EQ(drop == 0, c.speedFactor == 4096) << c.angle;
    }
}

TEST_F(PlayerControlTest, TheSteeringFrameFollowsTheBandsOneStepAtATime) {
    game::cEntity* p = car();
    p->m_steerDir = 1;
    p->m_segment = 11; // in the bend
    // The camera on the car's segment looks along the road there.
    game::CameraStatics& camera = game::cameraStatics();
    camera.s_cameraSegment = 11;
    game::DrivingStatics& d = game::drivingStatics();
    // A heading past the first threshold reaches frame 3 (the limit) one
    // step per update.
    p->m_smoothHeading = 200;
    p->m_speed = game::kmhToSpeed(50);
    std::vector<std::int32_t> frames;
    d.s_steerInput = 0;
    for (int i = 0; i < 4; ++i) {
        game::updateSteerFrame(p);
        frames.push_back(d.s_steerInput);
    }
    // At low speed the heading is held to band [1] (20 degrees): frame 3.
    EXPECT_EQ(frames, (std::vector<std::int32_t>{1, 2, 3, 3}));
    // The heading counts against the camera's: with the camera turned as
    // the car is, the frame falls back to the steering direction's.
    camera.s_cameraYaw = 200;
    for (std::int32_t want : {2, 1, 1}) {
        game::updateSteerFrame(p);
        EXPECT_EQ(d.s_steerInput, want);
    }
    camera.s_cameraYaw = 0;
    // Above 200 km/h band [3] (6 degrees) holds it to frame 2.
    p->m_speed = game::kmhToSpeed(210);
    game::updateSteerFrame(p);
    EXPECT_EQ(d.s_steerInput, 2);
    // On a straight any heading shows as the smallest frame, the steering
    // direction's.
    p->m_segment = camera.s_cameraSegment = 2;
    game::updateSteerFrame(p);
    EXPECT_EQ(d.s_steerInput, 1);
    // No steering: frame 0; a side contact: 4, reached one step at a time.
    p->m_steerDir = 0;
    game::updateSteerFrame(p);
    EXPECT_EQ(d.s_steerInput, 0);
    p->m_sideContact = -1;
    for (std::int32_t want : {-1, -2, -3, -4, -4}) {
        game::updateSteerFrame(p);
        EXPECT_EQ(d.s_steerInput, want);
    }
}

TEST_F(PlayerControlTest, TheSettleAfterASideContactLeansToTheContactsSide) {
    for (std::int32_t side : {-1, 1}) {
        SCOPED_TRACE(side);
        game::cEntity* p = car();
        p->m_contactActive = 1;
        p->m_sideContact = side;
        p->m_contactEnd = 1;
        game::updatePlayerCar(p, 100);
        EXPECT_EQ(p->m_sideContact, 0);
        EXPECT_EQ(p->m_contactSettle, 1);
        game::updateSteerFrame(p);
        EXPECT_EQ(game::drivingStatics().s_steerInput, 3 * side);
    }
}

TEST_F(PlayerControlTest, TheDownKeyAimsAtTheCarBehindExceptEarlyInTheGuidedRace) {
    struct Case {
        const char* what;
        game::GameMode mode;
        std::int32_t guideStep;
        bool aims;
    };
    const Case cases[] = {
        {"a lap race", game::GameMode::LapRace, 0, true},
        {"the guided race before its aiming step", game::GameMode::Guided, 5, false},
        {"the guided race at its aiming step", game::GameMode::Guided, 6, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        game::cEntity* p = car();
        game::cEntity* behind = car();
        behind->m_type = 1;
        behind->m_racerIndex = 4;
        behind->m_active = 1;
        game::raceStatics().s_racers = rt::newObjectArray(2);
        rt::ObjectArray::set(game::raceStatics().s_racers, 0, p);
        rt::ObjectArray::set(game::raceStatics().s_racers, 1, behind);
        p->m_racePosition = 0;
        p->m_heldItem = 4;
        game::stateStatics().s_gameMode = c.mode;
        game::eventGoalStatics().s_guideStep = c.guideStep;
        keys({game::kDownKey}, {});
        game::readPlayerInput(p, 100);
        EXPECT_EQ(p->m_hasTarget, c.aims ? 1 : 0);
        EXPECT_EQ(p->m_targetRacer, c.aims ? 4 : -1);
    }
    game::stateStatics().s_gameMode = game::GameMode::LapRace;
    game::eventGoalStatics().s_guideStep = 0;
    game::raceStatics().s_racers = rt::newObjectArray(0);
}

TEST_F(PlayerControlTest, AfterTheFinishTheCarSteersItselfToTheEdgeOffset) {
    datakit::TrackRing ring;
    ring.straight(20);
    loadRing(ring);
    game::cEntity* p = car();
    p->m_lateral = -400;
    p->m_speed = p->m_maxSpeed = game::kmhToSpeed(80);
    game::raceStatics().s_raceFinished = 1;
    keys({3, 16}, {6});
    const std::int32_t edge = game::getRoadEdgeOffset(p);
    EXPECT_EQ(edge, 1000 - 2 * 150);
    game::updatePlayerCar(p, 100);
    EXPECT_GT(p->m_lateral, -400);
    EXPECT_EQ(p->m_jumpKind, 0);
    for (int i = 0; i < 400; ++i)
        game::updatePlayerCar(p, 100);
    // The heading rounds to 0 units within about half-width / 45 x 2 of it.
    EXPECT_NEAR(p->m_lateral, edge, 50);
    EXPECT_LE(p->m_lateral, edge);
}

} // namespace
