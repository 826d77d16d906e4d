#pragma once

// Resource packs: a numbered list of entries split over part files. Part 0
// holds the header (u16 entry count E, s16 part count P, P x u16 first entry
// of each part) and its offset table; part k >= 1 holds its offset table
// alone. A table has one u32 per entry of the part and one more, each the
// byte position in that part file where the entry starts (the last, where
// the part's entries end). Everything is little-endian.
//
// An entry is empty (no bytes) or a header byte followed by its payload.

#include "tools/datakit/Archive.h"
#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace datakit {

// The bytes of an entry: `header`, then `payload`.
Bytes packEntry(std::uint8_t header, std::span<const std::uint8_t> payload);

// The part files of a pack of `entries` (each an entry's bytes, empty for an
// empty entry), part 0 first. `partFirstEntries` gives the first entry of
// each part: it starts with 0 and rises, every value at most the entry
// count, and there are at most 65,535 entries (else a bug of the caller).
std::vector<Bytes> writePack(const std::vector<Bytes>& entries,
                             const std::vector<std::uint16_t>& partFirstEntries = {0});

// The first entries of parts (for `writePack`) that each hold at most
// `partBytes` bytes of `entries`, in order; an entry larger than that has a
// part of its own.
std::vector<std::uint16_t> partsOfAtMost(const std::vector<Bytes>& entries, std::size_t partBytes);

// The archive entries of a pack's part files: part 0 named `name` (without
// a leading '/', as archive names are), part k `name`, `separator`, then k.
std::vector<ArchiveEntry> packArchiveEntries(std::u16string_view name, std::u16string_view separator,
                                             const std::vector<Bytes>& parts);

} // namespace datakit
