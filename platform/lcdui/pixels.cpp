#include "platform/lcdui/pixels.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

// The loops work on eight pixels at a time through the compiler's generic
// vector types, which GCC and Clang lower to whatever the target has (SSE2 on
// x86-64, NEON on ARM) at any optimisation level. Per-pixel choices (the
// colour key, alpha 0 or 255) are lane masks, never branches, and every lane
// computes exactly what the scalar helpers in pixels.h compute for its pixel:
// the results are the same bits as a pixel-at-a-time loop. Leftover pixels at
// the end of a row or block go through those scalar helpers.

namespace platform::pixels {

namespace {

using Lanes16 = std::uint16_t __attribute__((vector_size(16)));
using SignedLanes16 = std::int16_t __attribute__((vector_size(16)));
using Lanes32 = std::uint32_t __attribute__((vector_size(16)));
constexpr int kLanes = 8;

// Eight pixels at any 2-byte aligned address, read or written as the
// uint16_t they are. A copy is the one unaligned access every compiler
// honours (an under-aligned vector type is not, on all of them); it becomes
// a single unaligned vector move.
Lanes16 load(const std::uint16_t* from) {
    Lanes16 lanes;
    std::memcpy(&lanes, from, sizeof lanes);
    return lanes;
}

void store(std::uint16_t* to, Lanes16 lanes) {
    std::memcpy(to, &lanes, sizeof lanes);
}

Lanes16 splat(std::uint16_t value) {
    return Lanes16{value, value, value, value, value, value, value, value};
}

// The lanes in reverse order: the two halves of each 32-bit lane swapped,
// then the 32-bit lanes reversed. GCC turns a direct eight-lane reversal
// without SSSE3 into a load per lane; this takes three shifts and a shuffle.
Lanes16 reversed(Lanes16 lanes) {
    auto words = reinterpret_cast<Lanes32>(lanes);
    words = words << 16 | words >> 16;
    return reinterpret_cast<Lanes16>(__builtin_shufflevector(words, words, 3, 2, 1, 0));
}

// All ones in the lanes where `mask` is set (a comparison's result), else `otherwise`.
Lanes16 select(SignedLanes16 mask, Lanes16 chosen, Lanes16 otherwise) {
    auto bits = reinterpret_cast<Lanes16>(mask);
    return (chosen & bits) | (otherwise & ~bits);
}

// blend565 in every lane, with the same `alpha` (0 to 256) for all.
[[gnu::always_inline]] inline Lanes16 blend565(Lanes16 under, Lanes16 colour, Lanes16 alpha) {
    // Each product stays below 63 * 256 + 63 * 255, which fits 16 bits.
    Lanes16 keep = splat(256) - alpha;
    Lanes16 red = (((under >> 11) & 0x1F) * keep + ((colour >> 11) & 0x1F) * alpha) >> 8;
    Lanes16 green = (((under >> 5) & 0x3F) * keep + ((colour >> 5) & 0x3F) * alpha) >> 8;
    Lanes16 blue = ((under & 0x1F) * keep + (colour & 0x1F) * alpha) >> 8;
    return red << 11 | green << 5 | blue;
}

// blend4444Over565 in every lane. The products (a channel difference of at
// most 63 times an alpha of at most 255) fit signed 16 bits, and adding 255
// to a negative one before the arithmetic shift makes the shift truncate
// toward zero as the scalar division does.
[[gnu::always_inline]] inline Lanes16 blend4444Over565(Lanes16 under, Lanes16 source) {
    auto alpha = reinterpret_cast<SignedLanes16>((source >> 12) * 17);
    auto move = [alpha](Lanes16 fromBits, Lanes16 toBits) {
        auto from = reinterpret_cast<SignedLanes16>(fromBits);
        SignedLanes16 product = (reinterpret_cast<SignedLanes16>(toBits) - from) * alpha;
        return reinterpret_cast<Lanes16>(from + ((product + ((product >> 15) & 255)) >> 8));
    };
    Lanes16 red = move((under >> 11) & 0x1F, ((source >> 8) & 0xF) << 1);
    Lanes16 green = move((under >> 5) & 0x3F, ((source >> 4) & 0xF) << 2);
    Lanes16 blue = move(under & 0x1F, (source & 0xF) << 1);
    return red << 11 | green << 5 | blue;
}

// Eight 0xAARRGGBB entries as two halves of 32-bit lanes, narrowed by `convert`.
template <class Convert>
Lanes16 convertEntries(const std::int32_t* source, Convert convert) {
    Lanes32 low, high;
    std::memcpy(&low, source, sizeof low);
    std::memcpy(&high, source + 4, sizeof high);
    using Half16 = std::uint16_t __attribute__((vector_size(8)));
    auto lowHalf = __builtin_convertvector(convert(low), Half16);
    auto highHalf = __builtin_convertvector(convert(high), Half16);
    return __builtin_shufflevector(lowHalf, highHalf, 0, 1, 2, 3, 4, 5, 6, 7);
}

Lanes32 rgb888To565(Lanes32 colour) {
    return ((colour >> 19) & 0x1F) << 11 | ((colour >> 10) & 0x3F) << 5 | ((colour >> 3) & 0x1F);
}

Lanes32 argbTo4444(Lanes32 colour) {
    return (colour >> 28) << 12 | ((colour >> 20) & 0xF) << 8 | ((colour >> 12) & 0xF) << 4 |
           ((colour >> 4) & 0xF);
}

Lanes32 alphaOf(Lanes32 colour) {
    return colour >> 24;
}

} // namespace

// The first row is filled lane by lane and every other row copied from it:
// the C library's copy is at least as fast as the lanes, and a checked build
// checks each row's copy as one range instead of every store. A colour of
// two equal bytes (black, white) is set bytewise instead, rows that follow
// each other without a gap in one go.
void fillSolid(std::uint16_t* first, std::ptrdiff_t pitch, int width, int height, std::uint16_t value) {
    if (width <= 0 || height <= 0)
        return;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof *first;
    if ((value >> 8) == (value & 0xFF)) {
        if (pitch == width) {
            std::memset(first, value & 0xFF, rowBytes * static_cast<std::size_t>(height));
            return;
        }
        for (int row = 0; row < height; ++row)
            std::memset(first + row * pitch, value & 0xFF, rowBytes);
        return;
    }
    const Lanes16 lanes = splat(value);
    int column = 0;
    for (; column + kLanes <= width; column += kLanes)
        store(first + column, lanes);
    for (; column < width; ++column)
        first[column] = value;
    for (int row = 1; row < height; ++row)
        std::memcpy(first + row * pitch, first, rowBytes);
}

void fillBlended(std::uint16_t* first, std::ptrdiff_t pitch, int width, int height, std::uint16_t value,
                 std::uint32_t alpha) {
    if (alpha == 0)
        return;
    const Lanes16 colour = splat(value);
    const Lanes16 alphas = splat(static_cast<std::uint16_t>(alpha));
    for (int row = 0; row < height; ++row, first += pitch) {
        int column = 0;
        for (; column + kLanes <= width; column += kLanes)
            store(first + column, blend565(load(first + column), colour, alphas));
        for (; column < width; ++column)
            first[column] = pixels::blend565(first[column], value, alpha);
    }
}

namespace {

// What a copy does with one pixel and with eight lanes of them: the new
// destination value from the one under it and the source pixel.
struct PutOpaque {
    static std::uint16_t put(std::uint16_t, std::uint16_t pixel) { return pixel; }
    static Lanes16 put(Lanes16, Lanes16 pixels) { return pixels; }
};

struct PutKeyed {
    static std::uint16_t put(std::uint16_t under, std::uint16_t pixel) {
        return pixel == kColourKey ? under : pixel;
    }
    static Lanes16 put(Lanes16 under, Lanes16 pixels) {
        return select(pixels == splat(kColourKey), under, pixels);
    }
};

// A pixel of alpha 0 blends to the value under it, so no lane needs a choice.
struct PutArgb4444 {
    static std::uint16_t put(std::uint16_t under, std::uint16_t pixel) {
        return pixels::blend4444Over565(under, pixel);
    }
    static Lanes16 put(Lanes16 under, Lanes16 pixels) { return blend4444Over565(under, pixels); }
};

// Whether the source rows and the destination pixels of `copy` share memory
// (an image drawn onto itself): then only a copy in source order, a pixel at
// a time, gives the result that order has always given.
bool overlaps(const RegionCopy& copy) {
    auto address = [](const std::uint16_t* pixel) { return reinterpret_cast<std::uintptr_t>(pixel); };
    const std::ptrdiff_t lastRow = static_cast<std::ptrdiff_t>(copy.height) - 1;
    const std::ptrdiff_t lastColumn = static_cast<std::ptrdiff_t>(copy.width) - 1;
    const std::ptrdiff_t rowReach = lastRow * copy.rowStep, columnReach = lastColumn * copy.columnStep;
    const std::uint16_t* destinationLow =
        copy.destination + std::min<std::ptrdiff_t>(rowReach, 0) + std::min<std::ptrdiff_t>(columnReach, 0);
    const std::uint16_t* destinationHigh =
        copy.destination + std::max<std::ptrdiff_t>(rowReach, 0) + std::max<std::ptrdiff_t>(columnReach, 0);
    const std::uint16_t* sourceHigh = copy.source + lastRow * copy.sourcePitch + lastColumn;
    return address(copy.source) <= address(destinationHigh) && address(destinationLow) <= address(sourceHigh);
}

// Every pixel in source order, a pixel at a time.
// The copies take their description by value: a local copy that no store
// can reach keeps its fields in registers across the pixel stores.
template <class Put>
void copyInOrder(const RegionCopy copy) {
    const std::uint16_t* source = copy.source;
    std::uint16_t* destination = copy.destination;
    const std::ptrdiff_t step = copy.columnStep;
    for (int row = 0; row < copy.height; ++row, source += copy.sourcePitch, destination += copy.rowStep) {
        std::uint16_t* to = destination;
        for (int column = 0; column < copy.width; ++column, to += step)
            *to = Put::put(*to, source[column]);
    }
}

// Source rows onto destination rows, forwards (`columnStep` 1) or mirrored (-1).
template <class Put>
void copyAlongRows(const RegionCopy copy) {
    const bool mirrored = copy.columnStep < 0;
    const std::uint16_t* source = copy.source;
    std::uint16_t* destination = copy.destination;
    for (int row = 0; row < copy.height; ++row, source += copy.sourcePitch, destination += copy.rowStep) {
        int column = 0;
        if (mirrored) {
            // Source pixels column .. column + 7 land at destination - column - 7 .. destination - column.
            for (; column + kLanes <= copy.width; column += kLanes) {
                std::uint16_t* to = destination - column - (kLanes - 1);
                store(to, Put::put(load(to), reversed(load(source + column))));
            }
        } else {
            for (; column + kLanes <= copy.width; column += kLanes)
                store(destination + column, Put::put(load(destination + column), load(source + column)));
        }
        for (; column < copy.width; ++column) {
            std::uint16_t* to = destination + column * copy.columnStep;
            *to = Put::put(*to, source[column]);
        }
    }
}

// Eight rows of eight lanes turned into eight columns: afterwards lane j of
// `lanes[k]` is what lane k of `lanes[j]` was.
[[gnu::always_inline]] inline void transpose(Lanes16 (&lanes)[kLanes]) {
    // Three rounds of interleaving: 16-bit lanes of row pairs, then 32-bit
    // pairs of those, then 64-bit halves. Written out so that all of it stays
    // in registers.
    auto low16 = [](Lanes16 a, Lanes16 b) { return __builtin_shufflevector(a, b, 0, 8, 1, 9, 2, 10, 3, 11); };
    auto high16 = [](Lanes16 a, Lanes16 b) {
        return __builtin_shufflevector(a, b, 4, 12, 5, 13, 6, 14, 7, 15);
    };
    auto low32 = [](Lanes16 a, Lanes16 b) { return __builtin_shufflevector(a, b, 0, 1, 8, 9, 2, 3, 10, 11); };
    auto high32 = [](Lanes16 a, Lanes16 b) {
        return __builtin_shufflevector(a, b, 4, 5, 12, 13, 6, 7, 14, 15);
    };
    auto low64 = [](Lanes16 a, Lanes16 b) { return __builtin_shufflevector(a, b, 0, 1, 2, 3, 8, 9, 10, 11); };
    auto high64 = [](Lanes16 a, Lanes16 b) {
        return __builtin_shufflevector(a, b, 4, 5, 6, 7, 12, 13, 14, 15);
    };
    // Rows 0 and 1 interleaved: columns 0-3 in p01l, 4-7 in p01h; and so on.
    Lanes16 p01l = low16(lanes[0], lanes[1]), p01h = high16(lanes[0], lanes[1]);
    Lanes16 p23l = low16(lanes[2], lanes[3]), p23h = high16(lanes[2], lanes[3]);
    Lanes16 p45l = low16(lanes[4], lanes[5]), p45h = high16(lanes[4], lanes[5]);
    Lanes16 p67l = low16(lanes[6], lanes[7]), p67h = high16(lanes[6], lanes[7]);
    // Rows 0-3 of columns 0-1 in q03c01, of columns 2-3 in q03c23; and so on.
    Lanes16 q03c01 = low32(p01l, p23l), q03c23 = high32(p01l, p23l);
    Lanes16 q03c45 = low32(p01h, p23h), q03c67 = high32(p01h, p23h);
    Lanes16 q47c01 = low32(p45l, p67l), q47c23 = high32(p45l, p67l);
    Lanes16 q47c45 = low32(p45h, p67h), q47c67 = high32(p45h, p67h);
    lanes[0] = low64(q03c01, q47c01);
    lanes[1] = high64(q03c01, q47c01);
    lanes[2] = low64(q03c23, q47c23);
    lanes[3] = high64(q03c23, q47c23);
    lanes[4] = low64(q03c45, q47c45);
    lanes[5] = high64(q03c45, q47c45);
    lanes[6] = low64(q03c67, q47c67);
    lanes[7] = high64(q03c67, q47c67);
}

// Turned copies: source rows go down or up destination columns (`rowStep`
// is 1 or -1, `columnStep` a whole destination row). The region is copied in
// square tiles small enough that a tile's source and destination lines stay
// in the first-level cache until every pixel of them is done, and each tile
// in blocks of 8 x 8 pixels turned in registers.
constexpr int kTile = 64;

template <class Put>
void copyTurned(const RegionCopy copy) {
    const int blockWidth = copy.width / kLanes * kLanes;
    const int blockHeight = copy.height / kLanes * kLanes;
    const bool upwards = copy.rowStep < 0;
    for (int tileV = 0; tileV < blockHeight; tileV += kTile) {
        const int tileVEnd = std::min(tileV + kTile, blockHeight);
        for (int tileU = 0; tileU < blockWidth; tileU += kTile) {
            const int tileUEnd = std::min(tileU + kTile, blockWidth);
            for (int v = tileV; v < tileVEnd; v += kLanes) {
                // Destination pixels of source rows v .. v + 7 lie rightwards
                // (or leftwards) from `along`; loading the rows in that order
                // makes each turned column a run of ascending addresses.
                std::uint16_t* along = copy.destination + (upwards ? -(v + kLanes - 1) : v);
                for (int u = tileU; u < tileUEnd; u += kLanes) {
                    Lanes16 lanes[kLanes];
#pragma GCC unroll 8
                    for (int j = 0; j < kLanes; ++j) {
                        const int row = upwards ? v + kLanes - 1 - j : v + j;
                        lanes[j] = load(copy.source + row * copy.sourcePitch + u);
                    }
                    transpose(lanes);
#pragma GCC unroll 8
                    for (int k = 0; k < kLanes; ++k) {
                        std::uint16_t* to = along + (u + k) * copy.columnStep;
                        store(to, Put::put(load(to), lanes[k]));
                    }
                }
            }
        }
    }
    // What the blocks leave: the last columns of the block rows, then the last rows.
    auto single = [&copy](int u, int v) {
        std::uint16_t* to = copy.destination + v * copy.rowStep + u * copy.columnStep;
        *to = Put::put(*to, copy.source[v * copy.sourcePitch + u]);
    };
    for (int v = 0; v < blockHeight; ++v) {
        for (int u = blockWidth; u < copy.width; ++u)
            single(u, v);
    }
    for (int v = blockHeight; v < copy.height; ++v) {
        for (int u = 0; u < copy.width; ++u)
            single(u, v);
    }
}

template <class Put>
void copyRegion(const RegionCopy& copy) {
    if (copy.width <= 0 || copy.height <= 0)
        return;
    if (overlaps(copy))
        copyInOrder<Put>(copy);
    else if (copy.columnStep == 1 || copy.columnStep == -1)
        copyAlongRows<Put>(copy);
    else
        copyTurned<Put>(copy);
}

} // namespace

void copyOpaque(const RegionCopy& copy) {
    // Rows of an image drawn onto itself may overlap: memmove copies each
    // row as if through a buffer, as a plain copy always has.
    if (copy.columnStep == 1) {
        const std::uint16_t* source = copy.source;
        std::uint16_t* destination = copy.destination;
        for (int row = 0; row < copy.height; ++row, source += copy.sourcePitch, destination += copy.rowStep)
            std::memmove(destination, source, static_cast<std::size_t>(copy.width) * 2);
        return;
    }
    copyRegion<PutOpaque>(copy);
}

void copyKeyed(const RegionCopy& copy) {
    copyRegion<PutKeyed>(copy);
}

void copyArgb4444(const RegionCopy& copy) {
    copyRegion<PutArgb4444>(copy);
}

void drawRgbRow(const std::int32_t* source, std::uint16_t* destination, int count, RgbMode mode) {
    int i = 0;
    switch (mode) {
    case RgbMode::Opaque:
        for (; i + kLanes <= count; i += kLanes)
            store(destination + i,
                  convertEntries(source + i, [](Lanes32 colour) { return rgb888To565(colour); }));
        for (; i < count; ++i)
            destination[i] = pixels::rgb888To565(static_cast<std::uint32_t>(source[i]));
        break;
    case RgbMode::ProcessAlpha:
        // Alpha 0 blends to the pixel under it; only alpha 255 needs a choice.
        for (; i + kLanes <= count; i += kLanes) {
            Lanes16 colour = convertEntries(source + i, [](Lanes32 entry) { return rgb888To565(entry); });
            Lanes16 alpha = convertEntries(source + i, alphaOf);
            Lanes16 under = load(destination + i);
            store(destination + i, select(alpha == splat(255), colour, blend565(under, colour, alpha)));
        }
        for (; i < count; ++i) {
            auto colour = static_cast<std::uint32_t>(source[i]);
            std::uint32_t alpha = colour >> 24;
            destination[i] = alpha == 255
                                 ? pixels::rgb888To565(colour)
                                 : pixels::blend565(destination[i], pixels::rgb888To565(colour), alpha);
        }
        break;
    case RgbMode::ToArgb4444:
        for (; i + kLanes <= count; i += kLanes)
            store(destination + i,
                  convertEntries(source + i, [](Lanes32 colour) { return argbTo4444(colour); }));
        for (; i < count; ++i)
            destination[i] = pixels::argbTo4444(static_cast<std::uint32_t>(source[i]));
        break;
    }
}

} // namespace platform::pixels
