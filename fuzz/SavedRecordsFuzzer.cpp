// Takes the input as a saved progress record in its record store and runs
// the reader of one of the three records over it. The first byte picks the
// record (event results, event records, unlocks), the next two the lengths
// of the event arrays; the rest is the record's bytes.
//
// Checks: a count record is taken exactly when its length and first byte
// fit, an unlock record only then (and when its values are the game's); a
// taken count record fills the arrays with its ints and stays as it was; a
// taken unlock record holds only mask bits the game sets and, in the current layout,
// writes back as the same bytes; anything else leaves a record that fits in
// the store (the arrays' values, or the unlock defaults), and nothing stays
// pending.

#include "fuzz/PlatformFiles.h"
#include "game/data/Progress.h"
#include "game/data/SaveRecords.h"
#include "runtime/constantStrings.h"
#include "tools/datakit/RecordStore.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

using datakit::Bytes;
using fuzzing::check;

const datakit::RecordStoreNames kNames{"rms_", ".dat", "#"};
constexpr const char* kStores[] = {"Results", "Records", "Unlocks"};

// The harness's constant strings with the three stores' names added.
rt::ObjectArray* storeNames() {
    rt::StaticClass& statics = rt::getStaticClass();
    std::int32_t length = rt::constants::kUnlocksStore + 1;
    rt::ObjectArray* table = rt::newObjectArray(length);
    // The platform's table is shorter: past its end every text is empty.
    rt::ObjectArray* platform = statics.constantStrings();
    for (std::int32_t i = 0; i < length; ++i) {
        rt::String* text = platform && i < platform->length() ? statics.getConstantString(i) : nullptr;
        rt::Array::setRef(table, i, text ? text : rt::String::newFromCString(""));
    }
    rt::Array::setRef(table, rt::constants::kEventResultsStore, rt::String::newFromCString(kStores[0]));
    rt::Array::setRef(table, rt::constants::kEventRecordsStore, rt::String::newFromCString(kStores[1]));
    rt::Array::setRef(table, rt::constants::kUnlocksStore, rt::String::newFromCString(kStores[2]));
    return table;
}

Bytes storedRecord(const char* store) {
    std::ifstream in(fuzzing::programFolder() / datakit::recordFileName(store, 1, kNames), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::int32_t intAt(const Bytes& bytes, std::size_t at) {
    return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                     static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

rt::IntArray* marked(std::int32_t length, std::int32_t first) {
    rt::IntArray* array = rt::newIntArray(length);
    for (std::int32_t i = 0; i < length; ++i)
        rt::IntArray::set(array, i, first + i);
    return array;
}

void checkCountRecord(bool results, std::size_t first, std::size_t second, const Bytes& record) {
    game::SaveRecordStatics& records = game::saveRecordStatics();
    rt::IntArray* a = marked(static_cast<std::int32_t>(first), 1000);
    rt::IntArray* b = results ? marked(static_cast<std::int32_t>(second), 2000) : nullptr;
    std::size_t count = first + (results ? second : 0);
    if (results) {
        records.s_eventResults = a;
        records.s_eventProgress = b;
        game::loadRecordA();
    } else {
        records.s_eventRecords = a;
        game::loadRecordB();
    }
    check(!rt::exceptionPending());
    bool fits = record.size() == 1 + 4 * count && record[0] == static_cast<std::uint8_t>(count);
    std::vector<std::int32_t> values;
    for (rt::IntArray* array : {a, b}) {
        for (std::int32_t i = 0; array && i < array->length(); ++i)
            values.push_back(rt::IntArray::get(array, i));
    }
    Bytes stored = storedRecord(results ? kStores[0] : kStores[1]);
    check(stored.size() == 1 + 4 * count && stored[0] == static_cast<std::uint8_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        check(intAt(stored, 1 + 4 * i) == values[i]);
        if (!fits)
            check(values[i] == (i < first ? 1000 + static_cast<std::int32_t>(i)
                                          : 2000 + static_cast<std::int32_t>(i - first)));
    }
    if (fits)
        check(stored == record);
}

void checkUnlockRecord(const Bytes& record) {
    game::ProgressStatics& progress = game::progressStatics();
    progress.s_savedByteA = 5;
    progress.s_progressMaskA = -1;
    progress.s_rewardGrid = -1;
    std::size_t length = 4 * game::kTripletItems + 54;
    bool current = record.size() == length && record[0] == length;
    bool older = record.size() == length - 2 && record[0] == length - 2;
    std::int32_t taken = game::loadRecordC();
    check(!rt::exceptionPending());
    check(taken == 0 || current || older);
    // A record taken holds no mask bit the game never sets.
    if (taken)
        check((progress.s_progressMaskA & ~0x3F) == 0 && (progress.s_progressMaskB & ~0x3F) == 0 &&
              (progress.s_progressMaskC & ~0x0F) == 0);
    Bytes stored = storedRecord(kStores[2]);
    check(stored.size() == length && stored[0] == length);
    if (taken && current) {
        Bytes expected = record;
        expected[20] = static_cast<std::int8_t>(record[20]) >= 1 ? 1 : 0;
        expected[length - 1] = record[length - 1] == 1 ? 1 : 0;
        check(game::saveProgress());
        check(storedRecord(kStores[2]) == expected);
    } else if (!taken) {
        check(progress.s_progressMaskA == 7 && progress.s_progressMaskB == 7 &&
              progress.s_progressMaskC == 3);
        check(progress.s_rewardGrid == 0 && progress.s_gridFlagsA == 17 && progress.s_gridFlagsB == 0);
        check(progress.s_savedByteA == 5 && stored[1] == 5);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || size > (1u << 12))
        return 0;
    fuzzing::PlatformFiles platform(&storeNames);
    game::initProgressStatics();
    std::size_t which = data[0] % 3;
    Bytes record(data + 3, data + size);
    for (const auto& [file, bytes] : datakit::writeRecordStore({kStores[which], 1, {{1, record}}}, kNames))
        fuzzing::putFile(file, bytes);
    if (which == 2)
        checkUnlockRecord(record);
    else
        checkCountRecord(which == 0, data[1] % 160, data[2] % 8, record);
    return 0;
}
