#include "tools/datakit/RecordStore.h"

namespace datakit {

namespace {

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

Bytes writeRecordStoreIndex(std::int32_t lastRecordId, const std::vector<std::int32_t>& ids,
                            const RecordStoreIndexOptions& options) {
    ByteWriter out;
    out.i32(ByteOrder::Big, lastRecordId);
    out.i32(ByteOrder::Big, options.indexedCount.value_or(static_cast<std::int32_t>(ids.size())));
    for (std::int32_t id : ids)
        out.i32(ByteOrder::Big, id);
    Bytes index = std::move(out).take();
    if (options.truncateTo && *options.truncateTo < index.size())
        index.resize(*options.truncateTo);
    return index;
}

std::string recordStoreIndexName(const std::string& name, const RecordStoreNames& names) {
    std::string file = names.storePrefix + name + names.fileSuffix;
    for (char& c : file) {
        if (c == '/' || c == ':' || c == '*' || c == '?' || c == '<' || c == '>' || c == '|')
            c = '_';
    }
    return lowerAscii(file);
}

std::string recordFileName(const std::string& name, std::int32_t id, const RecordStoreNames& names) {
    return recordStoreIndexName(name, names) +
           lowerAscii(names.recordInfix + std::to_string(id) + names.fileSuffix);
}

std::vector<std::pair<std::string, Bytes>> writeRecordStore(const RecordStoreDescription& store,
                                                            const RecordStoreNames& names) {
    std::vector<std::int32_t> ids;
    for (const StoredRecord& record : store.records)
        ids.push_back(record.id);
    std::vector<std::pair<std::string, Bytes>> files;
    files.emplace_back(recordStoreIndexName(store.name, names),
                       writeRecordStoreIndex(store.lastRecordId, ids));
    for (const StoredRecord& record : store.records)
        files.emplace_back(recordFileName(store.name, record.id, names), record.bytes);
    return files;
}

} // namespace datakit
