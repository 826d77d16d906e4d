// The race-state hash: it sees a change anywhere the simulation keeps
// state, and two 5000-step races from one seed (frames of 30 to 54 ms)
// agree on it after every step while another seed does not; the race's
// paint message leaves the race as it found it.

#include "game/race/RaceHash.h"
#include "classlib/util/Random.h"
#include "game/Game.h"
#include "game/data/EventSlots.h"
#include "game/data/SaveRecords.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/race/ComputerDriver.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceSeams.h"
#include "game/race/RaceState.h"
#include "game/race/RaceView.h"
#include "game/race/ScreenShake.h"
#include "game/race/TrackData.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "tests/game/race/OpponentsFixture.h"
#include "tests/game/race/RacePaintMessage.h"
#include "tests/support/BuildPaths.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using race_testing::deviceClock;

struct RaceHashTest : race_testing::WholeRaceTest {
    // A test may replace the race's painter.
    ~RaceHashTest() override { game::registerGame(); }

    static std::vector<game::cEntity*> startRace(std::int64_t seed) {
        return WholeRaceTest::startRace(seed, 215);
    }
    // One frame of `ms`, the player's car driven by the steering script.
    static void frame(const game::cEntity* player, std::int32_t ms) {
        steerScript(player);
        deviceClock().advance(static_cast<std::uint32_t>(ms));
        game::loopStatics().s_frameMs = ms;
    }
    static std::vector<std::uint64_t> run(std::int64_t seed, int steps) {
        const game::cEntity* player = startRace(seed).back();
        std::vector<std::uint64_t> hashes;
        for (int n = 0; n < steps; ++n) {
            frame(player, 30 + n % 25);
            game::updateRace();
            hashes.push_back(game::raceStateHash());
        }
        return hashes;
    }
};

TEST_F(RaceHashTest, TwoRacesFromOneSeedAgreeAfterEveryStepAndAnotherSeedDoesNot) {
    const std::vector<std::uint64_t> first = run(1234, 5000);
    // The race was run: it finished and the ranking moved.
    EXPECT_EQ(game::raceStatics().s_raceFinished, 1);
    EXPECT_GT(game::racerAt(0)->m_lap, 3);
    const std::vector<std::uint64_t> second = run(1234, 5000);
    for (std::size_t i = 0; i < first.size(); ++i)
        ASSERT_EQ(first[i], second[i]) << "step " << i;
    const std::vector<std::uint64_t> other = run(4321, 5000);
    EXPECT_NE(other.front(), first.front());
    EXPECT_NE(other.back(), first.back());
}

TEST_F(RaceHashTest, AnyChangeOfTheRaceStateChangesTheHash) {
    startRace(5);
    game::racerAt(0)->m_routeBlocker = game::racerAt(1); // a cycle the walk must survive
    game::racerAt(1)->m_routeBlocker = game::racerAt(0);
    struct Change {
        const char* name;
        std::function<void()> apply;
    };
    const Change changes[] = {
        {"a car's field", [] { game::racerAt(2)->m_lateral += 1; }},
        {"a car's last field", [] { game::racerAt(2)->m_defField2 ^= 1; }},
        {"a car's array", [] { rt::IntArray::set(game::racerAt(3)->m_stats, 1, 1); }},
        {"a race object",
         [] {
             static_cast<game::cEntity*>(rt::ObjectArray::get(game::raceStatics().s_raceObjects, 3))
                 ->m_homing ^= 1;
         }},
        {"the racer order",
         [] {
             rt::Object* a = rt::ObjectArray::get(game::raceStatics().s_racers, 0);
             rt::ObjectArray::set(game::raceStatics().s_racers, 0,
                                  rt::ObjectArray::get(game::raceStatics().s_racers, 1));
             rt::ObjectArray::set(game::raceStatics().s_racers, 1, a);
         }},
        {"the race clock", [] { game::raceEntityStatics().s_raceTime += 1; }},
        {"a lap time", [] { rt::IntArray::set(game::raceFrameStatics().s_lapTimes, 2, 9); }},
        {"an event goal", [] { game::eventGoalStatics().s_score += 1; }},
        {"the shake", [] { game::shakeStatics().s_shakeLeft += 1; }},
        {"a segment's curve", [] { rt::IntArray::set(game::trackStatics().s_segmentCurve, 0, 1); }},
        {"the event slot", [] { game::setSlotEventType(0, game::EventType::Score); }},
        {"the saved records", [] { game::saveRecordStatics().s_eventRecords = race_testing::ints({1}); }},
        {"the game mode", [] { game::stateStatics().s_gameMode = game::GameMode::Guided; }},
        {"the driving's state between steps", [] { game::drivingStatics().s_trailCount += 1; }},
        {"the computer drivers' difficulty", [] { game::driverStatics().s_aiDifficulty += 1; }},
        {"the camera", [] { game::viewPassStatics().s_cameraLateral += 1; }},
        {"the random state", [] { (void)game::raceRandom(10); }},
    };
    std::uint64_t before = game::raceStateHash();
    EXPECT_EQ(game::raceStateHash(), before);
    for (const Change& c : changes) {
        c.apply();
        std::uint64_t after = game::raceStateHash();
        EXPECT_NE(after, before) << c.name;
        before = after;
    }
}

// A statics block the race layer makes but the hash neither covers nor
// leaves out by name would let two different races hash alike.
TEST(RaceHashBlocks, EveryStaticsBlockOfTheRaceLayerIsHashedOrLeftOutByName) {
    std::set<std::string> made;
    const std::string access = "statics<";
    for (const auto& file :
         std::filesystem::directory_iterator(std::filesystem::path(VORLAX_SOURCE_DIR) / "game" / "race")) {
        // The hash's own file names its list through a template parameter.
        if (file.path().extension() != ".cpp" || file.path().filename() == "RaceHash.cpp")
            continue;
        std::ifstream in(file.path());
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (std::size_t at = text.find(access); at != std::string::npos; at = text.find(access, at + 1)) {
            const std::size_t from = at + access.size();
            const std::size_t to = text.find(">()", from);
            if (to != std::string::npos)
                made.insert(text.substr(from, to - from));
        }
    }
    ASSERT_TRUE(made.contains("RaceStatics")) << "the race layer's sources were not found";
    const std::vector<std::string> hashed = game::raceHashedStatics();
    const std::set<std::string> covered(hashed.begin(), hashed.end());
    EXPECT_EQ(covered.size(), hashed.size()) << "a block is hashed twice";
    const std::vector<std::string> leftOutList = game::raceStaticsLeftOut();
    const std::set<std::string> leftOut(leftOutList.begin(), leftOutList.end());
    for (const std::string& name : leftOut) {
        EXPECT_FALSE(covered.contains(name)) << name << " is hashed and left out";
        EXPECT_TRUE(made.contains(name)) << name << " is left out but no longer made";
    }
    for (const std::string& name : made)
        EXPECT_TRUE(covered.contains(name) || leftOut.contains(name))
            << name << " is neither hashed nor left out";
}

// The paint message runs the race's view pass, then the painter: the view
// the painter finds holds the camera of this frame's update. Whatever the
// painter reads, the race goes on as it would with a painter that reads
// nothing.
TEST_F(RaceHashTest, ThePaintMessageRunsTheViewPassThenThePainterAndLeavesTheRaceAsItWas) {
    static int s_painted;
    static int s_viewBehind;
    auto frames = [](int n, void (*picture)()) {
        const game::cEntity* player = game::racerStatics().s_playerCar;
        for (int i = 0; i < n; ++i) {
            frame(player, 40);
            game::updateRace();
            race_testing::paintRaceStateWith(picture);
        }
        return game::raceStateHash();
    };
    startRace(77);
    const std::int32_t startSegment = game::cameraStatics().s_cameraSegment;
    const std::uint64_t quiet = frames(300, race_testing::paintNothing);
    ASSERT_NE(game::cameraStatics().s_cameraSegment, startSegment) << "the camera moved";
    s_painted = s_viewBehind = 0;
    void (*const readingPicture)() = [] {
        ++s_painted;
        const game::CameraStatics& c = game::cameraStatics();
        const game::ViewPassStatics& v = game::viewPassStatics();
        if (v.s_cameraSegment != c.s_cameraSegment || v.s_cameraSegmentPos != c.s_cameraSegmentPos ||
            v.s_cameraLateral != c.s_cameraLateral)
            ++s_viewBehind;
        (void)game::raceStateHash(); // a painter reads the race
    };
    startRace(77);
    EXPECT_EQ(frames(300, readingPicture), quiet);
    EXPECT_EQ(s_painted, 300);
    EXPECT_EQ(s_viewBehind, 0);
}

} // namespace
