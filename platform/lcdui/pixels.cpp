#include "platform/lcdui/pixels.h"

#include <algorithm>
#include <cstring>

namespace platform::pixels {

void fillSolid(std::uint16_t* first, std::ptrdiff_t pitch, int width, int height, std::uint16_t value) {
    // A plain fill of 16-bit elements: the compiler turns it into wide stores.
    for (int row = 0; row < height; ++row, first += pitch)
        std::fill_n(first, width, value);
}

void fillBlended(std::uint16_t* first, std::ptrdiff_t pitch, int width, int height, std::uint16_t value,
                 std::uint32_t alpha) {
    if (alpha == 0)
        return;
    for (int row = 0; row < height; ++row, first += pitch) {
        for (int column = 0; column < width; ++column)
            first[column] = blend565(first[column], value, alpha);
    }
}

namespace {

// Calls `put(destination, sourcePixel)` for every pixel of the copy.
template <class Put>
inline void forEachPixel(const RegionCopy& copy, Put put) {
    const std::uint16_t* source = copy.source;
    std::uint16_t* destination = copy.destination;
    const std::ptrdiff_t step = copy.columnStep;
    for (int row = 0; row < copy.height; ++row, source += copy.sourcePitch, destination += copy.rowStep) {
        std::uint16_t* to = destination;
        for (int column = 0; column < copy.width; ++column, to += step)
            put(to, source[column]);
    }
}

} // namespace

void copyOpaque(const RegionCopy& copy) {
    // Rows of an image drawn onto itself may overlap.
    if (copy.columnStep == 1) {
        const std::uint16_t* source = copy.source;
        std::uint16_t* destination = copy.destination;
        for (int row = 0; row < copy.height; ++row, source += copy.sourcePitch, destination += copy.rowStep)
            std::memmove(destination, source, static_cast<std::size_t>(copy.width) * 2);
        return;
    }
    forEachPixel(copy, [](std::uint16_t* to, std::uint16_t pixel) { *to = pixel; });
}

void copyKeyed(const RegionCopy& copy) {
    forEachPixel(copy, [](std::uint16_t* to, std::uint16_t pixel) {
        if (pixel != kColourKey)
            *to = pixel;
    });
}

void copyArgb4444(const RegionCopy& copy) {
    forEachPixel(copy, [](std::uint16_t* to, std::uint16_t pixel) {
        if (pixel >> 12)
            *to = blend4444Over565(*to, pixel);
    });
}

void drawRgbRow(const std::int32_t* source, std::uint16_t* destination, int count, RgbMode mode) {
    switch (mode) {
    case RgbMode::Opaque:
        for (int i = 0; i < count; ++i)
            destination[i] = rgb888To565(static_cast<std::uint32_t>(source[i]));
        break;
    case RgbMode::ProcessAlpha:
        for (int i = 0; i < count; ++i) {
            auto colour = static_cast<std::uint32_t>(source[i]);
            std::uint32_t alpha = colour >> 24;
            if (alpha == 255)
                destination[i] = rgb888To565(colour);
            else if (alpha != 0)
                destination[i] = blend565(destination[i], rgb888To565(colour), alpha);
        }
        break;
    case RgbMode::ToArgb4444:
        for (int i = 0; i < count; ++i)
            destination[i] = argbTo4444(static_cast<std::uint32_t>(source[i]));
        break;
    }
}

} // namespace platform::pixels
