// Event goals: one table of finish rules over the event types with the
// cases where a rule is easy to get wrong (the stop zone's early stop and
// its overrun, off-road kinds, a score at a target, a first run over the
// limit, the one-second points tick and lap 0), the best-time list, the
// random delay and the set-up of each type from its event row.

#include "game/race/EventGoals.h"
#include "classlib/util/Random.h"
#include "game/data/EventSlots.h"
#include "game/data/SaveRecords.h"
#include "game/framework/States.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "tests/game/race/RaceDataFixture.h"

#include <climits>
#include <functional>
#include <vector>

namespace {

using race_testing::ints;
using race_testing::values;

constexpr std::int32_t kSegments = 20;

struct EventGoalsTest : race_testing::RaceDataTest {
    game::cEntity* player = nullptr;

    EventGoalsTest() {
        game::trackStatics().s_segmentCount = kSegments;
        game::raceStatics().s_laps = 2;
        game::initEventSlots();
        player = game::cEntity::cEntityWithType(0);
        player->m_lap = 1;
        game::racerStatics().s_playerCar = player;
        game::SaveRecordStatics& records = game::saveRecordStatics();
        // The chosen event is the second of its list.
        game::eventGoalStatics().s_chosenEvent = 1;
        records.s_eventRecords = ints({0, 0, 0, 4096, 8192, 12288});
        records.s_eventResults = ints({0, 20000});
        records.s_eventProgress = ints({0, 30});
    }

    // The current event: type `type` with fields 1 to 3, 6 and 7.
    static void event(game::EventType type, std::int32_t f1, std::int32_t f2, std::int32_t f3,
                      std::int32_t f6, std::int32_t f7) {
        std::vector<std::int32_t> row(17, 0);
        row[0] = game::eventTypeNumber(type);
        row[1] = f1;
        row[2] = f2;
        row[3] = f3;
        row[6] = f6;
        row[7] = f7;
        rt::ObjectArray* variants = rt::newObjectArray(1);
        rt::ObjectArray::set(variants, 0, ints(row));
        game::eventStatics().s_eventRows = rt::newObjectArray(1);
        rt::ObjectArray::set(game::eventStatics().s_eventRows, 0, variants);
        game::setSlotEventType(0, type);
    }
    void at(std::int32_t lap, std::int32_t segment, std::int32_t speed = 0) {
        player->m_lap = lap;
        player->m_segment = segment;
        player->m_speed = speed;
    }
    bool rule(std::int32_t dt = 163, std::int64_t now = 0) { return game::applyFinishRule(player, dt, now); }
};

TEST_F(EventGoalsTest, EachEventTypeFinishesByItsOwnRule) {
    game::EventGoalStatics& g = game::eventGoalStatics();
    struct Row {
        const char* name;
        std::function<void(EventGoalsTest&)> run; // sets up the event and drives it to the frame judged
        bool finished;
        std::int32_t result, position;
    };
    // The player starts each row at lap 1, segment 0, position 1, stopped.
    const std::vector<Row> rows = {
        {"0: laps done in third place",
         []([[maybe_unused]] auto& t) {
             event(game::EventType::Laps, 0, 0, 0, 0, 0), t.at(3, 0), t.player->m_racePosition = 2;
         },
         true, 1, 2},
        {"0: laps done in fourth place",
         []([[maybe_unused]] auto& t) {
             event(game::EventType::Laps, 0, 0, 0, 0, 0), t.at(3, 0), t.player->m_racePosition = 3;
         },
         true, 0, 3},
        {"0: last lap running",
         []([[maybe_unused]] auto& t) { event(game::EventType::Laps, 0, 0, 0, 0, 0), t.at(2, 19); }, false, 0,
         1},
        {"2: enough collected",
         []([[maybe_unused]] auto& t) {
             event(game::EventType::Collection, 5, 0, 0, 0, 0), t.at(3, 0), t.player->m_collected = 5;
         },
         true, 1, 1},
        {"2: too few collected",
         []([[maybe_unused]] auto& t) {
             event(game::EventType::Collection, 5, 0, 0, 0, 0), t.at(3, 0), t.player->m_collected = 4;
         },
         true, 0, 1},
        // Type 1 from the segment before the line for a full lap: the end is
        // progress 19 + 20 + 1 = 40. Best times of the event: 1, 2, 3 s.
        {"1: one segment short runs the clock",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Distance, 0, 0, 0, -1, -1), game::setupEntryByType(), t.at(1, 19),
                 t.rule();
         },
         false, 0, 1},
        {"1: in second time",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Distance, 0, 0, 0, -1, -1), game::setupEntryByType(),
                 g.s_eventClock = 8000, t.at(2, 0);
         },
         true, 1, 1},
        {"1: over the third time",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Distance, 0, 0, 0, -1, -1), game::setupEntryByType(),
                 g.s_eventClock = 12289, t.at(2, 0);
         },
         true, 0, 1},
        // Type 3 over segments 4 to 9 with the targets 300, 200 and 100.
        {"3: score equal to the second target",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Score, 300, 200, 100, 4, 5), game::setupEntryByType(), g.s_score = 200,
                                                                                           t.at(0, 10);
         },
         true, 1, 1},
        {"3: below every target",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Score, 300, 200, 100, 4, 5), game::setupEntryByType(), g.s_score = 99,
                                                                                           t.at(0, 10);
         },
         true, 0, 3},
        // Type 4: the event's limit is 20000 unless a row makes it a first run.
        {"4: over the limit on a first run wins",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StopAndGo, 0, 0, 0, 0, 0),
                 game::saveRecordStatics().s_eventResults = ints({0, 0}), game::setupEntryByType(),
                 g.s_stopGoClock = 99999, t.at(3, 0);
         },
         true, 1, 0},
        {"4: over the limit",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StopAndGo, 0, 0, 0, 0, 0), game::setupEntryByType(),
                 g.s_stopGoClock = 20001, t.at(3, 0);
         },
         true, 0, 3},
        {"4: within the limit",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StopAndGo, 0, 0, 0, 0, 0), game::setupEntryByType(),
                 g.s_stopGoClock = 20000, t.at(3, 0);
         },
         true, 1, 0},
        {"5: laps done in first place",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Points, 0, 0, 0, 0, 0), game::setupEntryByType(), t.at(3, 0),
                 t.player->m_racePosition = 0;
         },
         true, 1, 0},
        {"5: laps done in second place",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Points, 0, 0, 0, 0, 0), game::setupEntryByType(), t.at(3, 0),
                 t.player->m_racePosition = 1;
         },
         true, 0, 1},
        // Type 7 over segments 4 to 9 with 1, 2 and 3 s (in milliseconds).
        {"7: off-road kind 1 fails at once",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Section, 1000, 2000, 3000, 4, 5), game::setupEntryByType(), t.at(0, 5),
                 t.player->m_offRoad = 1;
         },
         true, 0, 3},
        {"7: off-road kind 3 drives on",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Section, 1000, 2000, 3000, 4, 5), game::setupEntryByType(), t.at(0, 5),
                 t.player->m_offRoad = 3;
         },
         false, 0, 1},
        {"7: spinning fails",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Section, 1000, 2000, 3000, 4, 5), game::setupEntryByType(), t.at(0, 5),
                 t.player->m_spinning = 1;
         },
         true, 0, 3},
        {"7: at the end in the first time",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Section, 1000, 2000, 3000, 4, 5), game::setupEntryByType(),
                 g.s_section.clock = 4096, t.at(0, 9);
         },
         true, 1, 0},
        {"7: the clock past the third time",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Section, 1000, 2000, 3000, 4, 5), game::setupEntryByType(),
                 g.s_section.clock = 12289, t.at(0, 5);
         },
         true, 0, 3},
        {"9: its own clock, in the second time",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::SecondSection, 1000, 2000, 3000, 4, 5), game::setupEntryByType(),
                 g.s_secondSection.clock = 8192, t.at(0, 9);
             g.s_section.clock = 99999; // type 7's clock plays no part
         },
         true, 1, 1},
        // Type 8: the zone is segments 9 and 10.
        {"8: stopped a segment early keeps the clock running",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StopZone, 1000, 2000, 3000, 4, 5), game::setupEntryByType(), t.at(0, 8),
                 t.rule();
         },
         false, 0, 1},
        {"8: rolling in the zone",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StopZone, 1000, 2000, 3000, 4, 5), game::setupEntryByType(),
                 t.at(0, 10, 5);
         },
         false, 0, 1},
        {"8: stopped in the zone's second segment",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StopZone, 1000, 2000, 3000, 4, 5), game::setupEntryByType(),
                 g.s_stopZone.clock = 8192, t.at(0, 10);
         },
         true, 1, 1},
        {"8: reaching end + 2 has overrun",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StopZone, 1000, 2000, 3000, 4, 5), game::setupEntryByType(), t.at(0, 11);
         },
         true, 0, 3},
        {"8: off-road kind 2",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StopZone, 1000, 2000, 3000, 4, 5), game::setupEntryByType(), t.at(0, 9),
                 t.player->m_offRoad = 2;
         },
         true, 0, 3},
        {"10: running",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StateJudged, 1000, 2000, 3000, 0, 0), game::setupEntryByType(),
                 t.at(5, 0);
         },
         false, 0, 1},
        {"10: timed out",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StateJudged, 1000, 2000, 3000, 0, 0), game::setupEntryByType(),
                 g.s_type10Clock = 12289;
         },
         true, 0, 3},
        {"10: succeeded",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::StateJudged, 1000, 2000, 3000, 0, 0), game::setupEntryByType(),
                 g.s_type10State = 3, g.s_type10Clock = 100;
         },
         true, 1, 0},
        // Type 11 to segment 4 + 5.
        {"11: at the end first",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Sprint, 0, 0, 0, 4, 5), game::setupEntryByType(), t.at(0, 9),
                 t.player->m_racePosition = 0;
         },
         true, 1, 0},
        {"11: at the end second",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Sprint, 0, 0, 0, 4, 5), game::setupEntryByType(), t.at(0, 9);
         },
         true, 0, 1},
        {"11: a segment short",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Sprint, 0, 0, 0, 4, 5), game::setupEntryByType(), t.at(0, 8);
         },
         false, 0, 1},
        // Type 6 ends with its guide: the frame the last lesson's time runs
        // out, won; a lesson still waiting for its input keeps it going.
        {"6: the last lesson's time runs out",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Guided, 0, 0, 0, 0, 0), g.s_guideStep = 8, g.s_guideTimer = 1;
         },
         true, 1, 1},
        {"6: the last lesson waits",
         [&]([[maybe_unused]] auto& t) {
             event(game::EventType::Guided, 0, 0, 0, 0, 0), g.s_guideStep = 8, g.s_guideTimer = 0;
         },
         false, 0, 1},
    };
    for (const Row& r : rows) {
        game::raceStatics().s_raceFinished = 0;
        game::raceStatics().s_raceResult = 0;
        player->m_racePosition = 1;
        player->m_offRoad = 0;
        player->m_spinning = 0;
        game::saveRecordStatics().s_eventResults = ints({0, 20000});
        at(1, 0);
        r.run(*this);
        bool finished = rule();
        EXPECT_EQ(finished, r.finished) << r.name;
        EXPECT_EQ(game::raceStatics().s_raceFinished != 0, r.finished) << r.name;
        EXPECT_EQ(game::raceStatics().s_raceResult, r.result) << r.name;
        EXPECT_EQ(player->m_racePosition, r.position) << r.name;
    }
}

TEST_F(EventGoalsTest, ClocksAndScoresRunOnlyWhileTheGoalIsOpen) {
    game::EventGoalStatics& g = game::eventGoalStatics();
    event(game::EventType::Score, 300, 200, 100, 4, 5);
    game::setupEntryByType();
    at(0, 5, 100);
    rule(163); // no verge contact
    player->m_sideContact = 1;
    rule(163); // 163 / 10
    at(0, 5, 0);
    rule(163); // stopped
    EXPECT_EQ(g.s_score, 16);

    event(game::EventType::StopZone, 1000, 2000, 3000, 4, 5);
    game::setupEntryByType();
    at(0, 8);
    rule(100);
    at(0, 9, 5);
    rule(100);
    EXPECT_EQ(g.s_stopZone.clock, 200);

    // A first distance run shows its running clock as the best time and,
    // once finished, becomes the event's record in first place.
    game::saveRecordStatics().s_eventRecords = ints({0, 0, 0, 0, 0, 0});
    event(game::EventType::Distance, 0, 0, 0, -1, -1);
    game::setupEntryByType();
    EXPECT_EQ(g.s_firstRun, 1);
    at(1, 0);
    rule(300);
    rule(300);
    EXPECT_EQ(g.s_eventBestTime, 300);
    at(2, 0);
    player->m_racePosition = 4;
    EXPECT_TRUE(rule());
    EXPECT_EQ(player->m_racePosition, 0);
    EXPECT_EQ(values(game::saveRecordStatics().s_eventRecords),
              (std::vector<std::int32_t>{0, 0, 0, 600, 600, 600}));
}

TEST_F(EventGoalsTest, PointsComeOncePerStrictlyMoreThanASecondAndNotBeforeTheLine) {
    game::EventGoalStatics& g = game::eventGoalStatics();
    event(game::EventType::Points, 0, 0, 0, 0, 0);
    game::setupEventType5(5000);
    EXPECT_EQ(g.s_firstRun, 0);
    EXPECT_EQ(g.s_pointsReference, 30);
    player->m_racePosition = 1;
    rule(163, 6000); // exactly 1000 ms
    EXPECT_EQ(g.s_points, 0);
    rule(163, 6001);
    EXPECT_EQ(g.s_points, 8);
    player->m_lap = 0;
    rule(163, 7500);
    EXPECT_EQ(g.s_points, 8);
    // A place past the table is paid as its last entry.
    player->m_lap = 1;
    player->m_racePosition = 40;
    rule(163, 7600);
    EXPECT_EQ(g.s_points, 9);
    // First place with more than the event's best stores the new best.
    g.s_points = 31;
    player->m_racePosition = 0;
    at(3, 0);
    EXPECT_TRUE(rule(163, 9000));
    EXPECT_EQ(game::raceStatics().s_raceResult, 1);
    EXPECT_EQ(values(game::saveRecordStatics().s_eventProgress), (std::vector<std::int32_t>{0, 31}));
}

TEST_F(EventGoalsTest, StopAndGoWarnsAsksToStopAndPenalisesAMovingCar) {
    game::EventGoalStatics& g = game::eventGoalStatics();
    event(game::EventType::StopAndGo, 0, 0, 0, 0, 0);
    game::setupEntryByType();
    EXPECT_EQ(g.s_stopGoLimit, 20000);
    g.s_stopGoTimer = 100;
    at(1, 0, 50);
    rule(100); // the wait ends: the warning
    EXPECT_EQ(g.s_stopGoStage, 1);
    EXPECT_EQ(g.s_stopGoTimer, g.s_stopGoStageTimes[0]);
    g.s_stopGoTimer = 50;
    rule(100); // the stop window
    EXPECT_EQ(g.s_stopGoStage, 2);
    rule(100); // moving: one penalty, once
    rule(100);
    EXPECT_EQ(g.s_stopGoPenalties, 1);
    EXPECT_EQ(g.s_stopGoPenalised, 1);
    EXPECT_EQ(g.s_stopGoClock, 4 * 100 + g.s_stopGoPenalty);
    g.s_stopGoTimer = 10;
    rule(100); // the window closes: no item after a penalty
    EXPECT_EQ(g.s_stopGoStage, 0);
    EXPECT_EQ(g.s_stopGoPenalised, 0);
    EXPECT_EQ(player->m_itemUses, 0);

    // Standing still through the window earns the item.
    g.s_stopGoStage = 2;
    g.s_stopGoTimer = 10;
    at(1, 0, 0);
    rule(100);
    EXPECT_EQ(player->m_itemSlot, 2);
    EXPECT_EQ(player->m_itemUses, 1);
}

TEST_F(EventGoalsTest, BestTimesMoveDownFromThePlaceTaken) {
    struct Row {
        std::int32_t place;
        std::vector<std::int32_t> before, after;
    };
    const Row rows[] = {
        {2, {10, 20, 30}, {10, 20, 25}}, {0, {10, 20, 30}, {5, 10, 20}},
        {1, {10, 20, 30}, {10, 15, 20}}, {2, {0, 0, 0}, {7, 7, 7}}, // no record yet: all three
        {3, {10, 20, 30}, {10, 20, 30}},
    };
    const std::int32_t times[] = {25, 5, 15, 7, 1};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        std::vector<std::int32_t> all = {1, 2, 3};
        all.insert(all.end(), rows[i].before.begin(), rows[i].before.end());
        game::saveRecordStatics().s_eventRecords = ints(all);
        game::recordBestTime(rows[i].place, times[i]);
        std::vector<std::int32_t> expected = {1, 2, 3};
        expected.insert(expected.end(), rows[i].after.begin(), rows[i].after.end());
        EXPECT_EQ(values(game::saveRecordStatics().s_eventRecords), expected) << "place " << rows[i].place;
    }
    // An event past the table writes nothing.
    game::eventGoalStatics().s_chosenEvent = 9;
    game::recordBestTime(0, 99);
    EXPECT_EQ(values(game::saveRecordStatics().s_eventRecords),
              (std::vector<std::int32_t>{1, 2, 3, 10, 20, 30}));
}

TEST_F(EventGoalsTest, SetUpReadsTheRowWithTheSixtyFourBitMillisecondConversion) {
    game::EventGoalStatics& g = game::eventGoalStatics();
    // 600 000 ms would wrap in a 32-bit (m << 12).
    event(game::EventType::Section, 1000, 524288, 600000, -1, -1);
    game::setupEntryByType();
    EXPECT_EQ(g.s_section.times[0], 4096);
    EXPECT_EQ(g.s_section.times[1], 2147483);
    EXPECT_EQ(g.s_section.times[2], 2457600);
    // Types 7 to 11 keep -1 as the row has it; types 1 and 3 replace it.
    EXPECT_EQ(g.s_section.start, -1);
    EXPECT_EQ(g.s_section.end, -2);
    event(game::EventType::Score, 0, 0, 0, -1, -1);
    game::setupEntryByType();
    EXPECT_EQ(g.s_scoreStart, 19);
    EXPECT_EQ(g.s_scoreEnd, 40);
    event(game::EventType::Distance, 0, 0, 0, 3, 4);
    game::setupEntryByType();
    EXPECT_EQ(g.s_targetStart, 3);
    EXPECT_EQ(g.s_targetDistance, 8);
    EXPECT_EQ(g.s_medalTimes[2], 12288);
    EXPECT_EQ(g.s_firstRun, 0);
    EXPECT_EQ(g.s_eventBestTime, 4096);
    // Types 0 and 2 take their target; every set-up lifts a penalty.
    g.s_stopGoPenalised = 1;
    event(game::EventType::Collection, 12, 0, 0, 0, 0);
    game::setupEntryByType();
    EXPECT_EQ(g.s_eventTarget, 12);
    EXPECT_EQ(g.s_stopGoPenalised, 0);
}

TEST_F(EventGoalsTest, TheRandomDelayIsEightToElevenSeconds) {
    lib::java_util_Random::seedSharedRandom(7);
    for (int i = 0; i < 200; ++i) {
        std::int32_t d = game::nextRandomDelay();
        EXPECT_GE(d, 8 * 4096);
        EXPECT_LE(d, 11 * 4096);
        EXPECT_EQ(d % 4096, 0);
    }
    // INT_MIN's magnitude, 2^31, is a multiple of 4.
    EXPECT_EQ(game::magnitudeMod(INT_MIN, 4) + 8, 8);
}

TEST_F(EventGoalsTest, TheGuidedRaceTakesOneSlotOfVariantSix) {
    std::vector<std::int32_t> row(17, 0);
    row[0] = game::eventTypeNumber(game::EventType::Guided);
    rt::ObjectArray* variants = rt::newObjectArray(7);
    rt::ObjectArray::set(variants, 6, ints(row));
    game::eventStatics().s_eventRows = rt::newObjectArray(1);
    rt::ObjectArray::set(game::eventStatics().s_eventRows, 0, variants);
    game::raceTableStatics().s_themeTable = rt::newShortArray(8);
    rt::ShortArray::set(game::raceTableStatics().s_themeTable, 2, 17);
    rt::ShortArray::set(game::raceTableStatics().s_themeTable, 3, 4);
    game::eventSlotStatics().s_eventSlotCount = 3;
    game::racerStatics().s_playerRacerId = 5;
    game::eventGoalStatics().s_guideStep = 4;
    game::setupMode6Event();
    const game::EventSlotStatics& slots = game::eventSlotStatics();
    EXPECT_EQ(game::stateStatics().s_gameMode, game::GameMode::Guided);
    EXPECT_EQ(slots.s_eventSlotCount, 1);
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventVariant, 0), game::gameModeNumber(game::GameMode::Guided));
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventType, 0), game::eventTypeNumber(game::EventType::Guided));
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventIcon, 0), 17);
    EXPECT_EQ(rt::ByteArray::get(slots.s_eventIcon2, 0), 4);
    EXPECT_EQ(game::racerStatics().s_playerRacerId, 0);
    EXPECT_EQ(game::eventGoalStatics().s_guideStep, 0);
    EXPECT_GE(game::eventGoalStatics().s_guideTip, 261);
    EXPECT_LE(game::eventGoalStatics().s_guideTip, 267);
}

} // namespace
