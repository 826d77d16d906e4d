#pragma once

// `javax_microedition_rms_RecordStore`: the game's saved data. A store is an
// index file and one file per record, in the program folder.
//
// The index file of store `name` is the program folder + C99 + C100 + name +
// C101, or, when a vendor and a suite name are given (neither empty), the
// program-files folder + C99 + vendor + C99 + suite + C99 + C100 + name +
// C101 (Cn is constant string n; C99 separates folders). In that whole path
// each of '/', ':', '*', '?', '<', '>', '|' becomes '_'. The file of record id
// is the store's path + C103 + the id in decimal + C101.
//
// The index is big-endian: the last record id given, the number of records n,
// then the n ids in the store's order, all signed 32-bit. A record file holds
// exactly the record's bytes; a deleted record leaves its file behind, empty.
// Ids start at 1 and are never given twice while the index file lives.
//
// Every index and record file is rewritten whole through a temporary file
// renamed over the old one, so a process that dies while saving leaves the
// old file or the new one, never a torn one. The index alone says which
// records exist, and each change writes it so that a process dying at any
// moment leaves the store as it was or as the change leaves it: a new or
// rewritten record's file is written before the index lists it, and a
// deleted record's file is emptied only after the index stopped listing it.
// A record file the index does not list is a leftover of such a death; it is
// never read, and a later record of its id (only an id never listed can be
// given again) replaces it.
//
// An index listing more than `kMaxRecordIds` ids (and holding them all) is
// refused when the store opens: the game keeps a few records per store, and a
// count beyond that is a broken file whose ids would only fill the object heap.
//
// A damaged index (shorter than its head, a negative count, or a length that
// is not what its count calls for), and a missing one beside record files,
// would open the store empty and let the next record be written over, or
// beside, records that are still whole. The store is rebuilt instead from the
// record files present, with one log line naming the index and the damage:
// the ids the index still holds after its head and ids 1, 2, ... for as long
// as their files are there are the candidates; each candidate whose file has
// bytes is a record, in ascending order, and the highest candidate with a file
// is the last id given. The first change writes the rebuilt index.
//
// Failures leave the exception pending and answer a neutral value: an id not
// in the store an `InvalidRecordIDException` (the id in decimal), a store
// that is not there a `RecordStoreNotFoundException` (its path), an index
// that is refused a `RecordStoreException` (its path, and one log line naming
// the file and its count), an index that cannot be written a
// `RecordStoreException` (C102); any operation on a store that was never
// opened (the zero state `newInstanceById` makes) a
// `RecordStoreNotOpenException`, and nothing is written. There is no registry
// of open stores: two opens of one name are two objects over the same files,
// and the last index written wins. Used from one thread; `recordIds` is a
// synchronized Vector all the same.

#include "classlib/ClassLibrary.h"
#include "classlib/util/Vector.h"
#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace lib {
class java_io_DataInputStream;
}

namespace platform {

class javax_microedition_rms_RecordEnumerationImpl;

class javax_microedition_rms_RecordStore final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_rms_RecordStore;

    // The constant strings of the file names and messages.
    static constexpr std::int32_t kVendorText =
        rt::constants::kDefaultMessage; // vendor and suite of the two-argument open
    static constexpr std::int32_t kFullText = rt::constants::kRecordStoreFull;
    static constexpr std::int32_t kSeparatorText = rt::constants::kRecordStorePathSeparator;
    static constexpr std::int32_t kStorePrefixText = rt::constants::kRecordStorePrefix;
    static constexpr std::int32_t kFileSuffixText = rt::constants::kRecordStoreSuffix;
    static constexpr std::int32_t kWriteFailedText = rt::constants::kRecordStoreWriteFailed;
    static constexpr std::int32_t kRecordInfixText = rt::constants::kRecordStoreRecordInfix;

    // The most ids an index may list; a store whose index lists more does not open.
    static constexpr std::int32_t kMaxRecordIds = 4096;
    // The last id given and the count before the ids.
    static constexpr std::int32_t kIndexHeadBytes = 8;

    // Opens store `name` with C14 as vendor and suite name (the ordinary form
    // when C14 is empty). Without `createIfNecessary` a store whose index file
    // is not there is a `RecordStoreNotFoundException` (null).
    [[nodiscard]] static javax_microedition_rms_RecordStore* openRecordStore(rt::String* name,
                                                                             bool createIfNecessary);
    // The same; `authMode` and `writable` are not used.
    [[nodiscard]] static javax_microedition_rms_RecordStore*
    openRecordStore(rt::String* name, bool createIfNecessary, std::int32_t authMode, bool writable);
    // An existing store of another vendor's suite (never made here).
    [[nodiscard]] static javax_microedition_rms_RecordStore*
    openRecordStore(rt::String* name, rt::String* vendorName, rt::String* suiteName);

    // The names of the stores: always empty, as the device lists no folder.
    static rt::ObjectArray* listRecordStores();

    // Writes the index.
    void closeRecordStore();
    // A new record of `numBytes` bytes of `data` from `offset`; its id. When
    // the index cannot be written (`RecordStoreException`), 0, with the id
    // taken and the record file written; when the record file cannot be
    // written (`RecordStoreException`, C102), 0 with nothing changed. Once the last id given is the
    // largest int, a `RecordStoreFullException` (C98).
    [[nodiscard]] std::int32_t addRecord(rt::ByteArray* data, std::int32_t offset, std::int32_t numBytes);
    // A record file that cannot be written is a `RecordStoreException` (C102)
    // and the record keeps its bytes.
    void setRecord(std::int32_t id, rt::ByteArray* data, std::int32_t offset, std::int32_t numBytes);
    // An id not in the store is ignored; a failure to write the index is
    // dropped, and the record's file then keeps its bytes.
    void deleteRecord(std::int32_t id);
    // The record's bytes in a new array; null when its file is missing.
    [[nodiscard]] rt::ByteArray* getRecord(std::int32_t id);
    // Reads the whole record into `buffer` from `offset` and answers its
    // size; 0 when its file is missing or cannot be read. A buffer without
    // room for it from `offset` is an `ArrayIndexOutOfBoundsException`, and
    // nothing is written into it.
    [[nodiscard]] std::int32_t getRecord(std::int32_t id, rt::ByteArray* buffer, std::int32_t offset);
    // The record's size: its file's length (0 when the file is missing).
    [[nodiscard]] std::int32_t getRecordSize(std::int32_t id);
    // The sum of the records' sizes.
    virtual std::int32_t getSize();
    // Always the largest int: the store is never full.
    std::int32_t getSizeAvailable() const { return INT32_MAX; }
    // An enumeration over the ids in the store's order, at its start.
    javax_microedition_rms_RecordEnumerationImpl* enumerateRecords();

    // Writes the index file; a `RecordStoreException` (C102) when it cannot.
    void writeToFile();
    // Makes the file at `path` empty (or makes it).
    static void clearFile(rt::String* path);

    rt::String* path() const { return m_path; }
    lib::java_util_Vector* recordIds() const { return m_recordIds; }
    std::int32_t lastRecordId() const { return m_lastRecordId; }

    RT_REFERENCE_FIELDS(javax_microedition_rms_RecordStore, Object, m_path, m_recordIds)

    // A store over the index file at `path` with no records; the open
    // operations make stores.
    explicit javax_microedition_rms_RecordStore(rt::String* path);
    // The zero state `newInstanceById` makes: no path and no id list, a
    // store that is not open.
    explicit javax_microedition_rms_RecordStore(lib::NewInstance)
        : Object(kClassId) {}

private:
    [[nodiscard]] static javax_microedition_rms_RecordStore*
    open(rt::String* name, rt::String* vendorName, rt::String* suiteName, bool createIfNecessary);
    // Reads the index file into `recordIds` and `lastRecordId`; false, with
    // one log line, when it lists more than `kMaxRecordIds` ids. A damaged
    // index is rebuilt from the record files.
    [[nodiscard]] bool readIndex();
    // Fills `recordIds` and `lastRecordId` from the record files present, the
    // ids `namedIds` still holds (read to its end) among the candidates, and
    // logs it with `damage`, what is wrong with the index.
    void rebuildFromRecordFiles(lib::java_io_DataInputStream* namedIds, const std::string& damage);
    [[nodiscard]] bool recordFileExists(std::int32_t id);
    // The ids whose record files are present, from one look at the folder;
    // none when the folder's names cannot be matched to ids (a suffix that
    // names a folder), and `recordFileExists` must look for each.
    std::optional<std::set<std::int32_t>> recordFilesPresent();
    // Whether the store was opened; else a `RecordStoreNotOpenException` is pending.
    [[nodiscard]] bool checkOpen();
    // Whether `id` is in `recordIds`; else an `InvalidRecordIDException` (or,
    // for a store never opened, a `RecordStoreNotOpenException`) is pending.
    [[nodiscard]] bool checkId(std::int32_t id);
    rt::String* recordPath(std::int32_t id);
    // Replaces the file of record `id`; false, with a `RecordStoreException`
    // (C102) pending and the old file untouched, when it cannot be written.
    [[nodiscard]] bool writeRecordFile(std::int32_t id, rt::ByteArray* data, std::int32_t offset,
                                       std::int32_t numBytes);

    rt::String* m_path = nullptr;
    lib::java_util_Vector* m_recordIds = nullptr;
    std::int32_t m_lastRecordId = 0;
};

} // namespace platform
