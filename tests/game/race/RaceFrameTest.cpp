// The race frame with kinematic cars: six cars at constant speeds on a
// straight ring finish in an order, with racer times, lap times, best lap
// and last-lap delta that the test works out in closed form; the step
// bound; the lap a frame books to; the slipstream gaps.

#include "game/race/RaceFrame.h"
#include "game/data/EventSlots.h"
#include "game/framework/LoopStatics.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "tests/game/race/RaceDataFixture.h"

#include <vector>

namespace {

constexpr std::int32_t kSegments = 37;
constexpr std::int64_t kLap = kSegments * 1024;

std::vector<std::int32_t> g_steps;

// A car that moves (m_maxSpeed * dt) >> 12 along a straight ring.
void kinematic(game::cEntity* car, std::int32_t dt) {
    g_steps.push_back(dt);
    car->m_prevLap = car->m_lap;
    car->m_prevSegment = car->m_segment;
    car->m_prevSegmentPos = car->m_segmentPos;
    std::int64_t total = game::trackDistance(car->m_lap, car->m_segment, car->m_segmentPos, kSegments) +
                         ((std::int64_t{car->m_maxSpeed} * dt) >> 12);
    car->m_lap = static_cast<std::int32_t>(total / kLap);
    car->m_segment = static_cast<std::int32_t>(total % kLap / 1024);
    car->m_segmentPos = static_cast<std::int32_t>(total % 1024);
}

struct RaceFrameTest : race_testing::RaceDataTest {
    RaceFrameTest() {
        g_steps.clear();
        game::raceSteps().updatePlayerCar = kinematic;
        game::raceSteps().updateAiCar = kinematic;
        game::trackStatics().s_segmentCount = kSegments;
        game::initEventSlots();
        game::setSlotEventType(0, game::EventType::Laps);
        game::raceStatics().s_laps = 3;
    }
    ~RaceFrameTest() override { game::raceSteps() = {}; }

    // Cars in list order with these speeds; the last is the player's.
    static void racers(const std::vector<std::int32_t>& speeds) {
        auto n = static_cast<std::int32_t>(speeds.size());
        game::raceStatics().s_racers = rt::newObjectArray(n);
        for (std::int32_t i = 0; i < n; ++i) {
            game::cEntity* car = game::cEntity::cEntityWithType(i == n - 1 ? 0 : 1);
            car->m_racerIndex = i;
            rt::ObjectArray::set(game::raceStatics().s_racers, i, car);
        }
        game::racerStatics().s_playerCar = game::racerAt(n - 1);
        game::resetRaceRun();
        // Level on the start line rather than on the grid.
        for (std::int32_t i = 0; i < n; ++i) {
            game::cEntity* car = game::racerAt(i);
            car->m_racePosition = i;
            car->m_maxSpeed = speeds[static_cast<std::size_t>(i)];
            car->m_lap = car->m_prevLap = 1;
            car->m_segment = car->m_segmentPos = car->m_lateral = 0;
        }
    }
    static void frame(std::int32_t ms) {
        game::loopStatics().s_frameMs = ms;
        game::updateRace();
    }
    static std::int32_t racerTime(std::int32_t index) {
        return rt::IntArray::get(game::raceFrameStatics().s_racerTimes, index);
    }
};

TEST_F(RaceFrameTest, SixCarsFinishWithTheClocksWorkedOutInClosedForm) {
    const std::vector<std::int32_t> speeds = {12000, 11000, 9000, 8000, 7000, 10000};
    racers(speeds);
    constexpr std::int64_t dt = 163; // 40 ms
    auto perFrame = [&](std::size_t i) { return (speeds[i] * dt) >> 12; };
    // The frame in whose step a car completes its k-th lap.
    auto lapFrame = [&](std::int64_t k, std::size_t i) { return (k * kLap + perFrame(i) - 1) / perFrame(i); };

    for (int n = 0; n < 400 && !game::raceFrameStatics().s_raceOver; ++n)
        frame(40);
    ASSERT_EQ(game::raceFrameStatics().s_raceOver, 1);
    for (int n = 0; n < 20; ++n) // the race coasts on; nothing more is booked
        frame(40);

    // The faster cars lead from the first pass on; the player is third.
    std::vector<std::int32_t> order;
    for (std::int32_t i = 0; i < 6; ++i)
        order.push_back(game::racerAt(i)->m_racerIndex);
    EXPECT_EQ(order, (std::vector<std::int32_t>{0, 1, 5, 2, 3, 4}));
    EXPECT_EQ(game::raceFrameStatics().s_finalPosition, 2);
    EXPECT_EQ(game::raceStatics().s_raceResult, 1);

    const std::int64_t finish = lapFrame(3, 5);
    const std::int32_t place[] = {0, 1, 3, 4, 5, 2};
    for (std::size_t i = 0; i < 6; ++i) {
        std::int64_t expected;
        if (i < 2) {
            expected = lapFrame(3, i) * dt; // finished first: real time
        } else if (i == 5) {
            expected = finish * dt;
        } else {
            std::int64_t total = kLap + finish * perFrame(i);
            std::int64_t lap = total / kLap, segment = total % kLap / 1024, pos = total % 1024;
            std::int64_t remaining = ((3 - lap + 1) * kSegments - segment + 1) * 1024 - pos;
            std::int64_t r = ((remaining * 10) >> 10) << 12;
            expected = finish * dt + ((2 * (r << 12) / 227555 + 1) >> 1);
        }
        expected += 50 * place[i];
        EXPECT_EQ(racerTime(static_cast<std::int32_t>(i)), expected) << "racer " << i;
    }

    const std::int64_t g1 = lapFrame(1, 5), g2 = lapFrame(2, 5);
    const std::int64_t laps[] = {g1 * dt, (g2 - g1) * dt, (finish - g2) * dt};
    for (std::int32_t k = 0; k < 3; ++k)
        EXPECT_EQ(rt::IntArray::get(game::raceFrameStatics().s_lapTimes, k), laps[k]) << "lap " << k + 1;
    // The last lap ends in the finishing frame, which books no lap.
    EXPECT_EQ(game::raceFrameStatics().s_bestLapTime, std::min(laps[0], laps[1]));
    EXPECT_EQ(game::raceFrameStatics().s_lastLapDelta, laps[1] - laps[0]);
}

TEST_F(RaceFrameTest, ALongFrameMovesTheClocksFullyAndTheCarsOneStep) {
    racers({1000, 1000});
    frame(1000);
    EXPECT_EQ(game::raceStatics().s_raceFrameTime, 4096);
    EXPECT_EQ(g_steps, (std::vector<std::int32_t>{409, 409}));
    EXPECT_EQ(racerTime(0), 4096);
    EXPECT_EQ(racerTime(1), 4096);
    frame(40);
    EXPECT_EQ(game::raceStatics().s_raceFrameTime, 163);
    EXPECT_EQ(racerTime(1), 4096 + 163);
}

TEST_F(RaceFrameTest, FramesBookToLapOneBeforeTheLineAndToTheLastLapAfterIt) {
    racers({0, 0});
    game::cEntity* player = game::racerStatics().s_playerCar;
    player->m_lap = player->m_prevLap = 0;
    frame(40);
    player->m_lap = player->m_prevLap = 2;
    frame(40);
    // Past the last lap, under an event type without a finish rule.
    game::setSlotEventType(0, game::EventType::OpenDistance);
    player->m_lap = player->m_prevLap = 7;
    game::raceStatics().s_laps = 2;
    frame(40);
    rt::IntArray* laps = game::raceFrameStatics().s_lapTimes;
    EXPECT_EQ(rt::IntArray::get(laps, 0), 163);
    EXPECT_EQ(rt::IntArray::get(laps, 1), 163 + 163);
    EXPECT_EQ(rt::IntArray::get(laps, 2), 0);
}

TEST_F(RaceFrameTest, SlipstreamIsFoundOnlyStrictlyInsideItsRange) {
    racers({0, 0});
    game::cEntity* ahead = game::racerAt(0);
    game::cEntity* player = game::racerAt(1);
    player->m_widthProfile = rt::newIntArray(12);
    rt::IntArray::set(player->m_widthProfile, 5, 300);
    struct Row {
        std::int32_t aheadSeg, aheadPos, playerSeg, playerPos, dx;
        bool slip;
    };
    const Row rows[] = {
        {10, 0, 10, 0, 0, false}, // level: gap 0
        {14, 0, 10, 0, 0, false}, // exactly the range
        {13, 1023, 10, 0, 0, true},   {10, 1, 10, 0, 0, true},
        {1, 0, 35, 0, 0, true}, // across the start line
        {10, 500, 10, 0, 300, false}, {10, 500, 10, 0, 299, true},
        {9, 0, 10, 0, 0, false}, // behind
    };
    for (const Row& r : rows) {
        ahead->m_segment = r.aheadSeg;
        ahead->m_segmentPos = r.aheadPos;
        ahead->m_lateral = r.dx;
        player->m_segment = r.playerSeg;
        player->m_segmentPos = r.playerPos;
        game::updateSlipstream();
        EXPECT_EQ(player->m_carFlags[3] != 0, r.slip) << r.aheadSeg << "/" << r.aheadPos << " dx " << r.dx;
    }
    // The leader has no car ahead.
    player->m_racePosition = 0;
    ahead->m_racePosition = 1;
    ahead->m_segment = 11;
    game::updateSlipstream();
    EXPECT_EQ(player->m_carFlags[3], 0);
}

TEST_F(RaceFrameTest, ARestartClearsTheEventObjectsMarksAndLeavesTheDynamicTriggers) {
    using race_testing::ints;
    using race_testing::values;
    // Track 0, variant 1 is the current event; variant 0 is another's.
    rt::ByteArray::set(game::eventSlotStatics().s_eventVariant, 0, 1);
    rt::IntArray* mine = ints({1, 2, 3, 4, 5, 1, 7, 8, 9, 10, 11, 1});
    rt::IntArray* other = ints({1, 2, 3, 4, 5, 1});
    rt::ObjectArray* objects = rt::newObjectArray(2);
    rt::ObjectArray::set(objects, 0, other);
    rt::ObjectArray::set(objects, 1, mine);
    game::eventStatics().s_eventObjects = rt::newObjectArray(1);
    rt::ObjectArray::set(game::eventStatics().s_eventObjects, 0, objects);
    rt::IntArray* triggers = ints({0x8005, 0x1003, 6, 7, 8, 9});
    rt::ObjectArray* triggerVariants = rt::newObjectArray(2);
    rt::ObjectArray::set(triggerVariants, 1, triggers);
    game::eventStatics().s_dynamicTriggers = rt::newObjectArray(1);
    rt::ObjectArray::set(game::eventStatics().s_dynamicTriggers, 0, triggerVariants);

    racers({0, 0});
    EXPECT_EQ(values(mine), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 0, 7, 8, 9, 10, 11, 0}));
    EXPECT_EQ(values(other), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 1}));
    EXPECT_EQ(values(triggers), (std::vector<std::int32_t>{0x8005, 0x1003, 6, 7, 8, 9}));
}

} // namespace
