// The race-state hash: it sees a change anywhere the simulation keeps
// state, and two 5000-step races from one seed agree on it after every
// step while another seed does not.

#include "game/race/RaceHash.h"
#include "classlib/util/Random.h"
#include "game/data/EventSlots.h"
#include "game/data/SaveRecords.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/ComputerDriver.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceKernel.h"
#include "game/race/RacePlacement.h"
#include "game/race/RaceState.h"
#include "game/race/RaceUtilities.h"
#include "game/race/RaceView.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "tests/game/race/RaceDataFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using race_testing::ints;

constexpr std::int32_t kSegments = 37;
constexpr std::int32_t kCars = 6;
constexpr std::int32_t kObjects = 4;

// A driver that wobbles: speed towards the car's limit with a random
// stutter, a random drift sideways within the road, the simple move.
void wobblyDriver(game::cEntity* car, std::int32_t dt) {
    car->m_prevLap = car->m_lap;
    car->m_prevSegment = car->m_segment;
    car->m_prevSegmentPos = car->m_segmentPos;
    car->m_speed = car->m_maxSpeed - game::raceRandom(car->m_maxSpeed / 8 + 1);
    car->m_lateral += game::raceRandom(61) - 30;
    car->m_lateral = std::clamp(car->m_lateral, -900, 900);
    car->m_stepDistance = game::advanceOnTrack(car, car->m_segment, (car->m_speed * dt) >> 12);
}

void rollingObject(game::cEntity* object, std::int32_t dt) {
    game::advanceOnTrack(object, object->m_segment, (object->m_speed * dt) >> 12);
    if (game::raceRandom(200) == 0)
        object->m_active = 0;
}

// The thrown objects of this race land on the car they hit.
void objectLands(game::cEntity* object) {
    object->m_active = 0;
}

struct RaceHashTest : race_testing::RaceDataTest {
    ~RaceHashTest() override {
        game::raceSteps() = {};
        game::raceViewHooks() = {};
    }

    // Everything of a race from nothing but `seed`.
    static void startRace(std::int64_t seed) {
        game::resetRaceStatics();
        lib::java_util_Random::seedSharedRandom(seed);
        game::RaceSteps& steps = game::raceSteps();
        steps = {};
        steps.updatePlayerCar = wobblyDriver;
        steps.updateAiCar = wobblyDriver;
        steps.updateRaceObject = rollingObject;
        steps.objectHit = objectLands;
        game::TrackStatics& t = game::trackStatics();
        t.s_segmentCount = kSegments;
        t.s_roadHalfWidth = 1000;
        t.s_segmentCurve = rt::newIntArray(kSegments);
        t.s_segmentEdgeFlags = rt::newByteArray(kSegments);
        for (std::int32_t s = 5; s < 12; ++s)
            rt::IntArray::set(t.s_segmentCurve, s, s % 2 ? 120 : -60);
        game::initEventSlots();
        game::raceStatics().s_laps = 3;
        game::RaceStatics& race = game::raceStatics();
        race.s_racers = rt::newObjectArray(kCars);
        for (std::int32_t i = 0; i < kCars; ++i) {
            game::cEntity* car = game::cEntity::cEntityWithType(i == kCars - 1 ? 0 : 1);
            car->m_racerIndex = i;
            car->m_stats = ints({4000, 9000 + 700 * i});
            car->m_widthProfile = ints({0, 0, 0, 0, 0, 120, 0});
            rt::ObjectArray::set(race.s_racers, i, car);
        }
        game::racerStatics().s_playerCar = game::racerAt(kCars - 1);
        race.s_raceObjects = rt::newObjectArray(kObjects);
        for (std::int32_t i = 0; i < kObjects; ++i) {
            game::cEntity* object = game::cEntity::cEntityWithType(2);
            object->m_active = 1;
            object->m_itemSlot = i % 2 == 0 ? 0 : 3;
            object->m_owner = kCars - 1;
            object->m_targetIndex = i;
            object->m_segment = 3 + 5 * i;
            object->m_speed = 2000;
            object->m_widthProfile = ints({0, 0, 0, 0, 0, 80});
            rt::ObjectArray::set(race.s_raceObjects, i, object);
        }
        game::resetRaceRun();
    }
    static std::vector<std::uint64_t> run(std::int64_t seed, int steps) {
        startRace(seed);
        std::vector<std::uint64_t> hashes;
        for (int n = 0; n < steps; ++n) {
            game::loopStatics().s_frameMs = 30 + n % 25;
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
        {"the shake", [] { game::raceUtilityStatics().s_shakeLeft += 1; }},
        {"a segment's curve", [] { rt::IntArray::set(game::trackStatics().s_segmentCurve, 0, 1); }},
        {"the event slot", [] { game::setSlotEventType(0, game::EventType::Score); }},
        {"the saved records", [] { game::saveRecordStatics().s_eventRecords = ints({1}); }},
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
    for (const auto& file : std::filesystem::directory_iterator(VORLAX_SOURCE_DIR "/game/race")) {
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

std::vector<std::string> g_paintOrder;

TEST_F(RaceHashTest, ThePaintMessageRunsTheViewPassThenThePainterAndLeavesTheRaceAsItWas) {
    auto frames = [](int n) {
        for (int i = 0; i < n; ++i) {
            game::loopStatics().s_frameMs = 40;
            EXPECT_TRUE(game::raceStateMessage(game::kUpdate));
            EXPECT_TRUE(game::raceStateMessage(game::kPaint));
        }
        return game::raceStateHash();
    };
    startRace(77);
    const std::uint64_t bare = frames(300);
    game::raceViewHooks().viewPass = [] { g_paintOrder.push_back("view"); };
    game::raceViewHooks().painter = [] {
        g_paintOrder.push_back("paint");
        (void)game::raceStateHash(); // a painter reads the race
    };
    startRace(77);
    EXPECT_EQ(frames(300), bare);
    ASSERT_EQ(g_paintOrder.size(), 600u);
    EXPECT_EQ(g_paintOrder[0], "view");
    EXPECT_EQ(g_paintOrder[1], "paint");
    EXPECT_FALSE(game::raceStateMessage(game::kEnter));
}

} // namespace
