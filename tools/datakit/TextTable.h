#pragma once

// Text tables: the texts of one text-pack entry, little-endian. In multi-pack
// mode one byte of pack number comes first; then the count n (s32), the end
// offset of each text (s32 each, counted from the first text byte) and the
// texts' bytes one after another.
//
// A text is written in the game's UTF-8 forms: one byte for a unit below
// 0x80 (the unit 0 too), two below 0x800, three for the rest, every 16-bit
// unit on its own (a surrogate is three bytes of its own, as the game's
// decoder reads it).

#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace datakit {

struct TextTableOptions {
    std::optional<std::uint8_t> packNumber = {}; // written first: the multi-pack form
    std::optional<std::int32_t> count = {};      // written in place of the true count
};

Bytes writeTextTable(std::span<const std::u16string> texts, const TextTableOptions& options = {});

// One text in the game's UTF-8 forms.
Bytes encodeGameText(std::u16string_view text);

} // namespace datakit
