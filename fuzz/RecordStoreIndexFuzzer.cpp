// Takes the input as the index file of a record store, beside the file of
// record 1, and opens the store, checking what the store promises: a
// well-formed index whose count is above the bound is refused with a
// `RecordStoreException`; any other opens, with no more ids than the file
// holds (or record 1 alone) and nothing pending; a damaged index is rebuilt
// from the record files, so record 1 is listed and keeps its bytes; a record
// added then gets an id no listed record has; and the index written back
// holds exactly the store's ids.

#include "classlib/lang/Integer.h"
#include "classlib/util/Vector.h"
#include "fuzz/PlatformFiles.h"
#include "platform/io/RecordStore.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using fuzzing::check;
using RecordStore = platform::javax_microedition_rms_RecordStore;

std::vector<std::int32_t> idsOf(RecordStore* store) {
    std::vector<std::int32_t> ids;
    lib::java_util_Vector* vector = store->recordIds();
    for (std::int32_t i = 0; i < vector->size(); ++i)
        ids.push_back(static_cast<lib::java_lang_Integer*>(vector->elementAt(i))->intValue());
    return ids;
}

std::int32_t bigEndianAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 |
                                     bytes[at + 2] << 8 | bytes[at + 3]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16))
        return 0;
    fuzzing::putFile("rms_fuzz.dat", std::span(data, size));
    const std::uint8_t kept[] = {'k', 'e', 'p', 't'};
    fuzzing::putFile("rms_fuzz.dat#1.dat", kept);
    fuzzing::PlatformFiles platform;
    RecordStore* store = RecordStore::openRecordStore(rt::String::newFromCString("Fuzz"), false);
    const std::int64_t count = size >= 8 ? bigEndianAt(std::vector<std::uint8_t>(data, data + 8), 4) : -1;
    const bool damaged = count < 0 || static_cast<std::int64_t>(size) != 8 + 4 * count;
    if (!damaged && count > RecordStore::kMaxRecordIds) {
        // Refused whole: nothing opened, the refusal pending.
        check(!store &&
              fuzzing::takePending() == rt::toInt(rt::ClassId::javax_microedition_rms_RecordStoreException));
        return 0;
    }
    check(store && !rt::exceptionPending());
    std::vector<std::int32_t> ids = idsOf(store);
    check(size < 8 || ids.size() <= std::max<std::size_t>((size - 8) / 4, 1));
    for (std::int32_t id : ids)
        check(id <= store->lastRecordId());
    // A damaged index is rebuilt from the record files: record 1 is there.
    if (damaged)
        check(std::find(ids.begin(), ids.end(), 1) != ids.end());

    std::int32_t added = store->addRecord(nullptr, 0, 0);
    if (rt::exceptionPending()) {
        // Only when no id is left.
        check(store->lastRecordId() == INT32_MAX);
        check(fuzzing::takePending() ==
              rt::toInt(rt::ClassId::javax_microedition_rms_RecordStoreFullException));
        return 0;
    }
    for (std::int32_t id : ids)
        check(id != added);
    // No record is written over: a rebuilt store's record 1 keeps its bytes.
    if (damaged) {
        std::ifstream record(fuzzing::programFolder() / "rms_fuzz.dat#1.dat", std::ios::binary);
        check(std::string(std::istreambuf_iterator<char>(record), std::istreambuf_iterator<char>()) ==
              "kept");
    }

    std::ifstream in(fuzzing::programFolder() / "rms_fuzz.dat", std::ios::binary);
    std::vector<std::uint8_t> index((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ids.push_back(added);
    check(index.size() == 8 + 4 * ids.size());
    check(bigEndianAt(index, 0) == store->lastRecordId());
    check(bigEndianAt(index, 4) == static_cast<std::int32_t>(ids.size()));
    for (std::size_t i = 0; i < ids.size(); ++i)
        check(bigEndianAt(index, 8 + 4 * i) == ids[i]);
    return 0;
}
