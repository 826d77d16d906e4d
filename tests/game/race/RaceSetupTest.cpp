// Setting a race up: the opponent draw inside short and empty blocks, the
// redraw that stops when a block runs out of racers, the racer count and
// laps held to what the race can run, and what the first race state finds
// set up (best lap, head-up display kind, camera tour, total segments).

#include "game/race/RaceSetup.h"
#include "classlib/util/Random.h"
#include "game/data/EventSlots.h"
#include "game/framework/States.h"
#include "game/race/EventGoals.h"
#include "game/race/EventRowLayout.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/TextLayout.h"
#include "tests/game/race/RaceDataFixture.h"
#include "tests/support/LogCapture.h"

#include <set>
#include <vector>

namespace {

struct RaceSetup : race_testing::RaceDataTest {
    rt::IntArray* row = nullptr;

    RaceSetup() {
        game::initEventSlots();
        game::EventStatics& events = game::eventStatics();
        events.s_eventRows = rt::newObjectArray(6);
        rt::ObjectArray* variants = rt::newObjectArray(1);
        row = rt::newIntArray(17);
        rt::ObjectArray::set(variants, 0, row);
        rt::ObjectArray::set(events.s_eventRows, 0, variants);
        lib::java_util_Random::seedSharedRandom(7);
        // Blocks of 4, 3 and 0 records; the race table's one row lets every
        // record in.
        blocks({4, 3, 0});
        rt::ShortArray* themes = rt::newShortArray(game::kRaceRowValues);
        rt::ShortArray::set(themes, 7, static_cast<std::int16_t>(0xFFFF));
        game::raceTableStatics().s_themeTable = themes;
    }

    static void blocks(const std::vector<std::int16_t>& sizes) {
        game::RaceTableStatics& t = game::raceTableStatics();
        auto n = static_cast<std::int32_t>(sizes.size());
        t.s_racerBlockSizes = rt::newShortArray(n + 1);
        t.s_racerRecords = rt::newObjectArray(n);
        std::int16_t total = 0;
        for (std::int32_t b = 0; b < n; ++b) {
            rt::ShortArray::set(t.s_racerBlockSizes, b, sizes[static_cast<std::size_t>(b)]);
            rt::ObjectArray::set(t.s_racerRecords, b,
                                 rt::newShortArray(10 * sizes[static_cast<std::size_t>(b)]));
            total = static_cast<std::int16_t>(total + sizes[static_cast<std::size_t>(b)]);
        }
        rt::ShortArray::set(t.s_racerBlockSizes, n, total);
    }
    static void freshOpponents(std::int32_t player) {
        game::RaceSetupStatics& s = game::raceSetupStatics();
        s.s_opponentIds = rt::newIntArray(game::kOpponentSlots);
        for (std::int32_t& id : rt::IntArray::span(s.s_opponentIds))
            id = -1;
        rt::IntArray::set(s.s_opponentIds, 0, player);
        s.s_opponentCount = 1;
    }
};

TEST_F(RaceSetup, OpponentDrawsStayInsideAShortBlock) {
    // Block 1 holds racers 4, 5 and 6: the draw must reach both ends and
    // nothing past them, and never index past the block's list.
    testing_support::LogCapture log;
    std::set<std::int32_t> seen;
    for (int i = 0; i < 200; ++i) {
        freshOpponents(-1);
        std::int32_t id = game::pickOpponent(1);
        ASSERT_GE(id, 4);
        ASSERT_LE(id, 6);
        seen.insert(id);
        EXPECT_EQ(rt::IntArray::get(game::raceSetupStatics().s_opponentIds, 1), id);
    }
    EXPECT_EQ(seen, (std::set<std::int32_t>{4, 5, 6}));
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();

    // An id already in the race answers -1; an empty or missing block
    // answers -1 without a draw.
    freshOpponents(4);
    rt::IntArray::set(game::raceSetupStatics().s_opponentIds, 1, 5);
    rt::IntArray::set(game::raceSetupStatics().s_opponentIds, 2, 6);
    EXPECT_EQ(game::pickOpponent(1), -1);
    const std::int64_t state = lib::java_util_Random::shared()->state();
    EXPECT_EQ(game::pickOpponent(2), -1);
    EXPECT_EQ(game::pickOpponent(7), -1);
    EXPECT_EQ(lib::java_util_Random::shared()->state(), state);
}

TEST_F(RaceSetup, FilteredDrawsTakeOnlyTheRecordsTheRaceRowLetsIn) {
    // Records 1 and 3 of block 0 carry the filter value 9: record 0, which
    // does not, never races (the draw's list has unfilled entries after the
    // two matches).
    rt::ShortArray::set(game::raceTableStatics().s_themeTable, 7, 9);
    auto* records =
        static_cast<rt::ShortArray*>(rt::ObjectArray::get(game::raceTableStatics().s_racerRecords, 0));
    rt::ShortArray::set(records, 10 * 1 + 8, 9);
    rt::ShortArray::set(records, 10 * 3 + 8, 9);
    std::set<std::int32_t> seen;
    for (int i = 0; i < 200; ++i) {
        freshOpponents(-1);
        seen.insert(game::pickOpponent(0));
    }
    EXPECT_EQ(seen, (std::set<std::int32_t>{1, 3}));

    // A block with no record let in answers -1 without a draw; the race's
    // cars then take the block's free racers in order.
    rt::ShortArray::set(game::raceTableStatics().s_themeTable, 7, 5);
    freshOpponents(-1);
    const std::int64_t state = lib::java_util_Random::shared()->state();
    EXPECT_EQ(game::pickOpponent(0), -1);
    EXPECT_EQ(lib::java_util_Random::shared()->state(), state);
    EXPECT_EQ(game::drawOpponent(0), 0);
    EXPECT_EQ(game::drawOpponent(0), 1);
}

TEST_F(RaceSetup, RacersFromABlockTooSmallTakeTheFreeIdsThenReuseOne) {
    // The player is racer 5 of block 1 (4, 5, 6); seven computer cars.
    game::racerStatics().s_playerRacerId = 5;
    rt::IntArray::set(row, game::kEventRacersField, 8);
    game::createRacers();
    ASSERT_EQ(game::racerCount(), 8);
    rt::ObjectArray::set(game::raceStatics().s_racers, 7, game::cEntity::cEntityWithType(0));
    testing_support::LogCapture log;
    game::setupRacers();
    EXPECT_TRUE(log.contains("racer 4 drives twice"));
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(game::racerAt(i)->m_racerIndex, i);
        EXPECT_EQ(game::racerAt(i)->m_type, 1);
        ids.push_back(game::racerAt(i)->m_carType);
    }
    EXPECT_EQ(std::set<std::int32_t>(ids.begin(), ids.begin() + 2), (std::set<std::int32_t>{4, 6}));
    for (std::size_t i = 2; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], 4) << i;
    EXPECT_EQ(rt::IntArray::get(game::raceSetupStatics().s_opponentIds, 0), 5);
}

TEST_F(RaceSetup, RacerCountsAreHeldToWhatTheRaceCanRun) {
    struct Row {
        std::int32_t field;
        game::GameMode mode;
        std::int32_t want;
    };
    constexpr game::GameMode kLapRace = game::GameMode::LapRace;
    for (Row r : {Row{0, kLapRace, 1}, Row{1, kLapRace, 1}, Row{6, kLapRace, 6}, Row{10, kLapRace, 10},
                  Row{12, kLapRace, 10}, Row{-3, kLapRace, 1}, Row{8, game::GameMode::Guided, 2}}) {
        rt::IntArray::set(row, game::kEventRacersField, r.field);
        game::stateStatics().s_gameMode = r.mode;
        game::createRacers();
        EXPECT_EQ(game::racerCount(), r.want) << r.field << " in mode " << r.mode;
        for (std::int32_t i = 0; i < r.want - 1; ++i) {
            EXPECT_EQ(game::racerAt(i)->m_type, -1);
            EXPECT_EQ(game::racerAt(i)->m_itemSlot, -1);
        }
        EXPECT_EQ(rt::ObjectArray::get(game::raceStatics().s_racers, r.want - 1), nullptr);
    }
}

TEST_F(RaceSetup, TheFirstRaceStateFindsTheRaceSetUp) {
    game::TrackStatics& t = game::trackStatics();
    t.s_segmentCount = 30;
    t.s_targetTimes = race_testing::ints({61 * 4096 + 123, 70 * 4096, 80 * 4096});
    game::setSlotEventType(0, game::EventType::Score);
    struct Row {
        std::int32_t laps, wantLaps;
    };
    for (Row r : {Row{0, 1}, Row{3, 3}}) {
        rt::IntArray::set(row, game::kEventLapsField, r.laps);
        rt::IntArray::set(row, game::kEventRacersField, 3);
        game::createRacers();
        game::cEntity* player = game::cEntity::cEntityWithType(0);
        rt::ObjectArray::set(game::raceStatics().s_racers, 2, player);
        game::racerStatics().s_playerCar = player;
        game::cameraStatics().s_tourRacer = 9;
        game::raceStatics().s_raceSetUp = 0;
        game::ensureRaceSetUp();
        EXPECT_EQ(game::raceStatics().s_raceSetUp, 1);
        EXPECT_EQ(game::raceStatics().s_laps, r.wantLaps);
        EXPECT_EQ(game::raceStatics().s_totalSegments, 30 * r.wantLaps);
        EXPECT_EQ(game::raceFrameStatics().s_lapTimes->length(), r.wantLaps);
        EXPECT_EQ(game::raceFrameStatics().s_bestLapTime, 61 * 4096 + 123) << "taken as stored";
        EXPECT_EQ(game::hudStatics().s_hudKind, 5);
        EXPECT_EQ(game::hudStatics().s_hudElements, 0x191086);
        EXPECT_EQ(game::hudStatics().s_hudPhase, 0) << "the display's intro starts afresh";
        EXPECT_EQ(game::cameraStatics().s_tourRacer, 1);
        EXPECT_TRUE(game::racersInRaceOrder());
    }
    // Set up once: a second entry leaves it as it is.
    game::raceStatics().s_laps = 7;
    game::ensureRaceSetUp();
    EXPECT_EQ(game::raceStatics().s_laps, 7);
}

} // namespace
