// The race state that changes as the cars are shown: the fall of the
// player's car and its return, the rising marker, the body animation
// counters and ghost phases, and the cars the scene leaves out.

#include "game/race/CarViewPass.h"
#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/RaceState.h"
#include "tests/game/race/DrivingFixture.h"

namespace {

using race_testing::DrivingTest;

struct CarViewPassTest : DrivingTest {
    CarViewPassTest() { game::raceStatics().s_racers = rt::newObjectArray(0); }
    ~CarViewPassTest() override { game::racerStatics().s_playerCar = nullptr; }

    // One frame of a race: the physics step, then the view pass around the
    // painter.
    static void frame(game::cEntity* car) {
        game::updatePhysics(car, 205, 0);
        game::prepareEntityPaint(car, 320);
        game::finishEntityPaint(car);
    }
};

TEST_F(CarViewPassTest, AFallOffADropOffIsBackOnTheRoadAfterTwentyPaintedFrames) {
    datakit::TrackRing ring;
    ring.straight(4).surface(datakit::kSurfaceGap, 2).straight(10);
    loadRing(ring);
    for (std::int32_t side : {-1, 1}) {
        game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
        game::racerStatics().s_playerCar = car;
        car->m_segment = 3;
        car->m_segmentPos = 900;
        car->m_lateral = 300 * side;
        car->m_speed = car->m_maxSpeed = game::kmhToSpeed(60);
        // Frames painted with the car down: the one it fell in and those after.
        int painted = 0;
        std::int32_t back = 0;
        for (int i = 0; i < 200 && (painted == 0 || car->m_fallen); ++i) {
            game::updatePhysics(car, 205, 0);
            if (car->m_fallen) {
                back = car->m_fallLateral;
                ++painted;
            }
            game::prepareEntityPaint(car, 320);
            game::finishEntityPaint(car);
        }
        EXPECT_EQ(back, 1200 * side);
        // Back on the first segment past the gap, where the fall chose, and
        // lifted to the centre line from there.
        EXPECT_EQ(painted, game::kFallFrames) << side;
        EXPECT_EQ(car->m_segment, 6);
        EXPECT_EQ(car->m_lateral, back);
        EXPECT_EQ(car->m_speed, 0);
        EXPECT_EQ(car->m_onPath, 1);
        for (int i = 0; i < 200 && car->m_onPath; ++i)
            frame(car);
        EXPECT_EQ(car->m_onPath, 0);
        EXPECT_EQ(car->m_lateral, 0);
        EXPECT_NE(game::segmentSurface(car->m_segment), game::kSurfaceGap);
    }
}

TEST_F(CarViewPassTest, ACarOnARingOfGapsStaysDownWithOneLogLine) {
    datakit::TrackRing ring;
    ring.surface(datakit::kSurfaceGap, 6);
    loadRing(ring);
    game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
    game::racerStatics().s_playerCar = car;
    game::startFall(car);
    log.clear();
    for (int i = 0; i < 40; ++i) {
        game::prepareEntityPaint(car, 320);
        game::finishEntityPaint(car);
    }
    EXPECT_EQ(car->m_fallen, 1);
    EXPECT_EQ(car->m_segment, 0);
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(CarViewPassTest, TheMarkerRisesOnlyAfterThePathBackEnds) {
    datakit::TrackRing ring;
    ring.straight(10);
    loadRing(ring);
    game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
    game::racerStatics().s_playerCar = car;
    struct Case {
        std::int8_t fallen, onPath, hidden;
        std::int32_t start, after;
    };
    const Case cases[] = {
        {0, 0, 0, 77, 61}, {0, 0, 0, 10, -6},     {0, 0, 0, 0, 0},   {0, 0, 0, -1200, -1200},
        {0, 1, 0, 77, 77}, {1, 0, 0, 1200, 1200}, {0, 0, 1, 77, 77},
    };
    for (const Case& c : cases) {
        car->m_fallen = c.fallen;
        car->m_fallStep = 1;
        car->m_onPath = c.onPath;
        car->m_fallLateral = c.start;
        game::carViewStatics().s_hidePlayerCar = c.hidden;
        game::prepareEntityPaint(car, 320);
        game::finishEntityPaint(car);
        EXPECT_EQ(car->m_fallLateral, c.after)
            << c.start << " " << int{c.fallen} << int{c.onPath} << int{c.hidden};
    }
}

TEST_F(CarViewPassTest, AComputerCarsCountersAndStateAnimationPhases) {
    datakit::TrackRing ring;
    ring.straight(10);
    loadRing(ring);
    game::cEntity* car = makeCar(1, {0, 60, 120}, 6144);
    auto counters = [&](int frames) {
        std::vector<std::int32_t> seen;
        for (int i = 0; i < frames; ++i) {
            game::prepareEntityPaint(car, 320);
            seen.push_back(car->m_animCounter);
        }
        return seen;
    };
    car->m_effect = game::CarEffect::Shake;
    EXPECT_EQ(counters(6), (std::vector<std::int32_t>{1, 2, 3, 0, 1, 2}));
    car->m_effect = game::CarEffect::Spin;
    car->m_spinning = 1;
    car->m_animCounter = 3;
    EXPECT_EQ(counters(4), (std::vector<std::int32_t>{4, 5, 0, 1}));
    car->m_effect = game::CarEffect::None;
    car->m_state = game::CarState::Strike;
    EXPECT_EQ(counters(2), (std::vector<std::int32_t>{1, 1}));
    car->m_state = game::CarState::Normal;
    EXPECT_EQ(counters(1), (std::vector<std::int32_t>{0}));

    // State 32: phase 0 counts up to the frame count, phase 1 runs modulo
    // its modulo until 0.6 s are left, phase 2 runs the frames again and
    // ends the state.
    car->m_state = game::CarState::Ghost;
    car->m_stateTimer = 8192;
    car->m_animFrameCount = 3;
    car->m_animFrameModulo = 2;
    EXPECT_EQ(counters(3), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(car->m_stateAnim, 1);
    EXPECT_EQ(counters(3), (std::vector<std::int32_t>{0, 1, 0}));
    car->m_stateTimer = 2456;
    EXPECT_EQ(counters(1), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(car->m_stateAnim, 2);
    EXPECT_EQ(counters(2), (std::vector<std::int32_t>{2, 3}));
    EXPECT_EQ(car->m_state, game::CarState::Normal);
    EXPECT_EQ(car->m_stateAnim, 0);
    EXPECT_EQ(car->m_stateTimer, 0);

    // A modulo of 0 holds the counter at 0 rather than dividing by it.
    car->m_state = game::CarState::Ghost;
    car->m_stateAnim = 1;
    car->m_stateTimer = 8192;
    car->m_animFrameModulo = 0;
    EXPECT_EQ(counters(2), (std::vector<std::int32_t>{0, 0}));
}

TEST_F(CarViewPassTest, ACarLeftOutOfTheFrameChangesNothingButTheTargetIsHeldAtTheCentre) {
    datakit::TrackRing ring;
    ring.straight(2).left(90, 4).straight(4);
    loadRing(ring);
    game::cEntity* player = makeCar(0, {0, 60, 120}, 6144);
    game::racerStatics().s_playerCar = player;
    game::cEntity* car = makeCar(1, {0, 60, 120}, 6144);
    car->m_racerIndex = 3;
    car->m_segment = 3;
    car->m_roadSlice = -1;
    car->m_effect = game::CarEffect::Shake;
    car->m_fallLateral = 50;
    car->m_screenX = 17;
    ASSERT_TRUE(game::isCarOutOfView(car));
    game::prepareEntityPaint(car, 320);
    game::finishEntityPaint(car);
    EXPECT_EQ(car->m_animCounter, 0);
    EXPECT_EQ(car->m_fallLateral, 50);
    EXPECT_EQ(car->m_screenX, 17);
    player->m_hasTarget = 1;
    player->m_targetRacer = 3;
    game::prepareEntityPaint(car, 320);
    EXPECT_EQ(car->m_screenX, 320);
    // In a slice, or on the straight, it is shown.
    car->m_roadSlice = 2;
    EXPECT_FALSE(game::isCarOutOfView(car));
    car->m_roadSlice = -1;
    car->m_segment = 0;
    EXPECT_FALSE(game::isCarOutOfView(car));
    car->m_segment = 3;
    car->m_airborne = 1;
    EXPECT_FALSE(game::isCarOutOfView(car));
}

TEST_F(CarViewPassTest, ThePlayersSteeringJumpAndStateAnimationEnd) {
    datakit::TrackRing ring;
    ring.straight(10);
    loadRing(ring);
    game::cEntity* car = makeCar(0, {0, 60, 120}, 6144);
    game::racerStatics().s_playerCar = car;
    game::DrivingStatics& d = game::drivingStatics();
    struct Case {
        std::int32_t prev, now, after;
    };
    for (const Case& c : {Case{-1, 1, 0}, Case{1, -1, 0}, Case{0, 1, 1}, Case{-2, -1, -1}, Case{2, 1, 1}}) {
        d.s_prevSteerInput = c.prev;
        d.s_steerInput = c.now;
        game::prepareEntityPaint(car, 320);
        EXPECT_EQ(d.s_steerInput, c.after) << c.prev << " " << c.now;
    }
    car->m_state = game::CarState::Ghost;
    car->m_stateTimer = 8192;
    car->m_animFrameCount = 4;
    car->m_animFrameModulo = 3;
    d.s_steerInput2 = 4;
    game::prepareEntityPaint(car, 320);
    EXPECT_EQ(car->m_stateAnim, 1);
    EXPECT_EQ(d.s_steerInput2, 0);
    d.s_steerInput2 = 5;
    game::prepareEntityPaint(car, 320);
    EXPECT_EQ(d.s_steerInput2, 2);
    car->m_stateTimer = 100;
    game::prepareEntityPaint(car, 320);
    EXPECT_EQ(car->m_stateAnim, 2);
    d.s_steerInput2 = 4;
    game::prepareEntityPaint(car, 320);
    EXPECT_EQ(car->m_state, game::CarState::Normal);
    EXPECT_EQ(car->m_stateAnim, 0);
    EXPECT_EQ(car->m_stateTimer, 0);
    EXPECT_EQ(d.s_steerInput2, 0);
}

} // namespace
