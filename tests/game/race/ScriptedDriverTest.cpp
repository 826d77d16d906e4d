// A whole race of the player's car round a datakit track with bends both
// ways, a crest and a ramp, driven by a script that presses only the
// game's steer, brake and shift keys, deciding each frame from the car's
// lateral position and heading; the same run without steering; and two
// runs that must agree in every frame.

#include "game/race/CarPhysics.h"
#include "game/race/PlayerControl.h"
#include "game/race/RaceEntity.h"
#include "game/race/ScreenShake.h"
#include "game/race/StartSequence.h"
#include "tests/game/race/DrivingFixture.h"

#include <string>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace scripted_driver_test {

namespace {

using race_testing::DrivingTest;

constexpr std::int32_t kFrame = 409; // 0.1 s
constexpr std::int32_t kLaps = 3;

datakit::TrackRing raceTrack() {
    datakit::TrackRing ring;
    ring.straight(8).right(90, 6).straight(4).slope(5, 3).slope(-5, 3).straight(4).left(60, 4).straight(3);
    ring.ramp().straight(4).right(45, 3).left(45, 3).straight(6);
    return ring;
}

struct Frame {
    std::int32_t segment, lateral, position, lap, speed, heading, height, gear;
    bool operator==(const Frame&) const = default;
};

struct DriveLog {
    std::vector<Frame> frames;
    int offRoadFrames = 0;
    bool metWall = false;
    int finishedAt = -1; // frame
};

struct ScriptedDriverTest : DrivingTest {
    ScriptedDriverTest() { loadRing(raceTrack()); }

    static game::cEntity* startRace() {
        game::drivingStatics() = game::DrivingStatics{};
        game::initDrivingTables();
        game::shakeStatics() = game::ShakeStatics{};
        game::startSequenceStatics() = game::StartSequenceStatics{};
        game::cEntity* car = makeCar(0, {0, 60, 120, 180, 240}, 6144);
        car->m_defValues[1] = 120000;
        car->m_active = 1;
        game::raceStatics().s_racers = rt::newObjectArray(1);
        rt::ObjectArray::set(game::raceStatics().s_racers, 0, car);
        game::raceStatics().s_laps = kLaps;
        game::racerStatics().s_playerCar = car;
        return car;
    }

    static DriveLog drive(bool steer, int maxFrames) {
        game::cEntity* car = startRace();
        DriveLog run;
        for (int f = 0; f < maxFrames; ++f) {
            if (steer)
                steerScript(car);
            else
                keys({}, {});
            game::updateRaceEntity(car, kFrame);
            run.frames.push_back({car->m_segment, car->m_lateral, car->m_segmentPos, car->m_lap, car->m_speed,
                                  car->m_heading, car->m_height, car->m_gear});
            if (car->m_offRoad == 1 || car->m_offRoad == 2)
                ++run.offRoadFrames;
            if (car->m_lateral == game::trackStatics().s_roadHalfWidth + game::trackStatics().s_roadMargin ||
                -car->m_lateral == game::trackStatics().s_roadHalfWidth + game::trackStatics().s_roadMargin)
                run.metWall = true;
            if (car->m_lap > kLaps) {
                run.finishedAt = f + 1;
                break;
            }
        }
        return run;
    }
};

TEST_F(ScriptedDriverTest, TheScriptFinishesThreeLapsOnTheRoadInTime) {
    DriveLog run = drive(true, 3000);
    ASSERT_GT(run.finishedAt, 0) << "at lap " << run.frames.back().lap << " segment "
                                 << run.frames.back().segment;
    const double seconds = run.finishedAt * kFrame / 4096.0;
    // Three laps at the top speed of 240 km/h (6826 units a second) are the
    // floor; the gears, the braking for the bends and the air time cost at
    // most as much again.
    const double lap = game::trackStatics().s_segmentCount * 1024.0;
    const double fastest = kLaps * lap / (game::scaleProduct(game::kmhToSpeed(240), 4096));
    EXPECT_GT(seconds, fastest);
    EXPECT_LT(seconds, 2 * fastest);
    EXPECT_LT(run.offRoadFrames * 20, run.finishedAt) << run.offRoadFrames << " of " << run.finishedAt;
    EXPECT_FALSE(run.metWall);
    RecordProperty("seconds", std::to_string(seconds));
    RecordProperty("offRoadFrames", std::to_string(run.offRoadFrames));
    int airborne = 0;
    for (const Frame& f : run.frames)
        airborne += f.height > 0;
    EXPECT_GT(airborne, 0); // the ramp and the crest launched it
}

TEST_F(ScriptedDriverTest, WithoutSteeringTheCarLeavesTheRoadInTheFirstBend) {
    // The first bend spans segments 8 to 13; the run ends as it leaves it.
    DriveLog run = drive(false, 400);
    bool left = false;
    for (std::size_t f = 0; f < run.frames.size() && run.frames[f].segment <= 14 && run.frames[f].lap == 1;
         ++f)
        left = left || run.frames[f].lateral > 1000 || run.frames[f].lateral < -1000;
    EXPECT_TRUE(left);
}

TEST_F(ScriptedDriverTest, TwoRunsAgreeInEveryFrame) {
    DriveLog a = drive(true, 600);
    DriveLog b = drive(true, 600);
    ASSERT_EQ(a.frames.size(), b.frames.size());
    for (std::size_t f = 0; f < a.frames.size(); ++f)
        ASSERT_EQ(a.frames[f], b.frames[f]) << "frame " << f;
}

} // namespace

} // namespace scripted_driver_test
