#include "tools/datakit/PackWriter.h"

#include <algorithm>
#include <cassert>
#include <string>

namespace datakit {

Bytes packEntry(std::uint8_t header, std::span<const std::uint8_t> payload) {
    Bytes bytes(payload.size() + 1);
    bytes[0] = header;
    std::copy(payload.begin(), payload.end(), bytes.begin() + 1);
    return bytes;
}

std::vector<Bytes> writePack(const std::vector<Bytes>& entries,
                             const std::vector<std::uint16_t>& partFirstEntries) {
    assert(!partFirstEntries.empty() && partFirstEntries.front() == 0 && entries.size() <= 0xFFFF);
    const std::size_t partCount = partFirstEntries.size();
    std::vector<Bytes> parts;
    for (std::size_t part = 0; part < partCount; ++part) {
        std::size_t first = partFirstEntries[part];
        std::size_t end = part + 1 < partCount ? partFirstEntries[part + 1] : entries.size();
        assert(first <= end && end <= entries.size());
        // The header and table come first, so their length fixes every offset.
        std::size_t headerBytes = (part == 0 ? 4 + 2 * partCount : 0) + 4 * (end - first + 1);
        ByteWriter out;
        if (part == 0) {
            out.u16(ByteOrder::Little, static_cast<std::uint16_t>(entries.size()));
            out.u16(ByteOrder::Little, static_cast<std::uint16_t>(partCount));
            for (std::uint16_t firstEntry : partFirstEntries)
                out.u16(ByteOrder::Little, firstEntry);
        }
        std::size_t offset = headerBytes;
        for (std::size_t i = first; i < end; ++i) {
            out.u32(ByteOrder::Little, static_cast<std::uint32_t>(offset));
            offset += entries[i].size();
        }
        out.u32(ByteOrder::Little, static_cast<std::uint32_t>(offset));
        for (std::size_t i = first; i < end; ++i)
            out.bytes(entries[i]);
        parts.push_back(std::move(out).take());
    }
    return parts;
}

std::vector<ArchiveEntry> packArchiveEntries(std::u16string_view name, std::u16string_view separator,
                                             const std::vector<Bytes>& parts) {
    std::vector<ArchiveEntry> files;
    for (std::size_t part = 0; part < parts.size(); ++part) {
        std::u16string fileName(name);
        if (part > 0)
            fileName += std::u16string(separator) + widen(std::to_string(part));
        files.push_back({fileName, parts[part], std::nullopt, std::nullopt});
    }
    return files;
}

std::vector<std::uint16_t> partsOfAtMost(const std::vector<Bytes>& entries, std::size_t partBytes) {
    std::vector<std::uint16_t> firstEntries{0};
    std::size_t inPart = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (inPart > 0 && inPart + entries[i].size() > partBytes) {
            firstEntries.push_back(static_cast<std::uint16_t>(i));
            inPart = 0;
        }
        inPart += entries[i].size();
    }
    return firstEntries;
}

} // namespace datakit
