#include "game/data/SaveRecords.h"

#include "game/data/Progress.h"
#include "game/data/RecordStorage.h"
#include "game/framework/FixedPoint.h"
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

void readUnlocks(rt::ByteArray* record, const UnlockPositions& at, bool older) {
    using namespace unlock_record;
    ProgressStatics& progress = progressStatics();
    progress.s_savedByteA = getByte(record, kSavedByteA);
    progress.s_progressMaskA = getIntLE(record, kMaskA);
    progress.s_progressMaskB = getIntLE(record, kMaskB);
    progress.s_progressMaskC = getIntLE(record, kMaskC);
    progress.s_savedByteB = getByte(record, kSavedByteB);
    progress.s_savedByteC = getByte(record, kSavedByteC);
    if (older) {
        // Only bytes 0 and 2 of the reward grid outlived the fields written over it.
        std::int32_t low = getByte(record, kRewardGrid) & 0xFF;
        std::int32_t third = getByte(record, kRewardGrid + 2) & 0xFF;
        progress.s_rewardGrid = low | third << 16;
    } else {
        progress.s_rewardGrid = getIntLE(record, kRewardGrid);
    }
    progress.s_promotionPending = getByte(record, at.promotion) >= 1 ? 1 : 0;
    progress.s_gridFlagsA = getIntLE(record, at.gridA);
    getInts(record, at.progressValues, progress.s_progressValues);
    getInts(record, at.triplets, progress.s_tripletFlags);
    progress.s_gridFlagsB = getIntLE(record, at.gridB);
    progress.s_vibrationOn = getByte(record, at.vibration) == 1 ? 1 : 0;
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
        readUnlocks(record, currentPositions(items), false);
        return 1;
    }
    std::int32_t older = unlock_record::olderLength(items);
    if (fits(record, older, older)) {
        readUnlocks(record, olderPositions(items), true);
        (void)saveProgress();
        return 1;
    }
    resetUnlocks();
    (void)saveProgress();
    return 0;
}

} // namespace game
