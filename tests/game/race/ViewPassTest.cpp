// The view pass: entities sorted into the road slices farthest first and
// placed where a double-precision pinhole model of the track puts them, the
// player's car at the camera's follow distance or on its slice by state and
// finish, the flash timer and road bend, and the moving road object's
// bounce and step.

#include "game/race/ViewPass.h"
#include "game/data/EventSlots.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/States.h"
#include "game/race/CarViewPass.h"
#include "game/race/DynamicTriggerView.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "tests/game/framework/FrameworkFixture.h"
#include "tests/support/CosTable.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace view_pass_test {

namespace {

constexpr std::int32_t kHalfWidth = 300;
constexpr std::int32_t kLaneWidth = 150;

using game::cEntity;

struct ViewPass : framework_testing::FrameworkTest {
    ViewPass() {
        game::OrvelLibConfig::staticInit();
        testing_support::installCosTable();
        game::viewPassStaticInit();
        loadTrack(std::vector<std::int32_t>(40, 0));
    }

    static rt::IntArray* ints(const std::vector<std::int32_t>& values) {
        rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            rt::IntArray::set(array, static_cast<std::int32_t>(i), values[i]);
        return array;
    }
    static void loadTrack(const std::vector<std::int32_t>& curve) {
        game::TrackStatics& t = game::trackStatics();
        const auto count = static_cast<std::int32_t>(curve.size());
        t.s_segmentCount = count;
        t.s_segmentCurve = ints(curve);
        t.s_segmentHeight = rt::newIntArray(count);
        t.s_roadHalfWidth = kHalfWidth;
        t.s_laneWidth = kLaneWidth;
        t.s_laneCount = 4;
    }
    // A car of `type` at (segment, position, lateral), made a racer.
    cEntity* car(std::int32_t segment, std::int32_t pos, std::int32_t lateral = 0, std::int32_t type = 1) {
        cEntity* e = cEntity::cEntityWithType(type);
        e->m_active = 1;
        e->m_segment = segment;
        e->m_segmentPos = pos;
        e->m_lateral = lateral;
        m_cars.push_back(e);
        game::RaceStatics& race = game::raceStatics();
        race.s_racers = rt::newObjectArray(static_cast<std::int32_t>(m_cars.size()));
        for (std::size_t i = 0; i < m_cars.size(); ++i)
            rt::ObjectArray::set(race.s_racers, static_cast<std::int32_t>(i), m_cars[i]);
        return e;
    }
    std::vector<cEntity*> bin(std::int32_t k) const {
        std::vector<cEntity*> out;
        for (std::int32_t n = 0; n < game::viewPassStatics().s_sliceEntityCount[k]; ++n)
            out.push_back(game::sliceEntity(k, n));
        return out;
    }

    std::vector<cEntity*> m_cars;
};

TEST_F(ViewPass, EntitiesAreSortedIntoTheirSlicesFarthestFirstAtMostTenASlice) {
    game::viewPassStatics().s_cameraSegmentPos = 10;
    cEntity* near = car(3, 100);
    cEntity* far = car(3, 900);
    cEntity* middle = car(3, 500);
    cEntity* level = car(3, 500);
    cEntity* parked = car(3, 700);
    parked->m_active = 0;
    cEntity* beyond = car(14, 10);
    cEntity* justShort = car(14, 9);
    std::vector<cEntity*> crowd;
    for (int i = 0; i < 11; ++i)
        crowd.push_back(car(5, 1000 - 10 * i));
    game::runViewPass(true);

    EXPECT_EQ(bin(3), (std::vector<cEntity*>{far, middle, level, near}));
    EXPECT_EQ(parked->m_roadSlice, -1);
    EXPECT_EQ(beyond->m_roadSlice, 14) << "in the farthest slice, yet not drawn";
    EXPECT_EQ(bin(14), std::vector<cEntity*>{justShort});
    EXPECT_EQ(bin(5), std::vector<cEntity*>(crowd.begin(), crowd.begin() + 10))
        << "the eleventh is not drawn";
    EXPECT_EQ(game::viewPassStatics().s_sliceEntityCount[16], 0) << "no second road";

    // A new frame empties the bins before it fills them.
    beyond->m_segment = 3;
    beyond->m_segmentPos = 950;
    game::runViewPass(true);
    EXPECT_EQ(bin(3), (std::vector<cEntity*>{beyond, far, middle, level, near}));
    EXPECT_TRUE(bin(14).size() == 1);
}

// On a flat straight a car at depth z and lateral x stands at screen x
// centre + focal x / z, its wheels at horizon + focal x eye / z, and is drawn
// at 450 / (z - 40) past the camera's distance.
TEST_F(ViewPass, ACarStandsWhereThePinholeModelPutsIt) {
    struct Case {
        std::int32_t segment, pos, lateral;
    };
    for (const Case c : {Case{1, 0, 0}, Case{2, 512, 200}, Case{6, 300, -280}, Case{12, 1000, 150}}) {
        m_cars.clear();
        cEntity* e = car(c.segment, c.pos, c.lateral);
        game::viewPassStatics().s_cameraSegmentPos = 100;
        game::runViewPass(true);
        const double z = c.segment * 1024.0 + c.pos - 100;
        EXPECT_EQ(e->m_roadSlice, c.segment);
        EXPECT_NEAR(e->m_screenX, 320 + 200 * c.lateral / z, 1.01) << c.segment;
        EXPECT_NEAR(e->m_screenGroundY, 240 + 200 * 329 / z, 1.01) << c.segment;
        EXPECT_EQ(e->m_screenY, e->m_screenGroundY);
        EXPECT_NEAR(e->m_screenScale, 450 * 4096 / (z - 40), 0.02 * 4096) << c.segment;
    }
}

TEST_F(ViewPass, ThePlayersCarIsChasedUnlessIntroFlyoverOrAFinishedLapRace) {
    struct Case {
        game::State topState;
        bool finished;
        game::EventType eventType;
        bool chased;
    };
    const Case cases[] = {
        {game::State::Race, false, game::EventType::Laps, true},
        {game::State::RacerIntro, false, game::EventType::Distance, false},
        {game::State::TrackFlyover, false, game::EventType::Distance, false},
        {game::State::Race, true, game::EventType::Laps, false},
        {game::State::Race, true, game::EventType::Collection, false},
        {game::State::Race, true, game::EventType::Distance, true},
    };
    game::EventSlotStatics& slots = game::eventSlotStatics();
    slots.s_eventType = rt::newByteArray(1);
    game::StateStatics& states = game::stateStatics();
    states.s_stateStack = rt::newIntArray(game::kStateStackSize);
    states.s_stateStackDepth = 2;
    rt::IntArray::set(states.s_stateStack, 0, game::stateNumber(game::State::StartupLoad));
    for (const Case& c : cases) {
        m_cars.clear();
        // Two segments ahead and a lane to the right: seen under the same
        // angle either way, but drawn at the follow distance when chased.
        cEntity* player = car(2, 0, 150, 0);
        game::racerStatics().s_playerCar = player;
        rt::IntArray::set(states.s_stateStack, 1, game::stateNumber(c.topState));
        game::raceStatics().s_raceFinished = c.finished ? 1 : 0;
        game::setSlotEventType(0, c.eventType);
        game::runViewPass(true);
        const double z = c.chased ? 450 : 2048;
        EXPECT_NEAR(player->m_screenX, 320 + 200 * 150 / 2048.0, 1.01) << c.topState;
        EXPECT_NEAR(player->m_screenGroundY, 240 + 200 * 329 / z, 1.01) << c.topState;
        EXPECT_NEAR(player->m_screenScale, c.chased ? 4096 : 450 * 4096 / (z - 40), 2) << c.topState;
    }
}

TEST_F(ViewPass, TheFlashRunsDownToZeroAndTheRoadBendFollowsTheRoad) {
    struct Case {
        std::int32_t flash, frameTime, after;
    };
    for (const Case c : {Case{1000, 300, 700}, Case{100, 300, 0}, Case{0, 300, 0}}) {
        game::viewPassStatics().s_flashTimer = c.flash;
        game::triggerStatics().s_laneTargetsOn = 1;
        game::raceStatics().s_raceFrameTime = c.frameTime;
        game::runViewPass(true);
        EXPECT_EQ(game::viewPassStatics().s_flashTimer, c.after) << c.flash;
        EXPECT_EQ(game::triggerStatics().s_laneTargetsOn, 0);
    }
    EXPECT_EQ(game::viewPassStatics().s_roadBend, 0) << "a straight";
    std::vector<std::int32_t> bend(40, 0);
    bend[1] = bend[2] = bend[3] = 20;
    loadTrack(bend);
    game::runViewPass(true);
    const std::int32_t right = game::viewPassStatics().s_roadBend;
    bend[1] = bend[2] = bend[3] = -20;
    loadTrack(bend);
    game::runViewPass(true);
    EXPECT_NE(right, 0);
    EXPECT_EQ(game::viewPassStatics().s_roadBend, -right) << "a bend the other way mirrors it";
}

// The object bounces off the outer lanes (half-width 300 less a lane of 150)
// and moves a step per painted race frame; each kind on its own.
TEST_F(ViewPass, TheMovingObjectBouncesAndStepsOnlyInTheRaceItself) {
    game::TrackStatics& t = game::trackStatics();
    t.s_triggersPerSegment = 2;
    t.s_triggerCodes = rt::newShortArray(2 * t.s_segmentCount);
    rt::ShortArray::set(t.s_triggerCodes, 2 * 2, 0x1005);
    rt::ShortArray::set(t.s_triggerCodes, 2 * 4 + 1, 0x1805);
    game::ViewPassStatics& v = game::viewPassStatics();
    v.s_gateDone = rt::newByteArray(t.s_segmentCount);
    v.s_movingObjectId = 5;
    v.s_movingObjectX[0] = 140;
    v.s_movingObjectDX[0] = 20;
    v.s_movingObjectX[1] = -100;
    v.s_movingObjectDX[1] = -60;

    struct Step {
        bool inRace;
        std::int32_t drawn0, next0, drawn1, next1;
    };
    const Step steps[] = {
        {true, 140, 160, -100, -160},
        {true, 150, 130, -150, -90}, // both bounce: -L and L by the new step's sign
        {false, 130, 130, -90, -90},
    };
    for (const Step& s : steps) {
        game::runViewPass(s.inRace);
        EXPECT_EQ(v.s_movingObjectShown[0], 1);
        EXPECT_EQ(v.s_movingObjectDrawX[0], s.drawn0);
        EXPECT_EQ(v.s_movingObjectX[0], s.next0);
        EXPECT_EQ(v.s_movingObjectDrawX[1], s.drawn1);
        EXPECT_EQ(v.s_movingObjectX[1], s.next1);
    }
    rt::ByteArray::set(v.s_gateDone, 2, 1);
    game::runViewPass(true);
    EXPECT_EQ(v.s_movingObjectShown[0], 0) << "hidden where the gate is done";
    EXPECT_EQ(v.s_movingObjectX[0], 130);
    game::stateStatics().s_gameMode = game::GameMode::Score;
    game::runViewPass(true);
    EXPECT_EQ(v.s_movingObjectShown[1], 0) << "only in game mode 0";
}

// The race state that changes as cars are shown changes in the view pass,
// for exactly the entities the scene paints this frame: a computer car in
// its ghost animation counts a frame before the painter, and a marker
// rises in the closing step after it. A car sorted into slice 13 (beyond
// the painted slices) or into a slice turned away is left alone.
TEST_F(ViewPass, TheCarsPaintedThisFrameChangeInTheViewPassAndNoOthers) {
    cEntity* painted = car(3, 500);
    cEntity* beyond = car(13, 10);
    for (cEntity* e : {painted, beyond}) {
        e->m_state = game::CarState::Ghost;
        e->m_animFrameCount = 100;
        e->m_fallLateral = 200;
    }
    game::viewPassStatics().s_cameraSegmentPos = 0;
    game::runViewPass(true);
    EXPECT_EQ(painted->m_animCounter, 1);
    EXPECT_EQ(painted->m_fallLateral, 200) << "the marker rises after the painter";
    game::finishViewPass();
    EXPECT_EQ(painted->m_fallLateral, 200 - game::kMarkerRise);
    EXPECT_EQ(beyond->m_roadSlice, 13);
    EXPECT_EQ(beyond->m_animCounter, 0);
    EXPECT_EQ(beyond->m_fallLateral, 200);

    game::viewPassStatics().s_sliceAngleLimit = 0; // every slice turned away
    game::runViewPass(true);
    game::finishViewPass();
    EXPECT_EQ(painted->m_animCounter, 1);
    EXPECT_EQ(painted->m_fallLateral, 200 - game::kMarkerRise);
}

// An item box of the current event (entry value 1 on lane 5, every lap) in
// segment 3: seen in a painted slice while it stands, it marks its lane at
// (5 - 3) x 512 and turns the lane-target switch on; a mark a computer car
// took stays taken. A taken box, the guided race outside step 4, a box in
// slice 13 or no item-box player mark nothing, and the switch goes off.
TEST_F(ViewPass, AnItemBoxInViewMarksItsLane) {
    game::TrackStatics& t = game::trackStatics();
    t.s_triggersPerSegment = 1;
    t.s_triggerCodes = rt::newShortArray(t.s_segmentCount);
    game::EventSlotStatics& slots = game::eventSlotStatics();
    slots.s_eventTrack = rt::newByteArray(1);
    slots.s_eventVariant = rt::newByteArray(1);
    rt::IntArray* entries = ints({0, static_cast<std::int32_t>(0xFF058001u)});
    rt::ObjectArray* variants = rt::newObjectArray(1);
    rt::ObjectArray::set(variants, 0, entries);
    game::eventStatics().s_dynamicTriggers = rt::newObjectArray(1);
    rt::ObjectArray::set(game::eventStatics().s_dynamicTriggers, 0, variants);
    game::TriggerStatics& s = game::triggerStatics();
    s.s_itemBoxTaken = rt::newIntArray(t.s_segmentCount);
    s.s_laneTargets = rt::newIntArray(game::kLanes);
    game::createAnimPlayers();
    game::ZoomedAnimPlayer* boxPlayer = game::itemBoxPlayer();
    ASSERT_NE(boxPlayer, nullptr);

    struct Case {
        const char* name;
        std::int32_t segment, takenBits, targetBefore;
        game::GameMode gameMode;
        std::int32_t guideStep;
        bool player;
        std::int32_t targetAfter;
        std::int8_t on;
    };
    const Case cases[] = {
        {"standing", 3, 0, game::kLaneNone, game::GameMode::LapRace, 0, true, 1024, 1},
        {"mark taken", 3, 0, game::kLaneTaken, game::GameMode::LapRace, 0, true, game::kLaneTaken, 1},
        {"box taken", 3, 1 << 5, game::kLaneNone, game::GameMode::LapRace, 0, true, game::kLaneNone, 0},
        {"other lane taken", 3, 1 << 4, game::kLaneNone, game::GameMode::LapRace, 0, true, 1024, 1},
        {"guided step 4", 3, 0, game::kLaneNone, game::GameMode::Guided, 4, true, 1024, 1},
        {"guided step 3", 3, 0, game::kLaneNone, game::GameMode::Guided, 3, true, game::kLaneNone, 0},
        {"slice 13", 13, 0, game::kLaneNone, game::GameMode::LapRace, 0, true, game::kLaneNone, 0},
        {"no player", 3, 0, game::kLaneNone, game::GameMode::LapRace, 0, false, game::kLaneNone, 0},
    };
    for (const Case& c : cases) {
        std::ranges::fill(rt::ShortArray::span(t.s_triggerCodes), std::int16_t{0});
        rt::ShortArray::set(t.s_triggerCodes, c.segment, 0x2001);
        rt::IntArray::set(s.s_itemBoxTaken, c.segment, c.takenBits);
        rt::IntArray::set(s.s_laneTargets, 5, c.targetBefore);
        game::stateStatics().s_gameMode = c.gameMode;
        game::eventGoalStatics().s_guideStep = c.guideStep;
        game::zoomPoolStatics().s_fxPlayerA = c.player ? boxPlayer : nullptr;
        s.s_laneTargetsOn = 1;
        game::runViewPass(true);
        EXPECT_EQ(rt::IntArray::get(s.s_laneTargets, 5), c.targetAfter) << c.name;
        EXPECT_EQ(s.s_laneTargetsOn, c.on) << c.name;
        rt::IntArray::set(s.s_itemBoxTaken, c.segment, 0);
    }
}

} // namespace

} // namespace view_pass_test
