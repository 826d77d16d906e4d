// The racers' incremental sort (level cars, a car passing several at once,
// a finished car, the start line) and the track queries: the bend ahead,
// the lap from which a dynamic trigger applies and whether a trigger of the
// next lap shows yet.

#include "game/data/EventSlots.h"
#include "game/race/DynamicTriggerView.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackQueries.h"
#include "game/race/cEntity.h"
#include "tests/game/race/RaceDataFixture.h"

#include <vector>

namespace {

using race_testing::RaceDataTest;

struct RankingTest : race_testing::RaceDataTest {
    struct Place {
        std::int32_t lap, segment, pos;
    };
    // Cars in list order, racer index = first index, places = indexes.
    static void racers(const std::vector<Place>& places) {
        game::trackStatics().s_segmentCount = 37;
        game::raceStatics().s_laps = 3;
        rt::ObjectArray* list = rt::newObjectArray(static_cast<std::int32_t>(places.size()));
        game::raceStatics().s_racers = list;
        for (std::int32_t i = 0; i < list->length(); ++i) {
            game::cEntity* car = game::cEntity::cEntityWithType(1);
            car->m_racerIndex = i;
            car->m_racePosition = i;
            car->m_lap = places[static_cast<std::size_t>(i)].lap;
            car->m_segment = places[static_cast<std::size_t>(i)].segment;
            car->m_segmentPos = places[static_cast<std::size_t>(i)].pos;
            rt::ObjectArray::set(list, i, car);
        }
    }
    static std::vector<std::int32_t> order() {
        std::vector<std::int32_t> out;
        for (std::int32_t i = 0; i < game::racerCount(); ++i)
            out.push_back(game::racerAt(i)->m_racerIndex);
        EXPECT_TRUE(game::racersInRaceOrder());
        return out;
    }
};

TEST_F(RankingTest, OnePassPutsEveryCarInPlace) {
    struct Case {
        const char* what;
        std::vector<Place> places;
        std::vector<std::int32_t> after;
    };
    const Case cases[] = {
        {"level cars keep their order", {{1, 5, 10}, {1, 5, 10}, {1, 5, 10}}, {0, 1, 2}},
        {"a car passing three", {{1, 9, 0}, {1, 8, 0}, {1, 7, 0}, {1, 9, 1}}, {3, 0, 1, 2}},
        {"a car falling back moves one place", {{1, 1, 0}, {1, 8, 0}, {1, 7, 0}}, {1, 0, 2}},
        {"across the start line", {{1, 36, 900}, {2, 0, 100}}, {1, 0}},
        {"a finished car freezes the places before it",
         {{3, 2, 0}, {4, 0, 0}, {3, 9, 0}, {3, 20, 0}},
         {0, 1, 3, 2}},
        {"one car", {{1, 0, 0}}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        racers(c.places);
        game::rankRacers();
        EXPECT_EQ(order(), c.after);
    }
}

TEST_F(RankingTest, AnEmptySlotIsPassedOver) {
    racers({{1, 1, 0}, {1, 2, 0}, {1, 3, 0}});
    rt::ObjectArray::set(game::raceStatics().s_racers, 0, nullptr);
    game::rankRacers();
    EXPECT_EQ(game::racerAt(1)->m_racerIndex, 2);
    EXPECT_EQ(game::racerAt(2)->m_racerIndex, 1);
}

TEST_F(RaceDataTest, CurveSumsFollowOneBendAroundTheRing) {
    game::TrackStatics& t = game::trackStatics();
    t.s_segmentCount = 37;
    t.s_segmentCurve = rt::newIntArray(37);
    for (std::int32_t i = 0; i < 37; ++i)
        rt::IntArray::set(t.s_segmentCurve, i, 5);
    EXPECT_EQ(game::getCurveSum(0), 185); // every segment once
    EXPECT_EQ(game::getCurveSum(20), 185);

    const std::int32_t curves[] = {2, 3, 4, -2, 0};
    for (std::int32_t i = 0; i < 37; ++i)
        rt::IntArray::set(t.s_segmentCurve, i, i < 5 ? curves[i] : 0);
    rt::IntArray::set(t.s_segmentCurve, 36, 6);
    for (auto [segment, sum] : {std::pair{1, 7}, {4, 0}, {3, -2}, {36, 15}, {-1, 15}, {10, 0}})
        EXPECT_EQ(game::getCurveSum(segment), sum) << segment;
    t.s_segmentCurve = nullptr;
    EXPECT_EQ(game::getCurveSum(1), 0);
}

TEST_F(RaceDataTest, DynamicTriggersApplyFromTheirLap) {
    game::initEventSlots();
    game::EventSlotStatics& slots = game::eventSlotStatics();
    rt::ByteArray::set(slots.s_eventTrack, 0, 2);
    rt::ByteArray::set(slots.s_eventVariant, 0, 3);
    rt::IntArray* entries = rt::newIntArray(3);
    rt::IntArray::set(entries, 0, 0x8000);
    rt::IntArray::set(entries, 1, 2 << 12);
    rt::IntArray::set(entries, 2, 0x8000 | (5 << 12));
    rt::ObjectArray* variants = rt::newObjectArray(4);
    rt::ObjectArray::set(variants, 3, entries);
    game::eventStatics().s_dynamicTriggers = rt::newObjectArray(6);
    rt::ObjectArray::set(game::eventStatics().s_dynamicTriggers, 2, variants);

    EXPECT_EQ(game::getCodeLap(0x0300), -1); // every lap, but no player yet
    game::cEntity* player = game::cEntity::cEntityWithType(0);
    player->m_lap = 4;
    game::racerStatics().s_playerCar = player;
    for (auto [code, lap] : {std::pair{0x0300, 4}, {0x0301, 2}, {0x0302, 4}, {0x0303, -1}, {0x03FF, -1}})
        EXPECT_EQ(game::getCodeLap(code), lap) << std::hex << code;
    for (auto [code, mine] : {std::pair{0x0301, true}, {0x0201, false}, {0xF3FF, true}, {0x1001, false}})
        EXPECT_EQ(game::isCodeForVariant(code), mine) << std::hex << code;
    rt::ByteArray::set(slots.s_eventVariant, 0, 1); // a variant without triggers
    EXPECT_EQ(game::getCodeLap(0x0101), -1);
}

TEST_F(RaceDataTest, NextLapTriggersShowOnlyAcrossTheRingsEnd) {
    game::trackStatics().s_segmentCount = 100;
    game::cEntity* player = game::cEntity::cEntityWithType(0);
    player->m_lap = 2;
    game::racerStatics().s_playerCar = player;
    struct Case {
        std::int32_t entry, playerSegment, sliceSegment;
        bool shown;
    };
    const Case cases[] = {
        {0x2000, 50, 60, true},  {0x3000, 95, 5, true},         {0x3000, 95, 10, true},
        {0x3000, 95, 11, false}, {0x3000, 50, 60, false},       {0x4000, 95, 5, false},
        {0x1000, 95, 5, false},  {0x8000 | 0x5000, 0, 0, true},
    };
    for (const Case& c : cases) {
        player->m_segment = c.playerSegment;
        EXPECT_EQ(game::isEntryOnPlayersLap(c.entry, c.sliceSegment), c.shown)
            << std::hex << c.entry << std::dec << " player " << c.playerSegment << " slice "
            << c.sliceSegment;
    }
    game::racerStatics().s_playerCar = nullptr;
    EXPECT_FALSE(game::isEntryOnPlayersLap(0x2000, 60));
}

} // namespace
