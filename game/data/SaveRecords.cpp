#include "game/data/SaveRecords.h"

#include "game/data/Progress.h"
#include "game/data/RecordStorage.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <span>

namespace game {

namespace {

using Bytes = std::span<std::int8_t>;

rt::String* storeName(std::int32_t constant) {
    return rt::getStaticClass().getConstantString(constant);
}

std::int32_t lengthOf(rt::IntArray* array) {
    return array ? array->length() : 0;
}

void putInt(Bytes data, std::int32_t at, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (std::int32_t i = 0; i < 4; ++i)
        data[static_cast<std::size_t>(at + i)] = static_cast<std::int8_t>(bits >> (8 * i));
}

std::int32_t getInt(Bytes data, std::int32_t at) {
    std::uint32_t bits = 0;
    for (std::int32_t i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(data[static_cast<std::size_t>(at + i)]))
                << (8 * i);
    return static_cast<std::int32_t>(bits);
}

std::int32_t getByte(Bytes data, std::int32_t at) {
    return data[static_cast<std::size_t>(at)];
}

// Whether `record` is `length` bytes long and begins with its count's or
// length's low 8 bits.
bool fits(rt::ByteArray* record, std::int32_t length, std::int32_t check) {
    return record && length >= 1 && record->length() == length &&
           static_cast<std::uint8_t>(rt::ByteArray::get(record, 0)) == static_cast<std::uint8_t>(check);
}

void putInts(Bytes data, std::int32_t at, rt::IntArray* values) {
    if (!values)
        return;
    for (std::int32_t value : rt::IntArray::span(values)) {
        putInt(data, at, value);
        at += 4;
    }
}

void getInts(Bytes data, std::int32_t at, rt::IntArray* values) {
    if (!values)
        return;
    for (std::int32_t& value : rt::IntArray::span(values)) {
        value = getInt(data, at);
        at += 4;
    }
}

// A count record: the count's low 8 bits, then the ints of each array.
rt::ByteArray* countRecord(rt::IntArray* first, rt::IntArray* second) {
    std::int32_t count = lengthOf(first) + lengthOf(second);
    rt::ByteArray* record = rt::newByteArray(1 + 4 * count);
    Bytes data = rt::ByteArray::span(record);
    data[0] = static_cast<std::int8_t>(count);
    putInts(data, 1, first);
    putInts(data, 1 + 4 * lengthOf(first), second);
    return record;
}

// Fills the arrays from the count record of store `constant` when it fits
// them; else writes them there.
bool readCountRecord(std::int32_t constant, rt::IntArray* first, rt::IntArray* second) {
    std::int32_t count = lengthOf(first) + lengthOf(second);
    rt::ByteArray* record = rmsRead(storeName(constant));
    if (!fits(record, 1 + 4 * count, count))
        return false;
    Bytes data = rt::ByteArray::span(record);
    getInts(data, 1, first);
    getInts(data, 1 + 4 * lengthOf(first), second);
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

void readUnlocks(Bytes data, const UnlockPositions& at, bool older) {
    using namespace unlock_record;
    ProgressStatics& progress = progressStatics();
    progress.s_savedByteA = getByte(data, kSavedByteA);
    progress.s_progressMaskA = getInt(data, kMaskA);
    progress.s_progressMaskB = getInt(data, kMaskB);
    progress.s_progressMaskC = getInt(data, kMaskC);
    progress.s_savedByteB = getByte(data, kSavedByteB);
    progress.s_savedByteC = getByte(data, kSavedByteC);
    if (older) {
        // Only bytes 0 and 2 of the reward grid outlived the fields written over it.
        std::int32_t low = getByte(data, kRewardGrid) & 0xFF;
        std::int32_t third = getByte(data, kRewardGrid + 2) & 0xFF;
        progress.s_rewardGrid = low | third << 16;
    } else {
        progress.s_rewardGrid = getInt(data, kRewardGrid);
    }
    progress.s_promotionPending = getByte(data, at.promotion) >= 1 ? 1 : 0;
    progress.s_gridFlagsA = getInt(data, at.gridA);
    getInts(data, at.progressValues, progress.s_progressValues);
    getInts(data, at.triplets, progress.s_tripletFlags);
    progress.s_gridFlagsB = getInt(data, at.gridB);
    progress.s_vibrationOn = getByte(data, at.vibration) == 1 ? 1 : 0;
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
    Bytes data = rt::ByteArray::span(record);
    if (data.size() < static_cast<std::size_t>(length(0)))
        return false;
    UnlockPositions at = currentPositions(lengthOf(progress.s_tripletFlags));
    data[0] = static_cast<std::int8_t>(records.s_recordCLength);
    data[kSavedByteA] = static_cast<std::int8_t>(progress.s_savedByteA);
    putInt(data, kMaskA, progress.s_progressMaskA);
    putInt(data, kMaskB, progress.s_progressMaskB);
    putInt(data, kMaskC, progress.s_progressMaskC);
    data[kSavedByteB] = static_cast<std::int8_t>(progress.s_savedByteB);
    data[kSavedByteC] = static_cast<std::int8_t>(progress.s_savedByteC);
    putInt(data, kRewardGrid, progress.s_rewardGrid);
    data[kPromotion] = progress.s_promotionPending ? 1 : 0;
    putInt(data, kGridA, progress.s_gridFlagsA);
    putInts(data, at.progressValues, progress.s_progressValues);
    putInts(data, at.triplets, progress.s_tripletFlags);
    putInt(data, records.s_recordCGridPos, progress.s_gridFlagsB);
    data[static_cast<std::size_t>(records.s_recordCFlagPos)] = progress.s_vibrationOn ? 1 : 0;
    return rmsWriteSplit(storeName(rt::constants::kUnlocksStore), record);
}

std::int32_t loadRecordC() {
    std::int32_t items = lengthOf(progressStatics().s_tripletFlags);
    rt::ByteArray* record = rmsRead(storeName(rt::constants::kUnlocksStore));
    std::int32_t length = saveRecordStatics().s_recordCLength;
    if (fits(record, length, length)) {
        readUnlocks(rt::ByteArray::span(record), currentPositions(items), false);
        return 1;
    }
    std::int32_t older = unlock_record::olderLength(items);
    if (fits(record, older, older)) {
        readUnlocks(rt::ByteArray::span(record), olderPositions(items), true);
        (void)saveProgress();
        return 1;
    }
    resetUnlocks();
    (void)saveProgress();
    return 0;
}

} // namespace game
