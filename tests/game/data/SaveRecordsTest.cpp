#include "game/data/RecordStorage.h"
#include "game/data/SoundRequests.h"
#include "tests/game/data/SavedProgressFixture.h"

#include <numeric>
#include <random>
#include <string>

namespace {

using namespace progress_testing;
using datakit::UnlockLayout;
using datakit::UnlockRecord;
using datakit::writeUnlockRecord;

// The defaults a reset sets, with `kept` giving the fields a reset keeps.
UnlockRecord defaultsKeeping(const UnlockRecord& kept) {
    UnlockRecord r;
    r.triplets.assign(game::kTripletItems, 0);
    r.savedByteA = kept.savedByteA;
    r.savedByteB = kept.savedByteB;
    r.savedByteC = kept.savedByteC;
    r.promotionPending = kept.promotionPending;
    r.vibrationOn = kept.vibrationOn;
    return r;
}

using SaveRecords = SavedProgressTest;

// Starts again with `bytes` as the stored unlock record and every field set
// in memory: the record must count as missing, the defaults (with the fields
// a reset keeps) take its place in memory and in the store. The log holds
// only what the load wrote.
void expectDefaultsInPlaceOf(SavedProgressTest& test, const Bytes& bytes) {
    test.restart();
    test.putRecord("Unlocks", bytes);
    UnlockRecord kept = everyFieldSet();
    setUnlocks(kept);
    test.log.clear();
    EXPECT_EQ(game::loadRecordC(), 0);
    EXPECT_TRUE(unlocksInMemory() == defaultsKeeping(kept));
    EXPECT_EQ(test.record("Unlocks"), writeUnlockRecord(defaultsKeeping(kept)));
}

TEST_F(SaveRecords, AFirstStartWritesTheDefaultsWhichTheNextStartReads) {
    setUnlocks(everyFieldSet());
    EXPECT_EQ(game::loadRecordC(), 0);
    UnlockRecord expected = defaultsKeeping(everyFieldSet());
    EXPECT_TRUE(unlocksInMemory() == expected);
    EXPECT_EQ(record("Unlocks"), writeUnlockRecord(expected));
    EXPECT_EQ(record("Unlocks").size(), 4u * game::kTripletItems + 54)
        << "the length the layout is pinned to";
    EXPECT_EQ(index("Unlocks"), datakit::writeRecordStoreIndex(1, {1}));

    restart();
    EXPECT_EQ(game::loadRecordC(), 1);
    EXPECT_TRUE(unlocksInMemory() == expected);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(SaveRecords, EveryUnlockFieldSurvivesARestartTheRewardGridWholeBesideThePromotionAndGridA) {
    setUnlocks(everyFieldSet());
    ASSERT_TRUE(game::saveProgress());
    EXPECT_EQ(record("Unlocks"), writeUnlockRecord(everyFieldSet()));

    restart();
    EXPECT_EQ(game::loadRecordC(), 1);
    EXPECT_TRUE(unlocksInMemory() == everyFieldSet());
    const game::ProgressStatics& progress = game::progressStatics();
    EXPECT_EQ(progress.s_rewardGrid, 0xFFF);
    EXPECT_EQ(progress.s_promotionPending, 1);
    EXPECT_EQ(progress.s_gridFlagsA, 0xE31);
}

TEST_F(SaveRecords, TheSavedSoundOptionSurvivesARestartAndARecordWithoutOneLeavesTheOption) {
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "saved on" : "saved off");
        restart();
        setUnlocks(everyFieldSet());
        game::setSoundOption(on);
        ASSERT_TRUE(game::saveProgress());
        restart();
        EXPECT_EQ(game::loadRecordC(), 1);
        EXPECT_EQ(game::savedSoundOption(!on), on);
    }
    // A record from before any choice (saved byte A 0) keeps what start-up set.
    restart();
    UnlockRecord unchosen = everyFieldSet();
    unchosen.savedByteA = 0;
    putRecord("Unlocks", writeUnlockRecord(unchosen));
    EXPECT_EQ(game::loadRecordC(), 1);
    EXPECT_TRUE(game::savedSoundOption(true));
    EXPECT_FALSE(game::savedSoundOption(false));
}

TEST_F(SaveRecords, AnOlderUnlockRecordIsReadAsFarAsItSurvivedAndRewrittenInTheCurrentLayout) {
    putRecord("Unlocks", writeUnlockRecord(everyFieldSet(), UnlockLayout::Older));
    EXPECT_EQ(game::loadRecordC(), 1);
    UnlockRecord expected = everyFieldSet();
    expected.rewardGrid &= 0x00FF00FF; // bits 8 to 15 and 24 to 31 were written over
    EXPECT_TRUE(unlocksInMemory() == expected);
    EXPECT_EQ(record("Unlocks"), writeUnlockRecord(expected));
    EXPECT_EQ(index("Unlocks"), datakit::writeRecordStoreIndex(1, {1})) << "rewritten in place";
}

// Records that are not exactly an unlock record: each counts as missing, is
// read no further than its end, and gives way to the defaults.
TEST_F(SaveRecords, AnUnlockRecordOfAnotherLengthOrCheckByteGivesWayToTheDefaults) {
    Bytes current = writeUnlockRecord(everyFieldSet());
    Bytes older = writeUnlockRecord(everyFieldSet(), UnlockLayout::Older);
    auto cut = [](Bytes bytes, std::size_t size) {
        bytes.resize(size);
        return bytes;
    };
    auto withCheck = [](Bytes bytes, std::uint8_t check) {
        bytes[0] = check;
        return bytes;
    };
    Bytes longer = current;
    longer.push_back(0);
    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"the check byte alone", cut(current, 1)},
        {"cut short, check byte right", cut(current, 40)},
        {"one byte too many", withCheck(longer, static_cast<std::uint8_t>(longer.size()))},
        {"check byte one off", withCheck(current, static_cast<std::uint8_t>(current.size() - 1))},
        {"older length, current check byte", withCheck(older, static_cast<std::uint8_t>(current.size()))},
        {"current length, older check byte", withCheck(current, static_cast<std::uint8_t>(older.size()))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectDefaultsInPlaceOf(*this, c.bytes);
    }
}

// A record of the right length and check byte whose values the game never
// writes (random contents, a flipped bit) is refused: the defaults are taken
// and written in its place, one log line names the field, and the one-byte
// fields a reset keeps stay as they were in memory.
TEST_F(SaveRecords, AnUnlockRecordHoldingValuesTheGameNeverWritesGivesWayToTheDefaults) {
    auto with = [](auto change) {
        UnlockRecord r = everyFieldSet();
        change(r);
        return writeUnlockRecord(r);
    };
    Bytes older = writeUnlockRecord(everyFieldSet(), UnlockLayout::Older);
    older[18] = 0x10; // the reward grid's third byte: bit 20
    Bytes promotion = writeUnlockRecord(everyFieldSet());
    promotion[game::unlock_record::kPromotion] = 2;
    Bytes vibration = writeUnlockRecord(everyFieldSet());
    vibration.back() = 0xFF;
    Bytes random(4 * game::kTripletItems + 54);
    std::mt19937 generator(20260101);
    for (std::uint8_t& byte : random)
        byte = static_cast<std::uint8_t>(generator());
    random[0] = static_cast<std::uint8_t>(random.size());
    struct Case {
        const char* what;
        Bytes bytes;
        const char* field;
    } cases[] = {
        {"a sound choice past On", with([](UnlockRecord& r) { r.savedByteA = 3; }), "the sound choice"},
        {"a negative sound choice", with([](UnlockRecord& r) { r.savedByteA = -1; }), "the sound choice"},
        {"mask A with bit 6", with([](UnlockRecord& r) { r.maskA = 0x47; }), "mask A"},
        {"mask B with its sign bit", with([](UnlockRecord& r) { r.maskB = INT32_MIN | 7; }), "mask B"},
        {"mask C with bit 4", with([](UnlockRecord& r) { r.maskC = 0x13; }), "mask C"},
        {"a reward past the grid", with([](UnlockRecord& r) { r.rewardGrid = 1 << 12; }), "the reward grid"},
        {"grid A past the grid", with([](UnlockRecord& r) { r.gridA = 0x1011; }), "grid A"},
        {"grid B past the grid", with([](UnlockRecord& r) { r.gridB = -1; }), "grid B"},
        {"a negative triplet item", with([](UnlockRecord& r) { r.triplets[5] = -7; }), "a triplet item"},
        {"a triplet past tier 9", with([](UnlockRecord& r) { r.triplets[0] = 1 << 30; }), "a triplet item"},
        {"a promotion byte of 2", promotion, "the promotion byte"},
        {"a vibration byte of -1", vibration, "the vibration byte"},
        {"an older record with a reward past the grid", older, "the reward grid"},
        {"random contents", random, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectDefaultsInPlaceOf(*this, c.bytes);
        std::string line =
            std::string("saved progress: the unlock record holds a value the game never writes (") +
            (c.field ? c.field : "");
        EXPECT_TRUE(log.contains(line)) << testing::PrintToString(log.lines());
    }
}

TEST_F(SaveRecords, AFailedWriteIsLoggedAndReportedAndThePreviousRecordStaysReadable) {
    setUnlocks(everyFieldSet());
    ASSERT_TRUE(game::saveProgress());
    // A folder where the record's temporary file must go.
    fs::create_directories(inProgramFolder(datakit::recordFileName("Unlocks", 1, kNames) + ".new"));

    game::progressStatics().s_progressMaskA = 99;
    log.clear();
    EXPECT_FALSE(game::saveProgress());
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_TRUE(log.contains("record store Unlocks: the record of 78 bytes was not written (not written)"))
        << testing::PrintToString(log.lines());
    EXPECT_EQ(game::progressStatics().s_progressMaskA, 99) << "the values in memory stay";

    restart();
    EXPECT_EQ(game::loadRecordC(), 1);
    EXPECT_TRUE(unlocksInMemory() == everyFieldSet());
}

// A store the platform refuses to open (its index lists too many ids) can be
// neither read nor written: the defaults hold in memory, and both failures
// are logged.
TEST_F(SaveRecords, AStoreThatCannotBeOpenedLeavesTheDefaultsAndTwoLogLines) {
    std::vector<std::int32_t> ids(5000);
    std::iota(ids.begin(), ids.end(), 1);
    put(datakit::recordStoreIndexName("Unlocks", kNames), datakit::writeRecordStoreIndex(5000, ids));
    setUnlocks(everyFieldSet());
    log.clear();
    EXPECT_EQ(game::loadRecordC(), 0);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_TRUE(unlocksInMemory() == defaultsKeeping(everyFieldSet()));
    EXPECT_TRUE(log.contains("record store Unlocks: unreadable: ")) << testing::PrintToString(log.lines());
    EXPECT_TRUE(log.contains("record store Unlocks: the record of 78 bytes was not written"));
}

std::vector<std::int32_t> valuesOf(rt::IntArray* array) {
    std::span<std::int32_t> values = rt::IntArray::span(array);
    return {values.begin(), values.end()};
}

rt::IntArray* counting(std::int32_t length, std::int32_t first) {
    rt::IntArray* array = rt::newIntArray(length);
    std::span<std::int32_t> values = rt::IntArray::span(array);
    std::iota(values.begin(), values.end(), first);
    return array;
}

// 130 values: a first byte of 130 read as a signed byte is -126.
TEST_F(SaveRecords, ACountRecordOfMoreThan127ValuesSurvivesARestart) {
    game::SaveRecordStatics& records = game::saveRecordStatics();
    records.s_eventResults = counting(100, -50);
    records.s_eventProgress = counting(30, 1000);
    records.s_eventRecords = counting(129, 7);
    game::loadRecordA();
    game::loadRecordB();
    std::vector<std::int32_t> results = valuesOf(records.s_eventResults);
    std::vector<std::int32_t> progress = valuesOf(records.s_eventProgress);
    std::vector<std::int32_t> all = results;
    all.insert(all.end(), progress.begin(), progress.end());
    EXPECT_EQ(record("Results"), datakit::writeCountRecord(all));
    EXPECT_EQ(record("Results")[0], 0x82);
    EXPECT_EQ(record("Records"), datakit::writeCountRecord(valuesOf(records.s_eventRecords)));

    restart();
    game::SaveRecordStatics& again = game::saveRecordStatics();
    again.s_eventResults = rt::newIntArray(100);
    again.s_eventProgress = rt::newIntArray(30);
    again.s_eventRecords = rt::newIntArray(129);
    game::loadRecordA();
    game::loadRecordB();
    EXPECT_EQ(valuesOf(again.s_eventResults), results);
    EXPECT_EQ(valuesOf(again.s_eventProgress), progress);
    EXPECT_EQ(valuesOf(again.s_eventRecords), valuesOf(counting(129, 7)));
}

// A data update that changes the number of events, a cut record and a wrong
// count byte: the arrays keep their values and replace the record.
TEST_F(SaveRecords, ACountRecordThatDoesNotFitTheArraysIsReplacedByThem) {
    Bytes four = datakit::writeCountRecord({1, 2, 3, 4});
    Bytes cut(four.begin(), four.end() - 2);
    Bytes wrongCount = four;
    wrongCount[0] = 3;
    struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {{"three values stored", datakit::writeCountRecord({9, 9, 9})},
                 {"five values stored", datakit::writeCountRecord({9, 9, 9, 9, 9})},
                 {"cut inside its last value", cut},
                 {"count byte off", wrongCount}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        putRecord("Results", c.bytes);
        putRecord("Records", c.bytes);
        game::SaveRecordStatics& records = game::saveRecordStatics();
        records.s_eventResults = counting(3, 40);
        records.s_eventProgress = counting(1, 50);
        records.s_eventRecords = counting(4, 60);
        game::loadRecordA();
        game::loadRecordB();
        EXPECT_EQ(valuesOf(records.s_eventResults), (std::vector<std::int32_t>{40, 41, 42}));
        EXPECT_EQ(record("Results"), datakit::writeCountRecord({40, 41, 42, 50}));
        EXPECT_EQ(record("Records"), datakit::writeCountRecord({60, 61, 62, 63}));
    }
}

TEST_F(SaveRecords, ArraysThatDoNotExistAreNeitherReadNorWritten) {
    game::loadRecordA();
    game::loadRecordB();
    EXPECT_TRUE(game::saveRecordA());
    EXPECT_FALSE(fs::exists(inProgramFolder(datakit::recordStoreIndexName("Results", kNames))));
    EXPECT_FALSE(fs::exists(inProgramFolder(datakit::recordStoreIndexName("Records", kNames))));
}

using RecordStorage = SavedProgressTest;

rt::String* name(const char* text) {
    return rt::String::newFromCString(text);
}

// Stores the game did not write may hold their record under another id.
TEST_F(RecordStorage, AStoreKeepsOneRecordUnderTheFirstIdItLists) {
    for (const auto& [file, bytes] : datakit::writeRecordStore(
             {"Other", 9, {{5, io_testing::asBytes("five")}, {9, io_testing::asBytes("nine")}}}, kNames))
        put(file, bytes);
    EXPECT_EQ(testing_support::bytesOf(game::rmsRead(name("Other"))), io_testing::asBytes("five"));
    EXPECT_TRUE(game::rmsWriteSplit(name("Other"), testing_support::byteArray(io_testing::asBytes("V"))));
    EXPECT_EQ(record("Other", 5), io_testing::asBytes("V"));
    EXPECT_EQ(index("Other"), datakit::writeRecordStoreIndex(9, {5, 9}));

    // A new store gets record 1, and a second write replaces it.
    EXPECT_EQ(game::rmsRead(name("New")), nullptr) << "made empty";
    EXPECT_TRUE(game::rmsWriteSplit(name("New"), testing_support::byteArray(io_testing::asBytes("one"))));
    EXPECT_TRUE(game::rmsWriteSplit(name("New"), testing_support::byteArray(io_testing::asBytes("two"))));
    EXPECT_EQ(index("New"), datakit::writeRecordStoreIndex(1, {1}));
    EXPECT_EQ(record("New"), io_testing::asBytes("two"));
    EXPECT_EQ(game::recordStorageStatics().s_recordStore, nullptr) << "every operation closes its store";

    auto* stream = game::rmsOpenInputStream(name("New"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->read(), 't');
    EXPECT_EQ(testing_support::bytesOf(game::recordStorageStatics().s_recordStreamData),
              io_testing::asBytes("two"));
}

} // namespace
