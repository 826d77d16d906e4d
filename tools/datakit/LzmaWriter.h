#pragma once

// `LzmaWriter`: packed pack-entry payloads, made by liblzma's encoder. A
// payload is the classic 13-byte LZMA header (the properties byte
// lc + 9 * (lp + 5 * pb), the dictionary size, the unpacked size as 8
// little-endian bytes) followed by the range-coded stream.
//
// liblzma's "LZMA_Alone" encoder writes the unpacked size as unknown and
// closes the stream with an end marker; the writer puts the real size into
// the header. With `endMarker` off the stream has no marker and ends with
// the last byte's symbols, so a decoder needs every one of its bytes.

#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <span>

namespace datakit {

struct LzmaWriter {
    // Literal context bits (0 to 4), literal position bits and position bits
    // (0 to 4 each); liblzma takes lc + lp up to 4.
    std::uint32_t lc = 3;
    std::uint32_t lp = 0;
    std::uint32_t pb = 2;
    // liblzma's preset, 0 (fast) to 9 (small).
    std::uint32_t preset = 6;
    std::uint32_t dictionarySize = 1 << 20;
    bool endMarker = true;

    std::uint8_t properties() const { return static_cast<std::uint8_t>(lc + 9 * (lp + 5 * pb)); }

    // The payload of `data`. Options liblzma refuses are a bug of the caller.
    Bytes write(std::span<const std::uint8_t> data) const;
};

} // namespace datakit
