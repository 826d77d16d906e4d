#pragma once
// PNG images (big-endian chunks): 8-bit RGBA (colour type 6) from 0xAARRGGBB
// pixels, rows top first, compressed as stored deflate blocks, which every
// inflater reads; the game's images are small, so size does not matter here.
#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <vector>

namespace datakit {

// `pixels` holds width x height values; a width or height of 0 is a bug of
// the caller.
Bytes writePng(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& pixels);

// An 8-bit palette PNG (colour type 3): a PLTE chunk of `palette`'s colours
// (0xAARRGGBB), a tRNS chunk when any of them is not opaque, and one palette
// index per pixel in `indexes` (width x height of them, each below the
// palette's size of 1 to 256: else a bug of the caller). Its data is stored,
// or deflated for a file that must stay small (pictures behind a 16-bit
// length).
enum class PngData { Stored, Deflated };
Bytes writePalettePng(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& palette,
                      const std::vector<std::uint8_t>& indexes, PngData data = PngData::Stored);

} // namespace datakit
