#pragma once

// The resource archive "data.bar": a big-endian index (a signed 16-bit entry
// count, then per entry its name in modified UTF-8 without a leading '/', the
// offset of its first byte from the start of the file and its size, both
// signed 32-bit), followed by the entries' bytes in index order.
//
// Tests also need archives that are wrong in the ways the reader must
// survive; each entry and the archive can say how.

#include "tools/datakit/ByteWriter.h"

#include <optional>
#include <string>
#include <vector>

namespace datakit {

struct ArchiveEntry {
    std::u16string name;
    Bytes bytes;
    // For broken archives: the offset and size written in the index in place
    // of the true ones (the bytes are still stored).
    std::optional<std::int32_t> indexedOffset;
    std::optional<std::int32_t> indexedSize;
};

struct ArchiveOptions {
    // The count written in place of the number of entries.
    std::optional<std::int16_t> indexedCount;
    // Cut the finished file to this many bytes.
    std::optional<std::size_t> truncateTo;
};

Bytes writeArchive(const std::vector<ArchiveEntry>& entries, const ArchiveOptions& options = {});

// An entry from 8-bit name and text, for short fixtures.
ArchiveEntry archiveEntry(std::string_view name, std::string_view text);
ArchiveEntry archiveEntry(std::string_view name, Bytes bytes);

} // namespace datakit
