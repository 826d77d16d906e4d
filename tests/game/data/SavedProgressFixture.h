#pragma once

// What the saved-progress tests share: a runtime with the platform, a program
// folder of its own, the constant strings of the record stores' file names
// and of the three progress stores, and the progress statics as the static
// initialisation makes them. `restart` forgets every static, as a new run
// of the program starts with none, and makes them again.

#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "tests/platform/io/IoFixture.h"
#include "tools/datakit/RecordStore.h"
#include "tools/datakit/SaveRecords.h"

#include <string>

namespace progress_testing {

using datakit::Bytes;
namespace fs = std::filesystem;

inline const datakit::RecordStoreNames kNames{"rms_", ".dat", "_"};

struct SavedProgressTest : io_testing::IoTest {
    SavedProgressTest() { restart(); }

    void restart() {
        runtime.staticClass().clearStatics();
        platform::setFileFolders(&folders);
        testing_support::installConstantStrings({{rt::constants::kDefaultMessage, ""},
                                                 {rt::constants::kRecordStoreFull, "full"},
                                                 {rt::constants::kRecordStorePathSeparator, "\\"},
                                                 {rt::constants::kRecordStorePrefix, "rms_"},
                                                 {rt::constants::kRecordStoreSuffix, ".dat"},
                                                 {rt::constants::kRecordStoreWriteFailed, "not written"},
                                                 {rt::constants::kRecordStoreRecordInfix, "_"},
                                                 {rt::constants::kRecordReadFailed, "unreadable: "},
                                                 {rt::constants::kEventResultsStore, "Results"},
                                                 {rt::constants::kEventRecordsStore, "Records"},
                                                 {rt::constants::kUnlocksStore, "Unlocks"}});
        game::initProgressStatics();
    }

    // Store `name` holding `record` as record `id`, as datakit writes it.
    void putRecord(const std::string& name, const Bytes& record, std::int32_t id = 1) const {
        for (const auto& [file, bytes] : datakit::writeRecordStore({name, id, {{id, record}}}, kNames))
            put(file, bytes);
    }
    // The bytes of record `id` of store `name`, and the store's index.
    Bytes record(const std::string& name, std::int32_t id = 1) const {
        return fileContent(datakit::recordFileName(name, id, kNames));
    }
    Bytes index(const std::string& name) const {
        return fileContent(datakit::recordStoreIndexName(name, kNames));
    }
};

// The unlock statics as a datakit description, to compare with one.
inline datakit::UnlockRecord unlocksInMemory() {
    const game::ProgressStatics& p = game::progressStatics();
    datakit::UnlockRecord r;
    r.savedByteA = static_cast<std::int8_t>(p.s_savedByteA);
    r.maskA = p.s_progressMaskA;
    r.maskB = p.s_progressMaskB;
    r.maskC = p.s_progressMaskC;
    r.savedByteB = static_cast<std::int8_t>(p.s_savedByteB);
    r.savedByteC = static_cast<std::int8_t>(p.s_savedByteC);
    r.rewardGrid = p.s_rewardGrid;
    r.promotionPending = p.s_promotionPending != 0;
    r.gridA = p.s_gridFlagsA;
    for (std::size_t i = 0; i < r.progressValues.size(); ++i)
        r.progressValues[i] = rt::IntArray::get(p.s_progressValues, static_cast<std::int32_t>(i));
    for (std::int32_t value : rt::IntArray::span(p.s_tripletFlags))
        r.triplets.push_back(value);
    r.gridB = p.s_gridFlagsB;
    r.vibrationOn = p.s_vibrationOn != 0;
    return r;
}

inline bool operator==(const datakit::UnlockRecord& a, const datakit::UnlockRecord& b) {
    return a.savedByteA == b.savedByteA && a.maskA == b.maskA && a.maskB == b.maskB && a.maskC == b.maskC &&
           a.savedByteB == b.savedByteB && a.savedByteC == b.savedByteC && a.rewardGrid == b.rewardGrid &&
           a.promotionPending == b.promotionPending && a.gridA == b.gridA &&
           a.progressValues == b.progressValues && a.triplets == b.triplets && a.gridB == b.gridB &&
           a.vibrationOn == b.vibrationOn;
}

// A record with every field away from its default, within what the game can
// write (the fields nothing reads anywhere in their range), the three values
// that share offsets 16 to 22 in the older layout among them.
inline datakit::UnlockRecord everyFieldSet() {
    datakit::UnlockRecord r;
    r.savedByteA = 1;
    r.maskA = 0x2F;
    r.maskB = 0x3F;
    r.maskC = 0x0B;
    r.savedByteB = 127;
    r.savedByteC = -1;
    r.rewardGrid = 0xFFF;
    r.promotionPending = true;
    r.gridA = 0xE31;
    r.progressValues = {1, -1, 0x01020304, INT32_MIN, INT32_MAX, 6};
    r.triplets = {0x3FFFFFFF, 1, 2, 0x10000, 0, 0x20000000};
    r.gridB = 0xABE;
    r.vibrationOn = true;
    return r;
}

// Puts `r` into the unlock statics.
inline void setUnlocks(const datakit::UnlockRecord& r) {
    game::ProgressStatics& p = game::progressStatics();
    p.s_savedByteA = r.savedByteA;
    p.s_progressMaskA = r.maskA;
    p.s_progressMaskB = r.maskB;
    p.s_progressMaskC = r.maskC;
    p.s_savedByteB = r.savedByteB;
    p.s_savedByteC = r.savedByteC;
    p.s_rewardGrid = r.rewardGrid;
    p.s_promotionPending = r.promotionPending ? 1 : 0;
    p.s_gridFlagsA = r.gridA;
    for (std::size_t i = 0; i < r.progressValues.size(); ++i)
        rt::IntArray::set(p.s_progressValues, static_cast<std::int32_t>(i), r.progressValues[i]);
    for (std::size_t i = 0; i < r.triplets.size(); ++i)
        rt::IntArray::set(p.s_tripletFlags, static_cast<std::int32_t>(i), r.triplets[i]);
    p.s_gridFlagsB = r.gridB;
    p.s_vibrationOn = r.vibrationOn ? 1 : 0;
}

} // namespace progress_testing
