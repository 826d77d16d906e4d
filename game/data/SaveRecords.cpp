#include "game/data/SaveRecords.h"

#include "game/data/Progress.h"
#include "game/data/RecordStorage.h"
#include "game/framework/FixedPoint.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

namespace game {

namespace {

rt::String* storeName(std::int32_t constant) {
    return rt::getStaticClass().getConstantString(constant);
}

std::int32_t lengthOf(rt::IntArray* array) {
    return array ? array->length() : 0;
}

std::int32_t getByte(rt::ByteArray* record, std::int32_t at) {
    return rt::ByteArray::get(record, at);
}

void putByte(rt::ByteArray* record, std::int32_t at, std::int32_t value) {
    rt::ByteArray::set(record, at, static_cast<std::int8_t>(value));
}

// Whether `record` is `length` bytes long and begins with its count's or
// length's low 8 bits.
bool fits(rt::ByteArray* record, std::int32_t length, std::int32_t check) {
    return record && length >= 1 && record->length() == length &&
           static_cast<std::uint8_t>(rt::ByteArray::get(record, 0)) == static_cast<std::uint8_t>(check);
}

void putInts(rt::ByteArray* record, std::int32_t at, rt::IntArray* values) {
    if (!values)
        return;
    for (std::int32_t value : rt::IntArray::span(values)) {
        putIntLE(record, at, value);
        at += 4;
    }
}

void getInts(rt::ByteArray* record, std::int32_t at, rt::IntArray* values) {
    if (!values)
        return;
    for (std::int32_t& value : rt::IntArray::span(values)) {
        value = getIntLE(record, at);
        at += 4;
    }
}

// A count record: the count's low 8 bits, then the ints of each array.
rt::ByteArray* countRecord(rt::IntArray* first, rt::IntArray* second) {
    std::int32_t count = lengthOf(first) + lengthOf(second);
    rt::ByteArray* record = rt::newByteArray(1 + 4 * count);
    putByte(record, 0, count);
    putInts(record, 1, first);
    putInts(record, 1 + 4 * lengthOf(first), second);
    return record;
}

// Fills the arrays from the count record of store `constant` when it fits
// them; else writes them there.
bool readCountRecord(std::int32_t constant, rt::IntArray* first, rt::IntArray* second) {
    std::int32_t count = lengthOf(first) + lengthOf(second);
    rt::ByteArray* record = rmsRead(storeName(constant));
    if (!fits(record, 1 + 4 * count, count))
        return false;
    getInts(record, 1, first);
    getInts(record, 1 + 4 * lengthOf(first), second);
    return true;
}

// Where the unlock record keeps the fields after the masks and saved bytes.
struct UnlockPositions {
    std::int32_t promotion;
    std::int32_t gridA;
    std::int32_t progressValues;
    std::int32_t triplets;
    std::int32_t gridB;
    std::int32_t vibration;
};

UnlockPositions currentPositions(std::int32_t items) {
    using namespace unlock_record;
    return {kPromotion, kGridA, kProgressValues, kTriplets, kTriplets + 4 * items, kTriplets + 4 * items + 4};
}

// The older layout: the promotion byte and grid A over the reward grid, the
// fields after them two bytes earlier.
UnlockPositions olderPositions(std::int32_t items) {
    return {17, 19, 23, 47, 47 + 4 * items, 51 + 4 * items};
}

// The unlock fields as a record holds them.
struct StoredUnlocks {
    std::int32_t savedByteA;
    std::int32_t maskA;
    std::int32_t maskB;
    std::int32_t maskC;
    std::int32_t savedByteB;
    std::int32_t savedByteC;
    std::int32_t rewardGrid;
    std::int32_t promotion;
    std::int32_t gridA;
    std::int32_t gridB;
    std::int32_t vibration;
};

StoredUnlocks decodeUnlocks(rt::ByteArray* record, const UnlockPositions& at, bool older) {
    using namespace unlock_record;
    StoredUnlocks stored{};
    stored.savedByteA = getByte(record, kSavedByteA);
    stored.maskA = getIntLE(record, kMaskA);
    stored.maskB = getIntLE(record, kMaskB);
    stored.maskC = getIntLE(record, kMaskC);
    stored.savedByteB = getByte(record, kSavedByteB);
    stored.savedByteC = getByte(record, kSavedByteC);
    if (older) {
        // Only bytes 0 and 2 of the reward grid outlived the fields written over it.
        std::int32_t low = getByte(record, kRewardGrid) & 0xFF;
        std::int32_t third = getByte(record, kRewardGrid + 2) & 0xFF;
        stored.rewardGrid = low | third << 16;
    } else {
        stored.rewardGrid = getIntLE(record, kRewardGrid);
    }
    stored.promotion = getByte(record, at.promotion);
    stored.gridA = getIntLE(record, at.gridA);
    stored.gridB = getIntLE(record, at.gridB);
    stored.vibration = getByte(record, at.vibration);
    return stored;
}

// Whether `mask` holds no bit outside `bits`.
bool holdsOnly(std::int32_t mask, std::uint32_t bits) {
    return (static_cast<std::uint32_t>(mask) & ~bits) == 0;
}

// The first field of a stored unlock record that holds a value the game never
// writes; null when every field the game reads could have been written by
// it. The six progress values and saved bytes B and C are read by nothing
// and kept as they are.
const char* implausibleField(const StoredUnlocks& stored, rt::IntArray* triplets) {
    if (stored.savedByteA < static_cast<std::int32_t>(SoundChoice::None) ||
        stored.savedByteA > static_cast<std::int32_t>(SoundChoice::On))
        return "the sound choice";
    if (!holdsOnly(stored.maskA, kMaskABits))
        return "mask A";
    if (!holdsOnly(stored.maskB, kMaskBBits))
        return "mask B";
    if (!holdsOnly(stored.maskC, kMaskCBits))
        return "mask C";
    if (!holdsOnly(stored.rewardGrid, kGridBits))
        return "the reward grid";
    if (stored.promotion != 0 && stored.promotion != 1)
        return "the promotion byte";
    if (!holdsOnly(stored.gridA, kGridBits))
        return "grid A";
    if (!holdsOnly(stored.gridB, kGridBits))
        return "grid B";
    if (stored.vibration != 0 && stored.vibration != 1)
        return "the vibration byte";
    if (triplets) {
        for (std::int32_t flags : rt::IntArray::span(triplets)) {
            if (!holdsOnly(flags, kTripletBits))
                return "a triplet item";
        }
    }
    return nullptr;
}

void applyUnlocks(const StoredUnlocks& stored, rt::ByteArray* record, const UnlockPositions& at) {
    ProgressStatics& progress = progressStatics();
    progress.s_savedByteA = stored.savedByteA;
    progress.s_progressMaskA = stored.maskA;
    progress.s_progressMaskB = stored.maskB;
    progress.s_progressMaskC = stored.maskC;
    progress.s_savedByteB = stored.savedByteB;
    progress.s_savedByteC = stored.savedByteC;
    progress.s_rewardGrid = stored.rewardGrid;
    progress.s_promotionPending = stored.promotion >= 1 ? 1 : 0;
    progress.s_gridFlagsA = stored.gridA;
    getInts(record, at.progressValues, progress.s_progressValues);
    getInts(record, at.triplets, progress.s_tripletFlags);
    progress.s_gridFlagsB = stored.gridB;
    progress.s_vibrationOn = stored.vibration == 1 ? 1 : 0;
}

// Takes a stored unlock record in the layout `at` when every value it holds
// is one the game can write; else logs the field refused and takes nothing.
bool takeUnlocks(rt::ByteArray* record, const UnlockPositions& at, bool older) {
    StoredUnlocks stored = decodeUnlocks(record, at, older);
    // The triplets are checked where they lie, before anything is taken.
    rt::IntArray* triplets = rt::newIntArray(lengthOf(progressStatics().s_tripletFlags));
    getInts(record, at.triplets, triplets);
    if (const char* field = implausibleField(stored, triplets)) {
        host::logf(host::LogCategory::Game,
                   "saved progress: the unlock record holds a value the game never writes (%s); the defaults "
                   "are taken",
                   field);
        return false;
    }
    applyUnlocks(stored, record, at);
    return true;
}

} // namespace

SaveRecordStatics& saveRecordStatics() {
    return rt::getStaticClass().statics<SaveRecordStatics>();
}

void initUnlockRecordLayout() {
    std::int32_t items = lengthOf(progressStatics().s_tripletFlags);
    UnlockPositions at = currentPositions(items);
    SaveRecordStatics& records = saveRecordStatics();
    records.s_recordCGridPos = at.gridB;
    records.s_recordCFlagPos = at.vibration;
    records.s_recordCLength = unlock_record::length(items);
}

bool saveRecordA() {
    SaveRecordStatics& records = saveRecordStatics();
    if (!records.s_eventResults)
        return true;
    return rmsWriteSplit(storeName(rt::constants::kEventResultsStore),
                         countRecord(records.s_eventResults, records.s_eventProgress));
}

bool saveRecordB() {
    SaveRecordStatics& records = saveRecordStatics();
    if (!records.s_eventRecords)
        return true;
    return rmsWriteSplit(storeName(rt::constants::kEventRecordsStore),
                         countRecord(records.s_eventRecords, nullptr));
}

void loadRecordA() {
    SaveRecordStatics& records = saveRecordStatics();
    if (records.s_eventResults &&
        !readCountRecord(rt::constants::kEventResultsStore, records.s_eventResults, records.s_eventProgress))
        (void)saveRecordA();
}

void loadRecordB() {
    SaveRecordStatics& records = saveRecordStatics();
    if (records.s_eventRecords &&
        !readCountRecord(rt::constants::kEventRecordsStore, records.s_eventRecords, nullptr))
        (void)saveRecordB();
}

bool saveProgress() {
    using namespace unlock_record;
    const SaveRecordStatics& records = saveRecordStatics();
    ProgressStatics& progress = progressStatics();
    rt::ByteArray* record = rt::newByteArray(records.s_recordCLength);
    if (!record || record->length() < length(0))
        return false;
    UnlockPositions at = currentPositions(lengthOf(progress.s_tripletFlags));
    putByte(record, 0, records.s_recordCLength);
    putByte(record, kSavedByteA, progress.s_savedByteA);
    putIntLE(record, kMaskA, progress.s_progressMaskA);
    putIntLE(record, kMaskB, progress.s_progressMaskB);
    putIntLE(record, kMaskC, progress.s_progressMaskC);
    putByte(record, kSavedByteB, progress.s_savedByteB);
    putByte(record, kSavedByteC, progress.s_savedByteC);
    putIntLE(record, kRewardGrid, progress.s_rewardGrid);
    putByte(record, kPromotion, progress.s_promotionPending ? 1 : 0);
    putIntLE(record, kGridA, progress.s_gridFlagsA);
    putInts(record, at.progressValues, progress.s_progressValues);
    putInts(record, at.triplets, progress.s_tripletFlags);
    putIntLE(record, records.s_recordCGridPos, progress.s_gridFlagsB);
    putByte(record, records.s_recordCFlagPos, progress.s_vibrationOn ? 1 : 0);
    return rmsWriteSplit(storeName(rt::constants::kUnlocksStore), record);
}

std::int32_t loadRecordC() {
    std::int32_t items = lengthOf(progressStatics().s_tripletFlags);
    rt::ByteArray* record = rmsRead(storeName(rt::constants::kUnlocksStore));
    std::int32_t length = saveRecordStatics().s_recordCLength;
    if (fits(record, length, length)) {
        if (takeUnlocks(record, currentPositions(items), false))
            return 1;
    } else if (std::int32_t older = unlock_record::olderLength(items); fits(record, older, older)) {
        if (takeUnlocks(record, olderPositions(items), true)) {
            (void)saveProgress();
            return 1;
        }
    }
    resetUnlocks();
    (void)saveProgress();
    return 0;
}

} // namespace game
