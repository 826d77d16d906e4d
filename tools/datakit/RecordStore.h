#pragma once

// Record stores: a store is an index file and one file per record, in the
// program folder. The index is big-endian: the last record id given (signed
// 32-bit), the number of records n (signed 32-bit), then the n record ids
// (signed 32-bit each) in the store's order. A record file holds exactly the
// record's bytes.
//
// File names are built from constant strings the game ships, so the writer
// takes their texts: the index file of store `name` is `storePrefix` + name
// + `fileSuffix`, and the file of record `id` is that name + `recordInfix` +
// the id in decimal + `fileSuffix`. In the store's file name each of '/', ':',
// '*', '?', '<', '>', '|' becomes '_', and every name is in small letters (the
// platform opens every file by its lower-case path).

#include "tools/datakit/ByteWriter.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace datakit {

struct RecordStoreIndexOptions {
    std::optional<std::int32_t> indexedCount; // written in place of the number of ids
    std::optional<std::size_t> truncateTo;    // cut the finished index to this many bytes
};

Bytes writeRecordStoreIndex(std::int32_t lastRecordId, const std::vector<std::int32_t>& ids,
                            const RecordStoreIndexOptions& options = {});

// The texts of the constant strings the file names are made of.
struct RecordStoreNames {
    std::string storePrefix;
    std::string fileSuffix;
    std::string recordInfix;
};

struct StoredRecord {
    std::int32_t id = 0;
    Bytes bytes;
};

struct RecordStoreDescription {
    std::string name;
    std::int32_t lastRecordId = 0;
    std::vector<StoredRecord> records;
};

// The store's index file name (in the program folder) for store `name`.
std::string recordStoreIndexName(const std::string& name, const RecordStoreNames& names);
// The file name of record `id` of store `name`.
std::string recordFileName(const std::string& name, std::int32_t id, const RecordStoreNames& names);

// Every file of the store, as (file name in the program folder, bytes): the
// index first, then one file per record in the order given.
std::vector<std::pair<std::string, Bytes>> writeRecordStore(const RecordStoreDescription& store,
                                                            const RecordStoreNames& names);

} // namespace datakit
