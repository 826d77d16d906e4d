#include "platform/io/RecordStore.h"
#include "platform/io/RecordEnumeration.h"
#include "tests/platform/io/IoFixture.h"
#include "tools/datakit/RecordStore.h"

#include <cctype>
#include <numeric>
#include <optional>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace record_store_test {

namespace {

using namespace io_testing;
using datakit::Bytes;
using RecordStore = platform::javax_microedition_rms_RecordStore;
using platform::javax_microedition_rms_RecordEnumeration;

// The file names' constant strings: C99 separates folders, C100 begins a
// store's file name, C101 ends every name, C103 comes before a record's id.
const datakit::RecordStoreNames kNames{"Rms_", ".DAT", "#"};

struct RecordStoreTest : IoTest {
    RecordStoreTest() { installConstants(""); }

    // C14, the vendor and suite of the two-argument open, is `vendor`.
    static void installConstants(const char* vendor) {
        testing_support::installConstantStrings(
            {{rt::constants::kDefaultMessage, vendor},
             {rt::constants::kRecordStoreFull, "store full"},
             {rt::constants::kRecordStorePathSeparator, "\\"},
             {rt::constants::kRecordStorePrefix, "Rms_"},
             {rt::constants::kRecordStoreSuffix, ".DAT"},
             {rt::constants::kRecordStoreWriteFailed, "cannot write the index"},
             {rt::constants::kRecordStoreRecordInfix, "#"}});
    }

    static RecordStore* open(const char* name, bool create = true) {
        return RecordStore::openRecordStore(text(name), create);
    }
    static std::int32_t add(RecordStore* store, std::string_view bytes) {
        return store->addRecord(byteArray(asBytes(bytes)), 0, static_cast<std::int32_t>(bytes.size()));
    }
    static std::vector<std::int32_t> ids(RecordStore* store) {
        std::vector<std::int32_t> all;
        auto* records = store->enumerateRecords();
        while (records->hasNextElement())
            all.push_back(records->nextRecordId());
        return all;
    }
    // The class id of the pending exception and its message, cleared.
    static std::pair<rt::ClassId, std::string> pending() {
        rt::Object* exception = rt::getPendingException();
        rt::clearPendingException();
        if (!exception)
            return {rt::ClassId::Object, ""};
        rt::String* message = exception->toString();
        return {exception->classId(), message ? message->toUtf8() : "(null)"};
    }
    Bytes storeFile(const std::string& name) const {
        return fileContent(datakit::recordStoreIndexName(name, kNames));
    }
    Bytes recordFile(const std::string& name, std::int32_t id) const {
        return fileContent(datakit::recordFileName(name, id, kNames));
    }
    void putStore(const datakit::RecordStoreDescription& store) const {
        for (const auto& [file, bytes] : datakit::writeRecordStore(store, kNames))
            put(file, bytes);
    }
};

constexpr rt::ClassId kInvalidId = rt::ClassId::javax_microedition_rms_InvalidRecordIDException;

TEST_F(RecordStoreTest, IdsGoUpAndTheIndexListsThemInOrder) {
    RecordStore* store = open("Save");
    ASSERT_NE(store, nullptr);
    EXPECT_TRUE(store->path()->equalsCString("\\Program Files\\Brivanta\\Vorlax Rally\\Rms_Save.DAT"));
    EXPECT_FALSE(fs::exists(inProgramFolder("rms_save.dat"))) << "nothing is written at opening";
    EXPECT_EQ(add(store, "one"), 1);
    EXPECT_EQ(add(store, "two"), 2);
    EXPECT_EQ(add(store, "three"), 3);
    store->deleteRecord(2);
    store->closeRecordStore();

    EXPECT_EQ(storeFile("Save"), (Bytes{0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 3}));
    EXPECT_EQ(storeFile("Save"), datakit::writeRecordStoreIndex(3, {1, 3}));
    EXPECT_EQ(recordFile("Save", 1), asBytes("one"));
    EXPECT_TRUE(
        fs::exists(datakit::recordFileName("Save", 2, kNames).insert(0, programFolder().string() + "/")));
    EXPECT_TRUE(recordFile("Save", 2).empty()) << "a deleted record leaves an empty file";
    EXPECT_EQ(recordFile("Save", 3), asBytes("three"));

    RecordStore* again = open("Save", false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ids(again), (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(again->lastRecordId(), 3);
    EXPECT_EQ(bytesOf(again->getRecord(3)), asBytes("three"));
    EXPECT_EQ(add(again, "four"), 4) << "ids are never given twice";
    EXPECT_EQ(again->getSize(), 3 + 5 + 4);
    EXPECT_EQ(again->getSizeAvailable(), INT32_MAX);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(RecordStoreTest, StoresWrittenByDatakitOpenAsTheyAre) {
    putStore({"Progress", 9, {{7, asBytes("seven")}, {2, asBytes("")}, {9, asBytes("nine")}}});
    RecordStore* store = open("Progress", false);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(ids(store), (std::vector<std::int32_t>{7, 2, 9}));
    EXPECT_EQ(bytesOf(store->getRecord(7)), asBytes("seven"));
    rt::ByteArray* empty = store->getRecord(2);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->length(), 0);
    EXPECT_EQ(store->getRecordSize(9), 4);

    // An index whose last id is below one it holds: no id is given twice.
    put(datakit::recordStoreIndexName("Behind", kNames), datakit::writeRecordStoreIndex(1, {6, 2}));
    EXPECT_EQ(add(open("Behind", false), "new"), 7);
    // After the largest id there is none left to give.
    put(datakit::recordStoreIndexName("Spent", kNames),
        datakit::writeRecordStoreIndex(INT32_MAX, {INT32_MIN}));
    EXPECT_EQ(add(open("Spent", false), "new"), 0);
    EXPECT_EQ(pending(), std::make_pair(rt::ClassId::javax_microedition_rms_RecordStoreFullException,
                                        std::string("store full")));
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(RecordStoreTest, AnIndexListingMoreIdsThanAStoreMayHoldIsRefused) {
    constexpr std::int32_t kMax = RecordStore::kMaxRecordIds;
    std::vector<std::int32_t> most(kMax);
    std::iota(most.begin(), most.end(), 1);
    put(datakit::recordStoreIndexName("Most", kNames), datakit::writeRecordStoreIndex(kMax, most));
    RecordStore* store = open("Most", false);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->recordIds()->size(), kMax);
    EXPECT_TRUE(log.lines().empty());

    std::vector<std::int32_t> tooMany(most);
    tooMany.push_back(kMax + 1);
    std::vector<std::int32_t> many(132000);
    std::iota(many.begin(), many.end(), 1);
    struct Case {
        const char* what;
        datakit::Bytes index;
        const char* logged;
    };
    const Case cases[] = {
        {"one id too many", datakit::writeRecordStoreIndex(kMax + 1, tooMany), "lists 4097 ids"},
        {"a count far past its ids, all of them there", datakit::writeRecordStoreIndex(132000, many),
         "lists 132000 ids"},
    };
    for (const Case& c : cases) {
        log.clear();
        put(datakit::recordStoreIndexName("Many", kNames), c.index);
        EXPECT_EQ(open("Many", true), nullptr) << c.what;
        EXPECT_EQ(pending(),
                  std::make_pair(rt::ClassId::javax_microedition_rms_RecordStoreException,
                                 std::string("\\Program Files\\Brivanta\\Vorlax Rally\\Rms_Many.DAT")))
            << c.what;
        ASSERT_EQ(log.lines().size(), 1u) << c.what;
        EXPECT_NE(log.lines()[0].find("rms_many.dat"), std::string::npos) << log.lines()[0];
        EXPECT_NE(log.lines()[0].find(c.logged), std::string::npos) << log.lines()[0];
        EXPECT_EQ(storeFile("Many"), c.index) << "a refused store is left as it is";
    }
}

// A damaged index must not open the store empty: the next record would be
// written over record 1 or beside it, and the records still whole would be
// lost. The store is rebuilt from its record files (record 2 was deleted, so
// its file is empty), and one log line names the index and the damage.
struct DamagedIndex {
    const char* what;
    datakit::RecordStoreDescription store;
    std::optional<datakit::Bytes> index; // none: the index file is missing
    const char* damage;
    std::vector<std::int32_t> ids;
    std::int32_t lastRecordId;
    // Files beside the store whose names are near a record file's.
    std::vector<std::string> decoys = {};

    friend void PrintTo(const DamagedIndex& c, std::ostream* out) { *out << c.what; }
};

const datakit::RecordStoreDescription kKept{"Kept", 3, {{1, asBytes("one")}, {2, {}}, {3, asBytes("three")}}};
const datakit::RecordStoreDescription kFar{"Far", 9, {{7, asBytes("seven")}, {9, asBytes("nine")}}};

datakit::Bytes damagedIndex(const datakit::RecordStoreDescription& store,
                            const datakit::RecordStoreIndexOptions& options) {
    std::vector<std::int32_t> ids;
    for (const datakit::StoredRecord& record : store.records) {
        if (!record.bytes.empty())
            ids.push_back(record.id);
    }
    return datakit::writeRecordStoreIndex(store.lastRecordId, ids, options);
}

struct RecordStoreDamagedIndexTest : RecordStoreTest, ::testing::WithParamInterface<DamagedIndex> {};

TEST_P(RecordStoreDamagedIndexTest, IsRebuiltFromTheRecordFilesAndNothingIsWrittenOverThem) {
    const DamagedIndex& c = GetParam();
    for (const auto& [file, bytes] : datakit::writeRecordStore(c.store, kNames)) {
        if (file != datakit::recordStoreIndexName(c.store.name, kNames))
            put(file, bytes);
    }
    if (c.index)
        put(datakit::recordStoreIndexName(c.store.name, kNames), *c.index);
    for (const std::string& decoy : c.decoys)
        put(decoy, asBytes("decoy"));
    log.clear();

    RecordStore* store = open(c.store.name.c_str(), true);
    ASSERT_NE(store, nullptr);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(ids(store), c.ids);
    EXPECT_EQ(store->lastRecordId(), c.lastRecordId);
    ASSERT_EQ(log.lines().size(), 1u) << testing::PrintToString(log.lines());
    std::string lowered = c.store.name;
    for (char& ch : lowered)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_NE(log.lines()[0].find("rms_" + lowered + ".dat: the index " + c.damage + "; rebuilt"),
              std::string::npos)
        << log.lines()[0];
    for (const datakit::StoredRecord& record : c.store.records) {
        if (!record.bytes.empty()) {
            EXPECT_EQ(bytesOf(store->getRecord(record.id)), record.bytes) << record.id;
        }
    }

    // A new record takes a new id and leaves every other file as it was; the
    // index written then lists the rebuilt ids and the new one.
    EXPECT_EQ(add(store, "new"), c.lastRecordId + 1);
    for (const datakit::StoredRecord& record : c.store.records)
        EXPECT_EQ(recordFile(c.store.name, record.id), record.bytes) << record.id;
    std::vector<std::int32_t> listed = c.ids;
    listed.push_back(c.lastRecordId + 1);
    EXPECT_EQ(storeFile(c.store.name), datakit::writeRecordStoreIndex(c.lastRecordId + 1, listed));
    EXPECT_FALSE(rt::exceptionPending());
}

INSTANTIATE_TEST_SUITE_P(
    RecordStoreTest, RecordStoreDamagedIndexTest,
    ::testing::Values(DamagedIndex{"count zeroed",
                                   kKept,
                                   damagedIndex(kKept, {.indexedCount = 0, .truncateTo = {}}),
                                   "is 16 bytes long, not the 8 its 0 ids take",
                                   {1, 3},
                                   3},
                      DamagedIndex{"count minus one",
                                   kKept,
                                   damagedIndex(kKept, {.indexedCount = -1, .truncateTo = {}}),
                                   "lists -1 ids",
                                   {1, 3},
                                   3},
                      DamagedIndex{"cut to six bytes",
                                   kKept,
                                   damagedIndex(kKept, {.indexedCount = {}, .truncateTo = 6}),
                                   "is 6 bytes long, shorter than its head",
                                   {1, 3},
                                   3},
                      DamagedIndex{"empty",
                                   kKept,
                                   damagedIndex(kKept, {.indexedCount = {}, .truncateTo = 0}),
                                   "is 0 bytes long, shorter than its head",
                                   {1, 3},
                                   3},
                      DamagedIndex{"cut inside its ids",
                                   kKept,
                                   damagedIndex(kKept, {.indexedCount = {}, .truncateTo = 13}),
                                   "is 13 bytes long, not the 16 its 2 ids take",
                                   {1, 3},
                                   3},
                      DamagedIndex{"count far past its ids",
                                   kKept,
                                   damagedIndex(kKept, {.indexedCount = 132000, .truncateTo = {}}),
                                   "is 16 bytes long, not the 528008 its 132000 ids take",
                                   {1, 3},
                                   3},
                      DamagedIndex{
                          "missing beside its record files", kKept, std::nullopt, "is missing", {1, 3}, 3},
                      // Ids the game did not give from 1: only what the index still holds names them.
                      DamagedIndex{"count zeroed, ids far from 1",
                                   kFar,
                                   damagedIndex(kFar, {.indexedCount = 0, .truncateTo = {}}),
                                   "is 16 bytes long, not the 8 its 0 ids take",
                                   {7, 9},
                                   9},
                      // Only a name made as the store makes a record's names a record file.
                      DamagedIndex{"count zeroed, files named nearly as records",
                                   kKept,
                                   damagedIndex(kKept, {.indexedCount = 0, .truncateTo = {}}),
                                   "is 16 bytes long, not the 8 its 0 ids take",
                                   {1, 3},
                                   3,
                                   {"rms_kept.dat#04.dat", "rms_kept.dat#4.dat.new", "rms_kept.dat#4x.dat",
                                    "rms_kepts.dat#4.dat", "rms_kept.dat#4", "rms_kept.dat#.dat",
                                    "rms_kept.dat#99999999999.dat"}}),
    NameByWhat{});

TEST_F(RecordStoreTest, AStoreThatIsNotThereIsNotFoundUnlessMade) {
    EXPECT_EQ(open("Nothing", false), nullptr);
    auto [id, message] = pending();
    EXPECT_EQ(id, rt::ClassId::javax_microedition_rms_RecordStoreNotFoundException);
    EXPECT_EQ(message, "\\Program Files\\Brivanta\\Vorlax Rally\\Rms_Nothing.DAT");

    RecordStore* made = open("Nothing", true);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(ids(made).empty());
    EXPECT_EQ(made->lastRecordId(), 0);
    EXPECT_EQ(open("Nothing", false), nullptr) << "a store is there once something was written";
    EXPECT_EQ(pending().first, rt::ClassId::javax_microedition_rms_RecordStoreNotFoundException);
    made->closeRecordStore();
    EXPECT_NE(open("Nothing", false), nullptr);
}

TEST_F(RecordStoreTest, SevenCharactersOfANameBecomeUnderscores) {
    RecordStore* store = open("a/b:c*d?e<f>g|h");
    EXPECT_TRUE(
        store->path()->equalsCString("\\Program Files\\Brivanta\\Vorlax Rally\\Rms_a_b_c_d_e_f_g_h.DAT"));
    EXPECT_EQ(add(store, "x"), 1);
    EXPECT_EQ(storeFile("a_b_c_d_e_f_g_h"), datakit::writeRecordStoreIndex(1, {1}));
    EXPECT_EQ(datakit::recordStoreIndexName("a/b:c*d?e<f>g|h", kNames), "rms_a_b_c_d_e_f_g_h.dat");

    EXPECT_EQ(add(open("Two?Names"), "first"), 1);
    RecordStore* shared = open("Two:Names", false);
    ASSERT_NE(shared, nullptr) << "names that differ only there share one store";
    EXPECT_EQ(bytesOf(shared->getRecord(1)), asBytes("first"));
}

TEST_F(RecordStoreTest, VendorAndSuiteNamesPlaceAStoreUnderProgramFiles) {
    fs::path suite = root.path() / "pf" / "maker" / "suite";
    fs::create_directories(suite);
    ASSERT_TRUE(
        datakit::writeFile((suite / "rms_shared.dat").string(), datakit::writeRecordStoreIndex(1, {1})).ok());
    ASSERT_TRUE(datakit::writeFile((suite / "rms_shared.dat#1.dat").string(), asBytes("theirs")).ok());

    RecordStore* store = RecordStore::openRecordStore(text("Shared"), text("Maker"), text("Suite"));
    ASSERT_NE(store, nullptr);
    EXPECT_TRUE(store->path()->equalsCString("\\Program Files\\Maker\\Suite\\Rms_Shared.DAT"));
    EXPECT_EQ(bytesOf(store->getRecord(1)), asBytes("theirs"));
    EXPECT_EQ(RecordStore::openRecordStore(text("Other"), text("Maker"), text("Suite")), nullptr)
        << "this form never makes a store";
    EXPECT_EQ(pending().first, rt::ClassId::javax_microedition_rms_RecordStoreNotFoundException);
    EXPECT_EQ(RecordStore::openRecordStore(text("Shared"), text(""), text("Suite")), nullptr);
    EXPECT_EQ(pending().second, "\\Program Files\\Brivanta\\Vorlax Rally\\Rms_Shared.DAT")
        << "an empty vendor name: the ordinary form";

    // A non-empty C14 makes the two-argument open take the vendor form too.
    installConstants("Maker");
    EXPECT_EQ(open("Shared", false), nullptr);
    EXPECT_EQ(pending().second, "\\Program Files\\Maker\\Maker\\Rms_Shared.DAT");
}

TEST_F(RecordStoreTest, IdsNotInTheStoreAreInvalidExceptForDelete) {
    RecordStore* store = open("Ids");
    EXPECT_EQ(add(store, "abc"), 1);
    EXPECT_EQ(store->getRecord(99), nullptr);
    EXPECT_EQ(pending(), std::make_pair(kInvalidId, std::string("99")));
    EXPECT_EQ(store->getRecordSize(-5), 0);
    EXPECT_EQ(pending(), std::make_pair(kInvalidId, std::string("-5")));
    store->setRecord(2, byteArray(asBytes("x")), 0, 1);
    EXPECT_EQ(pending(), std::make_pair(kInvalidId, std::string("2")));
    EXPECT_EQ(store->getRecord(7, rt::newByteArray(10), 0), 0);
    EXPECT_EQ(pending(), std::make_pair(kInvalidId, std::string("7")));
    store->deleteRecord(99);
    EXPECT_FALSE(rt::exceptionPending()) << "deleting an id not there does nothing";

    store->setRecord(1, byteArray(asBytes("ignored")), 0, 0);
    rt::ByteArray* empty = store->getRecord(1);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->length(), 0);
    store->setRecord(1, byteArray(asBytes("--new--")), 2, 3);
    EXPECT_EQ(bytesOf(store->getRecord(1)), asBytes("new"));
    store->deleteRecord(1);
    EXPECT_EQ(store->getRecord(1), nullptr);
    EXPECT_EQ(pending(), std::make_pair(kInvalidId, std::string("1")));
}

TEST_F(RecordStoreTest, ReadingIntoABufferNeedsRoomForTheWholeRecord) {
    RecordStore* store = open("Buffer");
    EXPECT_EQ(add(store, "12345"), 1);
    rt::ByteArray* buffer = byteArray(asBytes("........"));
    EXPECT_EQ(store->getRecord(1, buffer, 3), 5);
    EXPECT_EQ(bytesOf(buffer), asBytes("...12345"));

    for (std::int32_t offset : {4, 8, 9, -1}) {
        rt::ByteArray* small = byteArray(asBytes("........"));
        EXPECT_EQ(store->getRecord(1, small, offset), 0) << offset;
        EXPECT_EQ(pending().first, rt::ClassId::java_lang_ArrayIndexOutOfBoundsException) << offset;
        EXPECT_EQ(bytesOf(small), asBytes("........")) << "nothing written, offset " << offset;
    }
    log.clear();
    EXPECT_EQ(store->getRecord(1, nullptr, 0), 0);
    EXPECT_TRUE(log.contains("NullPointer"));

    // A record file removed behind the store's back reads as missing.
    fs::remove(inProgramFolder(datakit::recordFileName("Buffer", 1, kNames)));
    EXPECT_EQ(store->getRecord(1), nullptr);
    EXPECT_EQ(store->getRecord(1, buffer, 0), 0);
    EXPECT_EQ(store->getRecordSize(1), 0);
    EXPECT_EQ(store->getSize(), 0);
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(RecordStoreTest, AnIndexThatCannotBeWrittenIsAStoreException) {
    RecordStore* store = open("Stuck");
    EXPECT_EQ(add(store, "kept"), 1);
    // A folder where the index's temporary file must go.
    fs::create_directories(inProgramFolder("rms_stuck.dat.new"));

    EXPECT_EQ(add(store, "second"), 0);
    EXPECT_EQ(pending(), std::make_pair(rt::ClassId::javax_microedition_rms_RecordStoreException,
                                        std::string("cannot write the index")));
    EXPECT_EQ(ids(store), (std::vector<std::int32_t>{1, 2})) << "the id is taken all the same";
    EXPECT_EQ(recordFile("Stuck", 2), asBytes("second")) << "and its record written";
    EXPECT_EQ(storeFile("Stuck"), datakit::writeRecordStoreIndex(1, {1})) << "the old index stays whole";

    store->setRecord(1, byteArray(asBytes("changed")), 0, 7);
    EXPECT_EQ(pending().first, rt::ClassId::javax_microedition_rms_RecordStoreException);
    store->closeRecordStore();
    EXPECT_EQ(pending().first, rt::ClassId::javax_microedition_rms_RecordStoreException);
    store->deleteRecord(2);
    EXPECT_FALSE(rt::exceptionPending()) << "delete drops it";

    // The index on disk still lists record 1: its file must keep its bytes.
    store->deleteRecord(1);
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_EQ(recordFile("Stuck", 1), asBytes("changed")) << "a record leaves only once the index lets it go";
    fs::remove(inProgramFolder("rms_stuck.dat.new"));
    RecordStore* again = open("Stuck", false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ids(again), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(bytesOf(again->getRecord(1)), asBytes("changed"));
}

TEST_F(RecordStoreTest, ARecordFileThatCannotBeWrittenIsAStoreExceptionAndChangesNothing) {
    RecordStore* store = open("Jammed");
    EXPECT_EQ(add(store, "kept"), 1);
    // Folders where the temporary files of records 1 and 2 must go.
    fs::create_directories(inProgramFolder(datakit::recordFileName("Jammed", 1, kNames) + ".new"));
    fs::create_directories(inProgramFolder(datakit::recordFileName("Jammed", 2, kNames) + ".new"));

    store->setRecord(1, byteArray(asBytes("lost")), 0, 4);
    EXPECT_EQ(pending(), std::make_pair(rt::ClassId::javax_microedition_rms_RecordStoreException,
                                        std::string("cannot write the index")));
    EXPECT_EQ(add(store, "second"), 0);
    EXPECT_EQ(pending().first, rt::ClassId::javax_microedition_rms_RecordStoreException);
    EXPECT_EQ(ids(store), (std::vector<std::int32_t>{1})) << "a record without its bytes is not listed";
    EXPECT_EQ(storeFile("Jammed"), datakit::writeRecordStoreIndex(1, {1}));
    EXPECT_EQ(bytesOf(store->getRecord(1)), asBytes("kept"));
}

TEST_F(RecordStoreTest, RecordFilesTheIndexDoesNotListAreLeftovers) {
    // What a process killed inside an add (record 4 written, not yet listed)
    // or inside a delete (record 2 no longer listed, its file not yet
    // emptied) leaves behind.
    putStore({"Left", 3, {{1, asBytes("one")}, {3, asBytes("three")}}});
    put(datakit::recordFileName("Left", 2, kNames), asBytes("deleted"));
    put(datakit::recordFileName("Left", 4, kNames), asBytes("never listed"));

    RecordStore* store = open("Left", false);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(ids(store), (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(store->getSize(), 3 + 5);
    EXPECT_EQ(store->getRecord(2), nullptr);
    EXPECT_EQ(pending().first, kInvalidId);
    EXPECT_EQ(add(store, "four"), 4) << "an id never listed may be given, its old file replaced";
    EXPECT_EQ(recordFile("Left", 4), asBytes("four"));
    EXPECT_EQ(add(store, "five"), 5) << "a deleted id is not given again";
    EXPECT_EQ(recordFile("Left", 2), asBytes("deleted"));
}

TEST_F(RecordStoreTest, AnEnumerationWalksTheIdsInTheStoresOrder) {
    installConstants("");
    testing_support::installConstantStrings({{rt::constants::kDefaultMessage, "at "},
                                             {rt::constants::kRecordStorePathSeparator, "\\"},
                                             {rt::constants::kRecordStorePrefix, "Rms_"},
                                             {rt::constants::kRecordStoreSuffix, ".DAT"},
                                             {rt::constants::kRecordStoreWriteFailed, "cannot write"},
                                             {rt::constants::kRecordStoreRecordInfix, "#"}});
    putStore({"Walk", 9, {{5, asBytes("five")}, {9, asBytes("nine")}}});
    // C14 is not empty here: the ordinary form through the three-argument open.
    RecordStore* store = RecordStore::openRecordStore(text("Walk"), nullptr, nullptr);
    ASSERT_NE(store, nullptr);
    rt::Object* object = store->enumerateRecords();
    auto* records = rt::interfaceOf<javax_microedition_rms_RecordEnumeration>(object);
    ASSERT_NE(records, nullptr);
    EXPECT_EQ(records->numRecords(), 2);
    EXPECT_FALSE(records->hasPreviousElement());
    EXPECT_EQ(bytesOf(records->nextRecord()), asBytes("five"));
    EXPECT_TRUE(records->hasPreviousElement());
    EXPECT_EQ(records->nextRecordId(), 9);
    EXPECT_FALSE(records->hasNextElement());
    EXPECT_EQ(records->nextRecord(), nullptr);
    EXPECT_EQ(pending(), std::make_pair(kInvalidId, std::string("at 2")));
    EXPECT_EQ(records->previousRecordId(), 0);
    EXPECT_EQ(pending(), std::make_pair(kInvalidId, std::string("at 2")));

    records->reset();
    EXPECT_EQ(records->nextRecordId(), 5);
    EXPECT_EQ(bytesOf(records->previousRecord()), asBytes("nine"));
    EXPECT_EQ(records->previousRecordId(), 5);
    EXPECT_EQ(records->previousRecord(), nullptr);
    EXPECT_EQ(pending(), std::make_pair(kInvalidId, std::string("at -1")));
    records->rebuild();
    records->keepUpdated(true);
    EXPECT_FALSE(records->isKeptUpdated());
    records->destroy();

    rt::ObjectArray* names = RecordStore::listRecordStores();
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->length(), 0) << "the device lists no folder";
}

} // namespace

} // namespace record_store_test
