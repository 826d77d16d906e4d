// Race objects and items: an aimed object stops at its target and closes
// the last gap sideways, a dropped one turns at the road's edge and a
// thrown one retires there, the timed release on the device clock, where
// an object aimed at the player starts, the item key during a draw, the
// markers when all are in use, the pool handing out a live object, a draw
// from a row of zero weights, and the sideways overlap of two cars.

#include "game/race/RaceObjects.h"
#include "game/framework/States.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/Impacts.h"
#include "game/race/RacePlacement.h"
#include "game/race/TrackTriggers.h"
#include "tests/game/race/OpponentsFixture.h"

namespace {

using game::cEntity;
using game::kmhToSpeed;
using race_testing::deviceClock;
using race_testing::OpponentsTest;

struct RaceObjectsTest : OpponentsTest {
    RaceObjectsTest() {
        datakit::TrackRing track;
        track.straight(40);
        loadRing(track); // half-width 1000, margin 400
        ring(40, 3);
        game::raceStatics().s_raceObjects = rt::newObjectArray(3);
        for (std::int32_t i = 0; i < 3; ++i)
            rt::ObjectArray::set(game::raceStatics().s_raceObjects, i, cEntity::cEntityWithType(2));
        game::resetOpponents();
        game::stateStatics().s_state = game::State::Race;
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
    }
    ~RaceObjectsTest() override { game::stateStatics().s_state = game::State{}; }

    static cEntity* object(std::int32_t i) {
        return static_cast<cEntity*>(rt::ObjectArray::get(game::raceStatics().s_raceObjects, i));
    }
    static std::int32_t markersInUse() {
        std::int32_t n = 0;
        for (std::int32_t i = 0; i < game::kPlayerMarkers; ++i)
            n += rt::IntArray::get(game::raceObjectStatics().s_playerMarkers, 4 * i) == 1 ? 1 : 0;
        return n;
    }
};

TEST_F(RaceObjectsTest, AnAimedObjectStopsAtItsTargetAndClosesTheLastGapSideways) {
    auto cars = field({{1, 20, 512, 300}, {1, 19, 512, 0}}, 1);
    cEntity* target = cars[0];
    target->m_speed = kmhToSpeed(50);
    cEntity* aimed = game::spawnEntity(game::kObjectAimed, cars[1], 0, false);
    game::aimAt(aimed, target);
    EXPECT_EQ(target->m_targeted, 1);
    for (std::int32_t step = 0; step < 10 && aimed->m_active; ++step) {
        game::moveRaceObject(aimed, 409);
        EXPECT_LE(game::carGap(aimed, target), 0) << "never past its target";
    }
    EXPECT_EQ(game::carGap(aimed, target), 0);
    // Level with the target, the whole lateral difference closes (at most
    // 200 a step).
    aimed->m_lateral = target->m_lateral - 150;
    game::moveRaceObject(aimed, 409);
    EXPECT_EQ(aimed->m_lateral, target->m_lateral);
    game::hitRacersWithObject(aimed);
    EXPECT_EQ(aimed->m_active, 0);
    EXPECT_EQ(target->m_effect, game::CarEffect::KnockOut);
    EXPECT_EQ(target->m_targeted, 0);
}

TEST_F(RaceObjectsTest, ADroppedObjectTurnsAtTheEdgeAndAThrownOneRetires) {
    auto cars = field({{1, 20, 512, 1300}, {1, 10}}, 0);
    cars[0]->m_heading = 100;
    cEntity* dropped = game::spawnEntity(game::kObjectDropped, cars[0], 0, false);
    cEntity* thrown = game::spawnEntity(game::kObjectThrown, cars[0], 0, false);
    for (std::int32_t step = 0; step < 3; ++step) {
        game::moveRaceObject(dropped, 409);
        game::moveRaceObject(thrown, 409);
    }
    EXPECT_EQ(dropped->m_active, 1);
    EXPECT_LT(dropped->m_heading, 0) << "turned back from the right edge";
    EXPECT_LE(dropped->m_lateral, 1400);
    EXPECT_EQ(thrown->m_active, 0);
}

TEST_F(RaceObjectsTest, TheTimedReleaseNeedsStrictlyMoreThanFifteenSeconds) {
    auto cars = field({{1, 20}, {1, 18}, {1, 16}, {1, 14}}, 0);
    deviceClock().setTick(1000);
    game::updateTimedEvent(); // not armed outside the race state: stamps
    game::stateStatics().s_state = game::State::Race;
    game::resetOpponents();
    deviceClock().setTick(1000 + game::kTimedEventMs);
    game::updateTimedEvent();
    EXPECT_EQ(object(0)->m_active, 0);
    deviceClock().advance(1);
    game::updateTimedEvent();
    EXPECT_EQ(object(0)->m_active, 1);
    EXPECT_NE(object(0)->m_owner, cars[0]->m_racerIndex);
}

TEST_F(RaceObjectsTest, AnObjectAimedAtThePlayerStartsAtMostTenSegmentsBackNotBelowZero) {
    for (const auto& [from, expected] : {std::pair{25, 15}, std::pair{7, 0}}) {
        auto cars = field({{1, from}, {1, from}}, 0);
        cEntity* aimed = game::spawnEntity(game::kObjectAimed, cars[1], 0, false);
        game::aimAt(aimed, cars[0]);
        EXPECT_EQ(aimed->m_segment, expected) << from;
        game::retireAllObjects();
    }
}

TEST_F(RaceObjectsTest, TheItemKeyDuringADrawEndsItAndUsesNothing) {
    cEntity* car = field({{1, 5}}, 0)[0];
    car->m_itemTimer = game::kItemDrawTime;
    car->m_itemSlot = 2;
    car->m_itemUses = 1;
    EXPECT_EQ(game::useItem(car), 0);
    EXPECT_EQ(car->m_itemTimer, 50);
    EXPECT_EQ(car->m_itemUses, 1);
    EXPECT_EQ(car->m_state, game::CarState::Normal);
}

TEST_F(RaceObjectsTest, WithEveryMarkerInUseNoneIsTakenOrOverwritten) {
    for (std::int32_t i = 0; i < game::kPlayerMarkers; ++i)
        game::setPlayerMarker(game::allocPlayerMarker(), 100 + i, 0);
    EXPECT_EQ(game::allocPlayerMarker(), -1);
    game::setPlayerMarker(-1, 999, 1);
    EXPECT_EQ(rt::IntArray::get(game::raceObjectStatics().s_playerMarkers, 1), 0)
        << "record 0 keeps its kind";
    // A dropped object behind the player then gets no marker.
    auto cars = field({{1, 20}, {1, 18}}, 0);
    cEntity* dropped = game::spawnEntity(game::kObjectDropped, cars[1], 0, false);
    EXPECT_EQ(dropped->m_offeredItem, -1);
    EXPECT_EQ(markersInUse(), game::kPlayerMarkers);
}

TEST_F(RaceObjectsTest, APoolHandingOutALiveObjectFreesItsMarkerAndTargetFirst) {
    auto cars = field({{1, 20}, {1, 18}}, 0);
    cEntity* first = game::spawnEntity(game::kObjectAimed, cars[1], 0, false);
    game::aimAt(first, cars[0]);
    first->m_offeredItem = game::allocPlayerMarker();
    game::setPlayerMarker(first->m_offeredItem, 0, 1);
    game::spawnEntity(game::kObjectThrown, cars[1], 0, false);
    game::spawnEntity(game::kObjectThrown, cars[1], 0, false);
    EXPECT_EQ(markersInUse(), 1);
    EXPECT_EQ(cars[0]->m_targeted, 1);
    const std::int32_t effects = game::trackEffectCount();
    cEntity* reused = game::spawnEntity(game::kObjectDropped, cars[0], 0, false);
    EXPECT_EQ(reused, first);
    EXPECT_EQ(markersInUse(), 0);
    EXPECT_EQ(cars[0]->m_targeted, 0);
    EXPECT_EQ(game::trackEffectCount(), effects) << "no burst";
}

TEST_F(RaceObjectsTest, ASidewaysOverlapTakesTheWidthTheReachesAndASwapOfSides) {
    struct Case {
        const char* name;
        std::int32_t lateral, prevLateral, otherLateral, otherPrevLateral, reachRight, reachLeft;
        bool doubled, otherOnPath, overlaps;
    };
    // The car's width (element 5 of its profile) is 100.
    const Case cases[] = {
        {"level", 0, 0, 0, 0, 0, 0, false, false, true},
        {"level but the other is lifted", 0, 0, 0, 0, 0, 0, false, true, false},
        {"left, out of reach", 500, 500, 0, 0, 0, 400, false, false, false},
        {"left, in reach", 500, 500, 0, 0, 0, 401, false, false, true},
        {"left after a swap of sides", 500, -10, 0, 0, 0, 0, false, false, true},
        {"right, out of reach", 0, 0, 300, 300, 200, 0, false, false, false},
        {"right, doubled width", 0, 0, 300, 300, 150, 0, true, false, true},
    };
    cEntity* car = cEntity::cEntityWithType(1);
    cEntity* other = cEntity::cEntityWithType(1);
    car->m_widthProfile = rt::newIntArray(12);
    rt::IntArray::set(car->m_widthProfile, 5, 100);
    for (const Case& c : cases) {
        car->m_lateral = c.lateral;
        car->m_prevLateral = c.prevLateral;
        other->m_lateral = c.otherLateral;
        other->m_prevLateral = c.otherPrevLateral;
        other->m_onPath = c.otherOnPath ? 1 : 0;
        EXPECT_EQ(game::overlapsSideways(car, other, c.reachRight, c.reachLeft, c.doubled), c.overlaps)
            << c.name;
    }
}

TEST_F(RaceObjectsTest, ADrawFromARowOfZeroWeightsGivesNoItemAndLeavesTheSlotEmpty) {
    cEntity* car = field({{1, 5}}, 0)[0];
    auto* rows = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(game::drivingStatics().s_itemWeights, 0));
    rt::ObjectArray::set(rows, 0, rt::newByteArray(9));
    EXPECT_EQ(game::drawItem(car, 0, 0), -1);
    EXPECT_TRUE(log.contains("all 0"));
    car->m_itemTimer = 10;
    game::updateItem(car, 409);
    EXPECT_EQ(car->m_itemSlot, -1);
    EXPECT_EQ(car->m_itemUses, 0);
    // A row past the table's end reads the last row.
    EXPECT_GE(game::drawItem(car, 0, 99), 0);
}

} // namespace

// The end of the item layer's animation, not the state's timer, decides:
// the shield's bubble (two passes of 3 s) drops the shield, the glow of
// item 7 (6 s) leaves the car untouchable for its item's time. One step
// before the end the car is as the item left it.
TEST_F(RaceObjectsTest, TheEndOfTheItemLayerActsAsItsAnimationSays) {
    struct Case {
        std::int32_t item;
        std::int32_t animationMs;
        game::CarState before, after;
    };
    const Case cases[] = {{4, 6000, game::CarState::Shield, game::CarState::Normal},
                          {7, 6000, game::CarState::Normal, game::CarState::NoContact}};
    for (const Case& c : cases) {
        SCOPED_TRACE("item " + std::to_string(c.item));
        auto cars = field({{1, 20, 512, 0}}, 0);
        cEntity* car = cars[0];
        game::makeEffectLayers(car);
        car->m_itemSlot = c.item;
        car->m_itemUses = 1;
        EXPECT_EQ(game::useItem(car), 1);
        car->m_stateTimer = 1000 * 4096;
        // 100 ms a step, as the players count it.
        game::raceStatics().s_raceFrameTime = 410;
        const std::int32_t steps = c.animationMs / game::timeToMs(410);
        for (std::int32_t i = 0; i < steps; ++i)
            (void)game::applyStateFactors(car, 100);
        EXPECT_EQ(car->m_state, c.before);
        (void)game::applyStateFactors(car, 100);
        EXPECT_EQ(car->m_state, c.after);
        if (c.after == game::CarState::NoContact) {
            EXPECT_EQ(car->m_stateTimer, game::itemValue(car->m_driverKind, 7, 1) * 18432);
        }
    }
}
