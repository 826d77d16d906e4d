#pragma once

// PNG files to image pixels. A small chunk scanner reads the header that sizes
// and types the image; libpng decodes the pixels, which are then packed into
// RGB565, RGB565 with the colour key 0xF81F, or ARGB4444. This pair of files
// is the only platform code that sees libpng.

#include "platform/lcdui/Image.h"

#include <cstdint>
#include <span>

namespace platform {

inline constexpr std::int32_t kPngColourTypeRgbAlpha = 6;

// The largest image a PNG may describe: no side above 4096 pixels and no
// more than 2048 x 2048 pixels in all (8 MB of 16-bit pixels, half the buffer
// heap). The device's own screen is 480 x 640.
inline constexpr std::int32_t kMaxPngSide = 4096;
inline constexpr std::int64_t kMaxPngPixels = 2048 * 2048;

struct PngSummary {
    // From IHDR; 0 when the scan met none.
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitDepth = 0;
    std::int32_t colourType = 0;
    // PLTE's length / 3.
    std::int32_t paletteEntries = 0;
    // A tRNS chunk was seen.
    bool hasTransparency = false;
};

// Walks the chunks after the 8-byte signature (which is not compared) up to
// IEND or the end of the bytes; a chunk cut off by the end ends the scan with
// what was read so far.
PngSummary scanPngChunks(std::span<const std::uint8_t> bytes);

// True for a size of at least 1 x 1 within the bounds above.
bool pngSizeAllowed(std::int64_t width, std::int64_t height);

struct PngDecoded {
    // A pixel written has the value of the colour key 0xF81F: an RGB565
    // image decoded here is keyed exactly when this is set, with no scan of
    // its pixels afterwards.
    bool wroteColourKey = false;
};

// Decodes `bytes` through libpng and packs the rows into `target`, which the
// scan has sized: with a tRNS chunk, pixels of alpha 0 become 0xF81F and the
// rest their 565 value; else with `argb4444` the top 4 bits of A, R, G, B;
// else the 565 value. Grey, 16-bit and truecolour images are widened to 8-bit
// RGB or RGBA by libpng first; palette images are packed from a table of
// their 256 entries made the same way (so an index past the palette is black
// and an entry past the tRNS alphas opaque), and grey images without tRNS
// packed as 565 from a table of the 256 greys. Rows are packed as libpng
// finishes them, from libpng's own row buffer, except interlaced images,
// which are decoded whole first. A libpng error, or the end of the bytes,
// ends the decode: rows it has not finished are packed as zero bytes would
// be (0xF81F under a tRNS chunk, else 0), so the image keeps what was
// decoded. A chunk is taken only when all the bytes it claims are present,
// so its claimed length never sizes an allocation. Only the part that both
// the file and `target` cover is written. Never allocates from the
// runtime's heaps.
PngDecoded decodePng(std::span<const std::uint8_t> bytes, const Surface16& target, bool argb4444);

// How rows of 8-bit RGB are packed: with the processor's byte shuffle where
// it has one (SSSE3 on x86), else with portable vector code. Both give the
// same pixels; the choice is made once for the process, from the processor.
enum class PngPacking : std::uint8_t { Portable, ByteShuffle };

PngPacking pngPacking();

// Makes decodes that start later use `packing` when the processor can, and
// answers the packing now in use: for tests, which hold both to the same
// pixels on one machine.
PngPacking usePngPacking(PngPacking packing);

} // namespace platform
