// Placing entities: the simple move along the ring with its curve
// correction and its carries across segments and laps, the starting grid
// by event type, the hits of race objects on racers (kinds, states, held
// items, targets, owners, the guided race; the knock-out's animation on the
// struck car's fifth effect layer), and a car placed by its racer
// definition.

#include "game/race/RacePlacement.h"
#include "game/data/EventSlots.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/Impacts.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "runtime/Runtime.h"
#include "tests/game/race/RaceDataFixture.h"

#include <vector>

namespace {

using race_testing::ints;

struct RacePlacementTest : race_testing::RaceDataTest {
    RacePlacementTest() { game::initEventSlots(); }
    ~RacePlacementTest() override { game::stateStatics().s_gameMode = game::GameMode::LapRace; }

    static void ring(std::int32_t segments) {
        game::trackStatics().s_segmentCount = segments;
        game::trackStatics().s_segmentCurve = rt::newIntArray(segments);
        game::trackStatics().s_segmentEdgeFlags = rt::newByteArray(segments);
    }
    static void racers(std::int32_t n) {
        game::raceStatics().s_racers = rt::newObjectArray(n);
        for (std::int32_t i = 0; i < n; ++i) {
            game::cEntity* car = game::cEntity::cEntityWithType(i == n - 1 ? 0 : 1);
            car->m_racerIndex = i;
            car->m_racePosition = i;
            car->m_widthProfile = ints({0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0});
            rt::ObjectArray::set(game::raceStatics().s_racers, i, car);
        }
        game::racerStatics().s_playerCar = game::racerAt(n - 1);
    }
};

TEST_F(RacePlacementTest, TheSimpleMoveCorrectsForTheBendAndCarriesAcrossSegmentsAndLaps) {
    ring(10);
    rt::IntArray::set(game::trackStatics().s_segmentCurve, 3, 200);
    rt::IntArray::set(game::trackStatics().s_segmentCurve, 4, -200);
    rt::IntArray::set(game::trackStatics().s_segmentCurve, 5, 3);
    struct Row {
        std::int32_t segment, pos, lateral, distance;
        std::int32_t moved, lap, toSegment, toPos;
    };
    // With a radius scale of 1024, a curve of 200 over a whole segment has
    // the radius 1024 * 1024 / 200 = 5242.
    game::drivingStatics().s_curveRadiusScale = 1024;
    const Row rows[] = {
        {1, 1000, 0, 30, 30, 1, 2, 6},        {9, 1000, 0, 30, 30, 2, 0, 6}, // across the line
        {0, 10, 0, -20, -20, 0, 9, 1014},     {1, 0, 0, 2048, 2048, 1, 3, 0},
        {3, 0, 1000, 1024, 859, 1, 3, 859},   // 5242 * 1024 / 6242
        {3, 0, -1000, 1024, 1265, 1, 4, 241}, // 5242 * 1024 / 4242
        {4, 0, -1000, 1024, 859, 1, 4, 859},  // a left bend mirrors it
        {5, 0, 5000, 100, 95, 1, 5, 95},      // 102400 * 100 / 107400
    };
    for (const Row& r : rows) {
        game::cEntity* car = game::cEntity::cEntityWithType(1);
        car->m_lap = 1;
        car->m_segment = r.segment;
        car->m_segmentPos = r.pos;
        car->m_lateral = r.lateral;
        EXPECT_EQ(game::advanceOnTrack(car, r.segment, r.distance), r.moved)
            << r.segment << " " << r.distance;
        EXPECT_EQ(car->m_lap, r.lap) << r.segment << " " << r.distance;
        EXPECT_EQ(car->m_segment, r.toSegment) << r.segment << " " << r.distance;
        EXPECT_EQ(car->m_segmentPos, r.toPos) << r.segment << " " << r.distance;
    }
    game::drivingStatics().s_curveRadiusScale = game::DrivingStatics{}.s_curveRadiusScale;
}

TEST_F(RacePlacementTest, TheGridFollowsTheEventType) {
    ring(37);
    game::trackStatics().s_roadHalfWidth = 1000;
    rt::ByteArray::set(game::trackStatics().s_segmentEdgeFlags, 0, 1); // centre line 500 to the right
    racers(3);
    game::racerStatics().s_speedPercent = 50;
    game::cEntity* player = game::racerStatics().s_playerCar;
    player->m_stats = ints({100, 2000});
    player->m_racerIndex = 7;
    player->m_speed = 900;
    player->m_state = game::CarState::Slowed;

    game::setSlotEventType(0, game::EventType::Laps);
    game::placeRacersOnGrid();
    struct Place {
        std::int32_t lap, segment, pos, lateral;
    };
    const Place laps[] = {{0, 36, 512, 750}, {0, 35, 512, 250}, {0, 34, 512, 750}};
    for (std::int32_t i = 0; i < 3; ++i) {
        const game::cEntity* car = game::racerAt(i);
        EXPECT_EQ(car->m_lap, laps[i].lap) << i;
        EXPECT_EQ(car->m_segment, laps[i].segment) << i;
        EXPECT_EQ(car->m_segmentPos, laps[i].pos) << i;
        EXPECT_EQ(car->m_lateral, laps[i].lateral) << i;
        EXPECT_EQ(car->m_racePosition, i);
        EXPECT_EQ(car->m_gear, 1);
        EXPECT_EQ(car->m_driveMode, 2);
        EXPECT_EQ(car->m_active, 1);
    }
    EXPECT_EQ(player->m_racerIndex, 2);
    EXPECT_EQ(player->m_speed, 0);
    EXPECT_EQ(player->m_state, game::CarState::Normal);
    EXPECT_EQ(player->m_maxSpeed, 1000);

    // A stretch event starts everyone level on its first segment; the
    // judged type on two fixed lanes; the guided race leaves cars inactive.
    std::vector<std::int32_t> row(17, 0);
    row[0] = game::eventTypeNumber(game::EventType::Section);
    row[6] = 5;
    rt::ObjectArray* variants = rt::newObjectArray(1);
    rt::ObjectArray::set(variants, 0, ints(row));
    game::eventStatics().s_eventRows = rt::newObjectArray(1);
    rt::ObjectArray::set(game::eventStatics().s_eventRows, 0, variants);
    game::setSlotEventType(0, game::EventType::Section);
    game::placeRacersOnGrid();
    for (std::int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(game::racerAt(i)->m_segment, 5) << i;
    game::setSlotEventType(0, game::EventType::StateJudged);
    game::stateStatics().s_gameMode = game::GameMode::Guided;
    game::placeRacersOnGrid();
    EXPECT_EQ(game::racerAt(0)->m_lateral, 500);
    EXPECT_EQ(game::racerAt(1)->m_lateral, -500);
    EXPECT_EQ(game::racerAt(1)->m_active, 0);
}

// A knock-out is the knock impact at speed 0 (a computer car stops) and
// costs a charge; with its effect (not in the guided race) it plays
// animation 34 on the car's fifth effect layer. A hit spends a charge of a
// car that holds an item instead. The object retires whenever it hits.
TEST_F(RacePlacementTest, RaceObjectsHitByKindStateItemAndTarget) {
    ring(20);
    struct Row {
        const char* name;
        std::int32_t kind;
        game::CarState state;
        std::int32_t heldItem, target, segment, lateral, owner;
        bool homing;
        std::int32_t guideStep; // -1: not the guided race
        bool knocked, charged, retires;
    };
    // The computer car (index 0) sits at segment 10, lateral 0; reach 200.
    using enum game::CarState;
    const Row rows[] = {
        {"thrown, no item", 0, Normal, -1, -1, 10, 199, 1, false, -1, true, false, true},
        {"thrown, holding an item", 0, Normal, 3, -1, 10, 0, 1, false, -1, false, true, true},
        {"thrown at a car without contact", 0, NoContact, -1, -1, 10, 0, 1, false, -1, false, false, true},
        {"kind 6 at a striking car", 6, Ghost, -1, -1, 11, 0, 1, false, -1, false, false, true},
        {"thrown out of reach", 0, Normal, -1, -1, 10, 200, 1, false, -1, false, false, false},
        {"two segments away", 0, Normal, -1, -1, 12, 0, 1, false, -1, false, false, false},
        {"its own owner", 0, Normal, -1, -1, 10, 0, 0, false, -1, false, false, false},
        {"aimed at the car", 3, Normal, -1, 0, 10, 0, 1, false, -1, true, false, true},
        {"aimed, homing from afar", 3, Normal, -1, 0, 9, 5000, 1, true, -1, true, false, true},
        {"aimed at another", 3, Normal, -1, 1, 10, 0, 2, false, -1, false, false, false},
        {"aimed at a striking car", 3, Strike, -1, 0, 10, 0, 1, false, -1, false, false, true},
        {"guided race, early step", 3, Normal, -1, 0, 10, 0, 1, false, 0, false, false, true},
        {"guided race, step 5", 3, Normal, -1, 0, 10, 0, 1, false, 5, true, false, true},
        {"a kind that does not hit", 5, Normal, -1, 0, 10, 0, 1, false, -1, false, false, false},
    };
    constexpr std::int32_t kCharges = 2;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        racers(2);
        game::cEntity* car = game::racerAt(0);
        car->m_segment = 10;
        car->m_state = r.state;
        car->m_heldItem = r.heldItem;
        car->m_itemCharges = r.heldItem == -1 ? 0 : kCharges;
        car->m_speed = car->m_maxSpeed = 5000;
        auto* layer = rt::makeAs<game::ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
        layer->m_sprite = 30;
        car->m_layerPlayers[4] = layer;
        game::racerAt(1)->m_segment = 15; // the player, far off
        game::cEntity* object = game::cEntity::cEntityWithType(2);
        object->m_widthProfile = ints({0, 0, 0, 0, 0, 100});
        object->m_active = 1;
        object->m_itemSlot = r.kind;
        object->m_offeredItem = -1;
        object->m_targetIndex = r.target;
        object->m_segment = r.segment;
        object->m_lateral = r.lateral;
        object->m_owner = r.owner;
        object->m_homing = r.homing ? 1 : 0;
        game::stateStatics().s_gameMode = r.guideStep < 0 ? game::GameMode::LapRace : game::GameMode::Guided;
        game::eventGoalStatics().s_guideStep = r.guideStep;
        game::hitRacersWithObject(object);
        EXPECT_EQ(car->m_effect == game::CarEffect::KnockOut, r.knocked);
        EXPECT_EQ(car->m_itemCharges, (r.heldItem == -1 ? 0 : kCharges) - r.knocked - r.charged);
        EXPECT_EQ(object->m_active != 0, !r.retires);
        const bool animated = r.knocked && r.guideStep < 0;
        EXPECT_EQ(layer->m_stopped, animated ? 0 : 1);
        if (r.knocked) {
            EXPECT_EQ(car->m_speed, 0);
            EXPECT_EQ(car->m_airborne, 1);
            EXPECT_EQ(car->m_jumpKind, 6);
        }
        if (animated) {
            EXPECT_EQ(layer->m_sprite, 30) << "the layer's own sprite";
            EXPECT_EQ(layer->m_animation, 34);
            EXPECT_EQ(layer->m_duration, 4200);
            EXPECT_EQ(layer->m_loops, 1) << "one pass";
        }
        if (r.homing) {
            EXPECT_EQ(game::racerStatics().s_playerCar->m_targetTime, 100 << 12);
        }
    }
    // A car without a player on its fifth layer is knocked out all the same.
    racers(2);
    game::cEntity* bare = game::racerAt(0);
    bare->m_segment = 10;
    bare->m_heldItem = -1;
    game::cEntity* object = game::cEntity::cEntityWithType(2);
    object->m_active = 1;
    object->m_itemSlot = 0;
    object->m_owner = 1;
    object->m_segment = 10;
    game::hitRacersWithObject(object);
    EXPECT_EQ(bare->m_effect, game::CarEffect::KnockOut);
    EXPECT_EQ(bare->m_layerPlayers[4], nullptr);
}

// A place past the segment's end is carried into the next segment, past
// the ring's end into the next lap.
TEST_F(RacePlacementTest, ACarPutOnTheTrackCarriesItsPlaceAcrossTheLine) {
    ring(10);
    game::cEntity* car = game::cEntity::cEntityWithType(1);
    EXPECT_EQ(game::resetOnTrack(car, 2, 9, 1000, -300, 100, 12), 0);
    EXPECT_EQ(car->m_lap, 3);
    EXPECT_EQ(car->m_segment, 0);
    EXPECT_EQ(car->m_segmentPos, 76);
    EXPECT_EQ(car->m_prevSegment, 9);
    EXPECT_EQ(car->m_lateral, -300);
    EXPECT_EQ(car->m_heading, 12);
    EXPECT_TRUE(car->m_side == 1 || car->m_side == -1);
}

// A car put back on the track shows none of the effects it ran: each layer's
// animation is stopped at its start with its passes counted afresh, whether
// it was mid-pass or already past its last one.
TEST_F(RacePlacementTest, PlacingACarStopsAndRewindsItsEffectLayers) {
    ring(10);
    game::cEntity* car = game::cEntity::cEntityWithType(1);
    auto* running = rt::makeAs<game::ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
    running->start(30, 3, 1000, 2);
    running->update(1500);
    auto* finished = rt::makeAs<game::ZoomedAnimPlayer>(rt::ClassId::PreZoomedAnimPlayer);
    finished->start(27, 0, 100, 0);
    finished->update(150);
    car->m_layerPlayers[0] = running;
    car->m_layerPlayers[4] = finished;
    game::resetOnTrack(car, 0, 2, 512, 0, 0, 0);
    for (const game::ZoomedAnimPlayer* layer : {running, finished}) {
        EXPECT_EQ(layer->m_stopped, 1);
        EXPECT_EQ(layer->m_time, 0);
        EXPECT_EQ(layer->m_loopsLeft, layer->m_loops);
    }
}

} // namespace
