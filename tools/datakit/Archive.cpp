#include "tools/datakit/Archive.h"

#include "host/Verify.h"

namespace datakit {

Bytes writeArchive(const std::vector<ArchiveEntry>& entries, const ArchiveOptions& options) {
    HOST_VERIFY_MSG(entries.size() <= 0x7FFF, "an archive holds at most 32767 entries");
    ByteWriter out;
    out.i16(ByteOrder::Big, options.indexedCount.value_or(static_cast<std::int16_t>(entries.size())));
    std::vector<std::size_t> offsetFields;
    for (const ArchiveEntry& entry : entries) {
        out.utf(entry.name);
        offsetFields.push_back(out.size());
        out.i32(ByteOrder::Big, 0);
        out.i32(ByteOrder::Big, entry.indexedSize.value_or(static_cast<std::int32_t>(entry.bytes.size())));
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out.patchI32(ByteOrder::Big, offsetFields[i],
                     entries[i].indexedOffset.value_or(static_cast<std::int32_t>(out.size())));
        out.bytes(entries[i].bytes);
    }
    Bytes file = std::move(out).take();
    if (options.truncateTo && *options.truncateTo < file.size())
        file.resize(*options.truncateTo);
    return file;
}

ArchiveEntry archiveEntry(std::string_view name, std::string_view text) {
    return ArchiveEntry{widen(name), Bytes(text.begin(), text.end()), {}, {}};
}

ArchiveEntry archiveEntry(std::string_view name, Bytes bytes) {
    return ArchiveEntry{widen(name), std::move(bytes), {}, {}};
}

} // namespace datakit
