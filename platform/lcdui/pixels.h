#pragma once

// The pixel loops of the lcdui classes and the colour arithmetic they share.
// Everything here works on raw 16-bit rows that the caller has already
// clipped: no function checks a bound, so each states what it reads and
// writes. These are the hot paths of every frame: pixels.cpp works eight
// pixels at a time with the same results as the scalar helpers below.
//
// Pixels are RGB565 (red in the top 5 bits, green 6, blue 5) or ARGB4444
// (4 bits each of alpha, red, green, blue). Colours come as 0xAARRGGBB.

#include <cstddef>
#include <cstdint>

namespace platform::pixels {

// The magenta that RGB565 images with a colour key leave transparent.
inline constexpr std::uint16_t kColourKey = 0xF81F;

// The top 5, 6 and 5 bits of red, green and blue of 0x..RRGGBB.
constexpr std::uint16_t rgb888To565(std::uint32_t colour) {
    return static_cast<std::uint16_t>(((colour >> 19) & 0x1F) << 11 | ((colour >> 10) & 0x3F) << 5 |
                                      ((colour >> 3) & 0x1F));
}

// 0xFFRRGGBB of a 565 pixel: 5-bit values v widen to v * 255 / 31, 6-bit ones
// to v * 255 / 63 (rounded down).
constexpr std::uint32_t rgb565ToArgb(std::uint16_t pixel) {
    std::uint32_t red = ((pixel >> 11) & 0x1F) * 255 / 31;
    std::uint32_t green = ((pixel >> 5) & 0x3F) * 255 / 63;
    std::uint32_t blue = (pixel & 0x1F) * 255 / 31;
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

// 0xAARRGGBB of an ARGB4444 pixel: each nibble times 17.
constexpr std::uint32_t argb4444ToArgb(std::uint16_t pixel) {
    return ((pixel >> 12) & 0xF) * 17u << 24 | ((pixel >> 8) & 0xF) * 17u << 16 |
           ((pixel >> 4) & 0xF) * 17u << 8 | (pixel & 0xF) * 17u;
}

// The top 4 bits of each of A, R, G, B of 0xAARRGGBB.
constexpr std::uint16_t argbTo4444(std::uint32_t colour) {
    return static_cast<std::uint16_t>((colour >> 28) << 12 | ((colour >> 20) & 0xF) << 8 |
                                      ((colour >> 12) & 0xF) << 4 | ((colour >> 4) & 0xF));
}

// `colour` (565) laid over `under` with `alpha` out of 256: each 5/6/5-bit
// channel becomes (under * (256 - alpha) + colour * alpha) / 256, so alpha 0
// changes nothing.
constexpr std::uint16_t blend565(std::uint16_t under, std::uint16_t colour, std::uint32_t alpha) {
    std::uint32_t keep = 256 - alpha;
    std::uint32_t red = (((under >> 11) & 0x1F) * keep + ((colour >> 11) & 0x1F) * alpha) >> 8;
    std::uint32_t green = (((under >> 5) & 0x3F) * keep + ((colour >> 5) & 0x3F) * alpha) >> 8;
    std::uint32_t blue = ((under & 0x1F) * keep + (colour & 0x1F) * alpha) >> 8;
    return static_cast<std::uint16_t>(red << 11 | green << 5 | blue);
}

// An ARGB4444 pixel laid over a 565 one: with a = A * 17, each channel moves
// by (the source channel widened to 5 or 6 bits minus the destination
// channel) * a / 256, the division truncating toward zero.
constexpr std::uint16_t blend4444Over565(std::uint16_t under, std::uint16_t source) {
    int alpha = ((source >> 12) & 0xF) * 17;
    int red = (under >> 11) & 0x1F;
    int green = (under >> 5) & 0x3F;
    int blue = under & 0x1F;
    red += ((((source >> 8) & 0xF) << 1) - red) * alpha / 256;
    green += ((((source >> 4) & 0xF) << 2) - green) * alpha / 256;
    blue += (((source & 0xF) << 1) - blue) * alpha / 256;
    return static_cast<std::uint16_t>(red << 11 | green << 5 | blue);
}

// Rectangles of `width` x `height` pixels from `first`, rows `pitch` pixels apart.
void fillSolid(std::uint16_t* first, std::ptrdiff_t pitch, int width, int height, std::uint16_t value);
void fillBlended(std::uint16_t* first, std::ptrdiff_t pitch, int width, int height, std::uint16_t value,
                 std::uint32_t alpha);

// How a source region lands in the destination: source pixel (u, v) of the
// region goes to `destination + v * rowStep + u * columnStep`. Source rows
// are `sourcePitch` pixels apart; `width` x `height` source pixels are copied.
struct RegionCopy {
    const std::uint16_t* source;
    std::ptrdiff_t sourcePitch;
    std::uint16_t* destination;
    std::ptrdiff_t columnStep;
    std::ptrdiff_t rowStep;
    int width;
    int height;
};

// By the source's pixel type: every pixel; all but `kColourKey`; ARGB4444
// pixels blended over 565 ones. Source and destination may share memory (an
// image drawn onto itself): the pixels are then copied in source order, row
// by row, except that a plain copy along rows moves each row as memmove does.
void copyOpaque(const RegionCopy& copy);
void copyKeyed(const RegionCopy& copy);
void copyArgb4444(const RegionCopy& copy);

enum class RgbMode : std::uint8_t {
    Opaque,       // the 565 value of every entry
    ProcessAlpha, // alpha 255 writes, alpha 0 skips, others blend by alpha / 256
    ToArgb4444,   // the top 4 bits of A, R, G, B (an ARGB4444 destination)
};

// One row of `count` 0xAARRGGBB entries onto `count` 16-bit pixels.
void drawRgbRow(const std::int32_t* source, std::uint16_t* destination, int count, RgbMode mode);

} // namespace platform::pixels
