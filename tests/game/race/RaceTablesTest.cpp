// The game tables, the event tables and the zones load from datakit's
// entries; records are found across chunks; broken counts stop inside the
// entry.

#include "game/race/RaceTables.h"
#include "game/data/EventSlots.h"
#include "game/data/SaveRecords.h"
#include "game/race/EntryReader.h"
#include "game/race/EventType.h"
#include "tests/game/data/SavedProgressFixture.h"
#include "tests/game/race/RaceDataFixture.h"
#include "tools/datakit/EventPackWriter.h"
#include "tools/datakit/GameTablesWriter.h"
#include "tools/datakit/SaveRecords.h"
#include "tools/datakit/ZoneWriter.h"

#include <array>
#include <string>

namespace {

using datakit::Bytes;
using race_testing::RaceDataTest;

std::vector<std::int32_t> ints(rt::Object* array) {
    auto span = rt::IntArray::span(static_cast<rt::IntArray*>(array));
    return {span.begin(), span.end()};
}
std::vector<std::int32_t> shorts(rt::Object* array) {
    auto span = rt::ShortArray::span(static_cast<rt::ShortArray*>(array));
    return {span.begin(), span.end()};
}
rt::Object* at(rt::ObjectArray* array, std::int32_t i) {
    return rt::ObjectArray::get(array, i);
}
rt::ObjectArray* objects(rt::Object* array) {
    return static_cast<rt::ObjectArray*>(array);
}

datakit::TableRecord record(std::uint8_t first, std::uint16_t field9) {
    datakit::TableRecord r;
    for (std::uint8_t i = 0; i < 9; ++i)
        r.fields[i] = static_cast<std::uint8_t>(first + i);
    r.field9 = field9;
    r.bytes = {first};
    return r;
}

// Two chunks of 3 and 4 records; race rows 0..2 (row 1 has no event, row 2
// names entry 9); one list, one block of two items, one extra.
datakit::GameTables tables() {
    datakit::GameTables t;
    t.chunks = {{100, {record(0, 1000), record(10, 1001), record(20, 1002)}},
                {200, {record(30, 2000), record(40, 2001), record(50, 2002), record(60, 65535)}}};
    t.races = {{{0, 0, 1, 2, 3, 4, 5, 6}},
               {{1, -1, 0, 0, 0, 0, 0, 0}},
               {{2, 9, 0, 0, 0, 0, 0, -1}},
               {{3, 3, 0, 0, 0, 0, 0, 0}}};
    t.listValues = {7};
    t.listItems = {{1, 2, 3}};
    datakit::TableBlock block;
    block.value = 77;
    block.flags = {1, 0};
    block.triple = {4, 5, 6};
    block.bytes = {7, 8, 9};
    block.items = {{300, {1, 2, 3}, 4, 5, {-1, 2, -3, 4, -5, 6, -7, 8, -9, 65000, 11, -100000, 100000}},
                   {301, {6, 7, 8}, 9, 10, {}}};
    t.blocks = {block};
    t.extraValues = {12};
    t.extraItems = {{1, 2, 3, 4, 5}};
    return t;
}

datakit::EventVariant variant(game::EventType eventType, std::int32_t field1) {
    const std::int32_t type = game::eventTypeNumber(eventType);
    datakit::EventVariant v;
    v.row = {type, field1, field1 + 1, field1 + 2, 4, 3, -6, -7, -8, 9, 10, 11, 65535, 13, 14, 15, 6};
    return v;
}

datakit::EventEntry eventEntry() {
    datakit::EventEntry e;
    e.path = {{1, 2, 3, 4, -5, -6, 7, 8, 9, 10}, {65535, 0, 0, 255, 1 << 30, 127, -128, 0, 0, 255}};
    datakit::EventVariant race = variant(game::EventType::Laps, 90000);
    race.list = {{500, 6, 65535}};
    race.objects = {{1, -2, 3, -4, 5}};
    race.skipped = {{9, 9, 9, 9, 9, 9, 9}};
    race.triggers = {-1, 0x12345678};
    race.shorts = {-3, 4};
    e.variants = {race,
                  variant(game::EventType::Distance, 61000),
                  variant(game::EventType::Distance, 62000),
                  variant(game::EventType::StopAndGo, 7000),
                  variant(game::EventType::Points, 300),
                  variant(game::EventType::SecondSection, 1)};
    return e;
}

TEST_F(RaceDataTest, RecordsAreFoundAcrossTheirChunks) {
    putPacks({{"tables.pak", {datakit::writeGameTables(tables())}}});
    game::loadTablesFromPack157();
    const game::RaceTableStatics& s = game::raceTableStatics();
    EXPECT_EQ(shorts(s.s_racerBlockSizes), (std::vector<std::int32_t>{3, 4, 7}));
    EXPECT_EQ(shorts(s.s_recordChunkValues), (std::vector<std::int32_t>{100, 200}));
    const struct {
        std::int32_t id, column, value;
    } cases[] = {{0, 0, 0},  {0, 9, 1000}, {2, 8, 28},
                 {3, 0, 30}, {3, 9, 2000}, {6, 9, -1} /* 65535 */,
                 {7, 0, -1}, {-1, 0, -1},  {INT32_MIN, 0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(game::getRecordShort(c.id, c.column), c.value)
            << "record " << c.id << " column " << c.column;
    EXPECT_EQ(rt::ByteArray::get(static_cast<rt::ByteArray*>(at(objects(at(s.s_recordBytes, 1)), 2)), 0), 50);
    EXPECT_EQ(game::raceRowCount(), 4);
    EXPECT_EQ(game::raceRowValue(2, 7), -1);
    // The rest of the entry, down to the 20 bytes of 13 item values.
    EXPECT_EQ(ints(at(objects(at(s.s_blockItemRows, 0)), 0)),
              (std::vector<std::int32_t>{-1, 2, -3, 4, -5, 6, -7, 8, -9, 65000, 11, -100000, 100000}));
    EXPECT_EQ(shorts(at(s.s_blockItemValues, 0)), (std::vector<std::int32_t>{300, 301}));
    EXPECT_EQ(shorts(at(s.s_extraItems, 0)), (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

// Row r names entry r and track r, or no entry (-1) and a track: anything
// else refuses the tables, naming the row.
TEST_F(RaceDataTest, RaceRowsThatNameAnotherEntryOrTrackAreRefused) {
    const struct {
        std::array<std::int8_t, 2> row1;
        std::string problem;
    } cases[] = {
        {{1, 1}, ""},
        {{1, -1}, ""},
        {{5, 1}, "entry 0: race row 1 names entry 1 and track 5; a row names its own entry and track"},
        {{1, 5}, "entry 0: race row 1 names entry 5 and track 1; a row names its own entry and track"},
        {{-1, -1}, "entry 0: race row 1 names entry -1 and track -1; a row names its own entry and track"},
        {{9, -1}, "entry 0: race row 1 names entry -1 and track 9; a row names its own entry and track"},
    };
    for (const auto& c : cases) {
        datakit::GameTables t = tables();
        t.races = {{{0, 0, 0, 0, 0, 0, 0, 0}}, {{c.row1[0], c.row1[1], 0, 0, 0, 0, 0, 0}}};
        putPacks({{"tables.pak", {datakit::writeGameTables(t)}}});
        EXPECT_EQ(game::loadTablesFromPack157(), c.problem) << int{c.row1[0]} << " " << int{c.row1[1]};
    }
}

TEST_F(RaceDataTest, ABlockOf128ItemsEndsTheTablesAfterTheRaceTable) {
    datakit::GameTables t = tables();
    t.blocks[0].countOverride = 128;
    putPacks({{"tables.pak", {datakit::writeGameTables(t)}}});
    game::loadTablesFromPack157();
    EXPECT_TRUE(log.contains("block 0 counts 128 items"));
    EXPECT_EQ(game::raceRowCount(), 4);
    EXPECT_EQ(game::getRecordShort(6, 0), 60);
    EXPECT_EQ(game::raceTableStatics().s_extraItems, nullptr);
}

TEST_F(RaceDataTest, EventTablesFollowTheRaceRows) {
    datakit::EventEntry entry = eventEntry();
    std::vector<Bytes> events(4, datakit::writeEventEntry(entry));
    putPacks({{"tables.pak", {datakit::writeGameTables(tables())}}, {"events.pak", events}});
    game::loadTablesFromPack157();
    game::loadTablesFromPack159();
    const game::EventStatics& s = game::eventStatics();
    // Row 1 (entry -1) reads nothing; row 2 (entry 9) is skipped and logged.
    EXPECT_EQ(at(s.s_eventRows, 1), nullptr);
    EXPECT_TRUE(log.contains("race row 2 names entry 9 and track 2, outside 0..5; skipped"));
    ASSERT_NE(at(s.s_eventRows, 3), nullptr);
    EXPECT_EQ(ints(game::eventRow(0, 0)), (std::vector<std::int32_t>{0, 90000, 90001, 90002, 4, 3, -6, -7, -8,
                                                                     9, 10, 11, 65535, 13, 14, 15, 6}));
    EXPECT_EQ(ints(at(s.s_pathFields[4], 0)), (std::vector<std::int32_t>{-5, 1 << 30}));
    EXPECT_EQ(ints(at(s.s_pathFields[6], 0)), (std::vector<std::int32_t>{7, -128}));
    EXPECT_EQ(ints(at(objects(at(s.s_eventLists, 0)), 0)), (std::vector<std::int32_t>{500, 6, 65535}));
    EXPECT_EQ(ints(at(objects(at(s.s_eventObjects, 0)), 0)), (std::vector<std::int32_t>{1, -2, 3, -4, 5, 0}));
    EXPECT_EQ(ints(at(objects(at(s.s_dynamicTriggers, 0)), 0)), (std::vector<std::int32_t>{-1, 0x12345678}));
    // A variant without dynamic triggers keeps a null slot and a count of 0.
    EXPECT_EQ(at(objects(at(s.s_dynamicTriggers, 0)), 1), nullptr);
    EXPECT_EQ(ints(at(s.s_dynamicTriggerCounts, 0)), (std::vector<std::int32_t>{2, 0, 0, 0, 0, 0}));
    EXPECT_EQ(shorts(at(objects(at(s.s_variantShorts, 3)), 0)), (std::vector<std::int32_t>{-3, 4}));
    // By type: rows 0 and 3, the later variant of a type replacing the
    // earlier; type 9 is not indexed.
    auto pairs = [&](game::EventType type) {
        std::vector<std::pair<int, int>> out;
        auto* list = objects(at(s.s_eventsByType, game::eventTypeNumber(type)));
        for (std::int32_t k = 0; k < list->length(); ++k) {
            auto* pair = static_cast<rt::ByteArray*>(at(list, k));
            out.emplace_back(rt::ByteArray::get(pair, 0), rt::ByteArray::get(pair, 1));
        }
        return out;
    };
    using Pairs = std::vector<std::pair<int, int>>;
    EXPECT_EQ(pairs(game::EventType::Laps), (Pairs{{0, 0}, {3, 0}}));
    EXPECT_EQ(pairs(game::EventType::Distance), (Pairs{{0, 2}, {3, 2}}));
    EXPECT_EQ(pairs(game::EventType::Guided), Pairs{});
    EXPECT_EQ(s.s_eventsByType->length(), game::eventTypeNumber(game::EventType::Guided) + 1);
    // Rows and entries that disagree are named.
    EXPECT_FALSE(log.contains("race row 0 names"));
    // The progress tables, and records A and B written from them.
    const game::SaveRecordStatics& records = game::saveRecordStatics();
    EXPECT_EQ(ints(records.s_eventRecords),
              (std::vector<std::int32_t>{62000, 62001, 62002, 62000, 62001, 62002}));
    EXPECT_EQ(ints(records.s_eventResults), (std::vector<std::int32_t>{7000, 7000}));
    EXPECT_EQ(ints(records.s_eventProgress), (std::vector<std::int32_t>{300, 300}));
    EXPECT_EQ(fileContent(datakit::recordFileName("Records", 1, progress_testing::kNames)),
              datakit::writeCountRecord({62000, 62001, 62002, 62000, 62001, 62002}));
    EXPECT_EQ(fileContent(datakit::recordFileName("Results", 1, progress_testing::kNames)),
              datakit::writeCountRecord({7000, 7000, 300, 300}));
}

TEST_F(RaceDataTest, ZonesOfTheCurrentTrack) {
    std::vector<Bytes> zones = {datakit::writeZones({}),
                                datakit::writeZones({{65535, -1, 2}, {10, 3, -4}}),
                                {0xFF, 0xFE},
                                datakit::writeZones({{1, 2, 3}, {4, 5, 6}})};
    zones[3].resize(zones[3].size() - 2);
    putPacks({{"zones.pak", zones}});
    game::initEventSlots();
    game::EventSlotStatics& slots = game::eventSlotStatics();
    const game::EventStatics& s = game::eventStatics();
    const struct {
        std::int32_t track, count;
        std::vector<std::int32_t> zones;
    } cases[] = {{0, 0, {}}, {1, 2, {-1, -1, 2, 10, 3, -4}}, {2, 0, {}}, {3, 2, {1, 2, 3, 0, 0, 0}}};
    for (const auto& c : cases) {
        rt::ByteArray::set(slots.s_eventTrack, slots.s_currentEvent, static_cast<std::int8_t>(c.track));
        game::loadTablesFromPack161();
        EXPECT_EQ(s.s_trackZoneCount, c.count) << "track " << c.track;
        EXPECT_EQ(shorts(s.s_trackZones), c.zones) << "track " << c.track;
    }
    EXPECT_TRUE(log.contains("zone pack: entry 3 holds 1 of its 2 zones"));
}

TEST_F(RaceDataTest, EveryPrefixOfATableOrEventEntryStopsInsideIt) {
    const Bytes entries[] = {datakit::writeGameTables(tables()), datakit::writeEventEntry(eventEntry())};
    for (int kind = 0; kind < 2; ++kind) {
        const Bytes& whole = entries[kind];
        for (std::size_t n = 0; n <= whole.size(); ++n) {
            game::EntryReader reader(
                std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(n)), "pack");
            if (kind == 0)
                game::readGameTables(reader);
            else
                game::readEventEntry(reader, 2, 2);
            ASSERT_EQ(reader.ok(), n == whole.size()) << (kind ? "event" : "tables") << " prefix of " << n;
            if (n == whole.size()) {
                ASSERT_EQ(reader.remaining(), 0) << "the whole entry is read";
            }
        }
    }
}

} // namespace
