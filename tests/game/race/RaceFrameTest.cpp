// The race frame with driven cars: six cars of different top speeds on a
// straight ring finish in an order, with racer times, lap times, best lap
// and last-lap delta that the test works out from where the cars were after
// each frame; the step bound; the lap a frame books to; the slipstream gaps;
// what the finish hands over.

#include "game/race/RaceFrame.h"
#include "game/data/EventSlots.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/Blink.h"
#include "game/race/ComputerDriver.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/StartSequence.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/OrvelLibPlayer.h"
#include "tests/game/race/HeardSounds.h"
#include "tests/game/race/OpponentsFixture.h"

#include <algorithm>
#include <numeric>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace race_frame_test {

namespace {

using game::kmhToSpeed;

constexpr std::int32_t kSegments = 37;
constexpr std::int32_t kLaps = 3;

struct RaceFrameTest : race_testing::OpponentsTest {
    RaceFrameTest() {
        game::initDriverTables();
        loadRing(datakit::TrackRing().straight(kSegments));
        ring(kSegments, kLaps);
        game::initEventSlots();
        game::setSlotEventType(0, game::EventType::Laps);
        game::stateStatics().s_state = game::State::Race;
        game::stateStatics().s_gameMode = game::GameMode::LapRace;
    }
    ~RaceFrameTest() override { game::stateStatics().s_state = game::State{}; }

    // Cars in list order with these top speeds in km/h, placed on the grid
    // by the run's reset; the last is the player's.
    static std::vector<game::cEntity*> racers(const std::vector<std::int32_t>& kmh) {
        std::vector<game::cEntity*> cars = fieldOf(kmh);
        game::resetRaceRun();
        game::placeCameraBehindPlayer();
        return cars;
    }
    static void frame(std::int32_t ms) {
        race_testing::deviceClock().advance(static_cast<std::uint32_t>(ms));
        game::loopStatics().s_frameMs = ms;
        game::updateRace();
    }
    static std::int32_t racerTime(std::int32_t index) {
        return rt::IntArray::get(game::raceFrameStatics().s_racerTimes, index);
    }
};

// Where a car was after a frame.
struct Spot {
    std::int32_t lap, segment, position;
    std::int64_t distance() const { return game::trackDistance(lap, segment, position, kSegments); }
};

TEST_F(RaceFrameTest, SixCarsFinishWithTheClocksWorkedOutFromTheirCourse) {
    const std::vector<game::cEntity*> cars = racers({260, 245, 185, 170, 155, 215});
    constexpr std::int64_t dt = 163; // 40 ms
    // spots[n][i]: car i after frame n (frame 0: the start).
    std::vector<std::vector<Spot>> spots;
    auto record = [&] {
        spots.emplace_back();
        for (const game::cEntity* car : cars)
            spots.back().push_back({car->m_lap, car->m_segment, car->m_segmentPos});
    };
    record();
    for (int n = 0; n < 3000 && !game::raceFrameStatics().s_raceOver; ++n) {
        steerScript(cars.back());
        frame(40);
        record();
    }
    ASSERT_EQ(game::raceFrameStatics().s_raceOver, 1);
    for (int n = 0; n < 20; ++n) { // the race coasts on; nothing more is booked
        steerScript(cars.back());
        frame(40);
    }

    // The frame after which car i had first reached lap `lap`.
    auto reached = [&](std::size_t i, std::int32_t lap) -> std::int64_t {
        for (std::size_t n = 0; n < spots.size(); ++n)
            if (spots[n][i].lap >= lap)
                return static_cast<std::int64_t>(n);
        return -1;
    };
    const std::size_t p = cars.size() - 1;
    const std::int64_t finish = reached(p, kLaps + 1);
    ASSERT_GT(finish, 0);
    // The places: the cars home by then in the order they came home, then
    // the others by the distance they had run.
    const std::vector<Spot>& atFinish = spots[static_cast<std::size_t>(finish)];
    auto homeBy = [&](std::size_t i) {
        const std::int64_t home = reached(i, kLaps + 1);
        return home >= 0 && home <= finish ? home : finish + 1;
    };
    std::vector<std::size_t> byPlace(cars.size());
    std::iota(byPlace.begin(), byPlace.end(), 0);
    std::stable_sort(byPlace.begin(), byPlace.end(), [&](std::size_t a, std::size_t b) {
        return homeBy(a) != homeBy(b) ? homeBy(a) < homeBy(b)
                                      : atFinish[a].distance() > atFinish[b].distance();
    });
    std::vector<std::int32_t> order, wanted;
    for (std::int32_t k = 0; k < 6; ++k) {
        order.push_back(game::racerAt(k)->m_racerIndex);
        wanted.push_back(static_cast<std::int32_t>(byPlace[static_cast<std::size_t>(k)]));
    }
    EXPECT_EQ(order, wanted);
    const auto placeOf = [&](std::size_t i) {
        return static_cast<std::int32_t>(std::find(byPlace.begin(), byPlace.end(), i) - byPlace.begin());
    };
    // Both kinds of racer time are there: cars home before the player and
    // cars still running.
    ASSERT_LT(homeBy(byPlace.front()), finish);
    ASSERT_GT(homeBy(byPlace.back()), finish);
    EXPECT_EQ(game::raceFrameStatics().s_finalPosition, placeOf(p));
    EXPECT_EQ(game::raceStatics().s_raceResult, placeOf(p) < 3 ? 1 : 0);

    for (std::size_t i = 0; i < cars.size(); ++i) {
        std::int64_t expected;
        if (homeBy(i) <= finish) {
            expected = homeBy(i) * dt; // home by the player's finish: the time run
        } else {
            // Still running: the rest of the race at 200 km/h.
            const Spot& at = atFinish[i];
            std::int64_t remaining = ((kLaps - at.lap + 1) * kSegments - at.segment + 1) * 1024 - at.position;
            std::int64_t r = ((remaining * 10) >> 10) << 12;
            expected = finish * dt + ((2 * (r << 12) / kmhToSpeed(200) + 1) >> 1);
        }
        expected += 50 * placeOf(i);
        EXPECT_EQ(racerTime(static_cast<std::int32_t>(i)), expected) << "racer " << i;
    }

    // Frames while the player is before the line (lap 0) book to lap 1.
    const std::int64_t g1 = reached(p, 2), g2 = reached(p, 3);
    const std::int64_t laps[] = {g1 * dt, (g2 - g1) * dt, (finish - g2) * dt};
    for (std::int32_t k = 0; k < 3; ++k)
        EXPECT_EQ(rt::IntArray::get(game::raceFrameStatics().s_lapTimes, k), laps[k]) << "lap " << k + 1;
    // The last lap ends in the finishing frame, which books no lap.
    EXPECT_EQ(game::raceFrameStatics().s_bestLapTime, std::min(laps[0], laps[1]));
    EXPECT_EQ(game::raceFrameStatics().s_lastLapDelta, laps[1] - laps[0]);
}

// Each car's effect timer runs down by the step each car is given.
TEST_F(RaceFrameTest, ALongFrameMovesTheClocksFullyAndTheCarsOneStep) {
    const std::vector<game::cEntity*> cars = racers({150, 150});
    for (game::cEntity* car : cars)
        car->m_effectTimer = 1000;
    frame(1000);
    EXPECT_EQ(game::raceStatics().s_raceFrameTime, 4096);
    EXPECT_EQ(cars[0]->m_effectTimer, 1000 - 409);
    EXPECT_EQ(cars[1]->m_effectTimer, 1000 - 409);
    EXPECT_EQ(racerTime(0), 4096);
    EXPECT_EQ(racerTime(1), 4096);
    frame(40);
    EXPECT_EQ(game::raceStatics().s_raceFrameTime, 163);
    EXPECT_EQ(cars[1]->m_effectTimer, 1000 - 409 - 163);
    EXPECT_EQ(racerTime(1), 4096 + 163);
}

TEST_F(RaceFrameTest, FramesBookToLapOneBeforeTheLineAndToTheLastLapAfterIt) {
    racers({150, 150});
    game::cEntity* player = game::racerStatics().s_playerCar;
    player->m_lap = player->m_prevLap = 0;
    player->m_segment = player->m_prevSegment = 10;
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

// The finish: the race over at the player's place, the music stopped and
// the result's sound played (6 won, 7 lost), no soft keys, the blink
// started, and the finish animation made on sprite 15 at the overlay's
// place; it selects no animation, so it has played out at once.
TEST_F(RaceFrameTest, TheFinishPlaysTheResultStartsTheBlinkAndMakesTheFinishAnimation) {
    race_testing::HeardSounds sounds;
    game::startupStatics().s_sprites = rt::newObjectArray(64);
    game::ASprite* overlay = game::ASprite::initDefaults();
    rt::ObjectArray::set(game::startupStatics().s_sprites, 15, overlay);
    racers({150, 150, 150});
    game::racerStatics().s_playerCar->m_racePosition = 1;
    for (const auto& [result, sound] : {std::pair{1, 6}, std::pair{0, 7}}) {
        SCOPED_TRACE(result);
        game::raceStatics().s_raceResult = result;
        game::raceFrameStatics().s_raceOver = 0;
        game::touchStatics().s_leftSoftKey = game::touchStatics().s_rightSoftKey = 3;
        game::hudStateStatics().s_finishPlayer = nullptr;
        game::blinkStatics() = game::BlinkStatics{};
        sounds.play(3);
        game::finishRace();
        EXPECT_EQ(game::raceFrameStatics().s_raceOver, 1);
        EXPECT_EQ(game::raceFrameStatics().s_finalPosition, 1);
        EXPECT_EQ(game::soundChannelStatics().s_rememberedMusic, 3) << "the music stopped";
        EXPECT_EQ(sounds.last(), sound);
        EXPECT_EQ(game::touchStatics().s_leftSoftKey, -1);
        EXPECT_EQ(game::touchStatics().s_rightSoftKey, -1);
        const game::BlinkStatics& u = game::blinkStatics();
        EXPECT_EQ(u.s_blinkPeriod, game::cameraStatics().s_blinkStartPeriod);
        EXPECT_EQ(u.s_blinkTimer, 2 * u.s_blinkPeriod);
        EXPECT_EQ(u.s_blinkLoop, 1);
        rt::Object* made = game::hudStateStatics().s_finishPlayer;
        ASSERT_NE(made, nullptr);
        ASSERT_EQ(made->classId(), game::OrvelLibPlayer::kClassId);
        const auto* animation = static_cast<const game::OrvelLibPlayer*>(made);
        EXPECT_EQ(animation->m_sprite, overlay);
        EXPECT_EQ(animation->m_x, game::hudStateStatics().s_finishX);
        EXPECT_EQ(animation->m_y, game::hudStateStatics().s_finishY);
        EXPECT_TRUE(game::advanceFinishAnimation());
    }
}

TEST_F(RaceFrameTest, SlipstreamIsFoundOnlyStrictlyInsideItsRange) {
    racers({150, 150});
    game::cEntity* ahead = game::racerAt(0);
    game::cEntity* player = game::racerAt(1);
    player->m_widthProfile = rt::newIntArray(12);
    rt::IntArray::set(player->m_widthProfile, 5, 300);
    player->m_lateral = 0;
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

    racers({150, 150});
    EXPECT_EQ(values(mine), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 0, 7, 8, 9, 10, 11, 0}));
    EXPECT_EQ(values(other), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 1}));
    EXPECT_EQ(values(triggers), (std::vector<std::int32_t>{0x8005, 0x1003, 6, 7, 8, 9}));
}

} // namespace

} // namespace race_frame_test
