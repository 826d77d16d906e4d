#pragma once

// Decoding of module pixels: palette-indexed data in one of the sprite
// encodings, turned into 0xAARRGGBB pixels through a palette. Works on plain
// spans, so that one range check of the arrays serves a whole module.
//
// The decoder is bounded on every side: it reads only `data`, writes only
// the `out.size()` pixels of the module (a run or a packed byte that reaches
// past the module's end is cut there), answers an index at or past the
// palette's end as transparent (0), and gives the pixels that data cut
// short never reached the value 0 (transparent black).

#include <cstdint>
#include <span>

namespace game {

// The index mask and width of the run encoding for `colours` colours:
// 1 -> (0, 0), 2 -> (1, 1), 16 -> (15, 4), 17 -> (31, 5), 256 -> (255, 8).
struct RunIndexLayout {
    std::int32_t mask = 0;
    std::int32_t bits = 0;
};
RunIndexLayout runIndexLayout(std::int32_t colours);

// True when `encoding` is one this game decodes.
bool isKnownEncoding(std::int32_t encoding);

// Decodes `out.size()` pixels. False (and nothing written) for an encoding
// this game does not decode.
bool decodePixels(std::int32_t encoding, RunIndexLayout runs, std::span<const std::uint8_t> data,
                  std::span<const std::int32_t> palette, std::span<std::int32_t> out);

// A colour of the 16-bit palette format: bit 15 opaque, 5 bits each of red,
// green, blue. A transparent magenta becomes the colour key 0x00FF00FF.
std::int32_t colourFrom1555(std::uint16_t value);

} // namespace game
