#pragma once

// The straightforward pixel code the fast paths replaced, kept as the model
// they must match byte for byte: a pixel at a time, in source order, with a
// branch per pixel. The drawing calls' geometry (clip, translation, anchor,
// transform, the cuts at the source's and the array's edges) is copied with
// it, so a random drawing can be replayed on a plain pixel vector; the checks'
// log lines are left out, only their effect on the pixels is kept.

#include "platform/lcdui/Image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace reference {

constexpr std::uint16_t kColourKey = 0xF81F;

constexpr std::uint16_t rgb888To565(std::uint32_t colour) {
    return static_cast<std::uint16_t>(((colour >> 19) & 0x1F) << 11 | ((colour >> 10) & 0x3F) << 5 |
                                      ((colour >> 3) & 0x1F));
}

constexpr std::uint16_t argbTo4444(std::uint32_t colour) {
    return static_cast<std::uint16_t>((colour >> 28) << 12 | ((colour >> 20) & 0xF) << 8 |
                                      ((colour >> 12) & 0xF) << 4 | ((colour >> 4) & 0xF));
}

constexpr std::uint16_t blend565(std::uint16_t under, std::uint16_t colour, std::uint32_t alpha) {
    std::uint32_t keep = 256 - alpha;
    std::uint32_t red = (((under >> 11) & 0x1F) * keep + ((colour >> 11) & 0x1F) * alpha) >> 8;
    std::uint32_t green = (((under >> 5) & 0x3F) * keep + ((colour >> 5) & 0x3F) * alpha) >> 8;
    std::uint32_t blue = ((under & 0x1F) * keep + (colour & 0x1F) * alpha) >> 8;
    return static_cast<std::uint16_t>(red << 11 | green << 5 | blue);
}

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

inline void fillSolid(std::uint16_t* first, std::ptrdiff_t pitch, int width, int height,
                      std::uint16_t value) {
    for (int row = 0; row < height; ++row, first += pitch)
        std::fill_n(first, width, value);
}

inline void fillBlended(std::uint16_t* first, std::ptrdiff_t pitch, int width, int height,
                        std::uint16_t value, std::uint32_t alpha) {
    if (alpha == 0)
        return;
    for (int row = 0; row < height; ++row, first += pitch) {
        for (int column = 0; column < width; ++column)
            first[column] = blend565(first[column], value, alpha);
    }
}

struct RegionCopy {
    const std::uint16_t* source;
    std::ptrdiff_t sourcePitch;
    std::uint16_t* destination;
    std::ptrdiff_t columnStep;
    std::ptrdiff_t rowStep;
    int width;
    int height;
};

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

inline void copyOpaque(const RegionCopy& copy) {
    if (copy.columnStep == 1) {
        const std::uint16_t* source = copy.source;
        std::uint16_t* destination = copy.destination;
        for (int row = 0; row < copy.height; ++row, source += copy.sourcePitch, destination += copy.rowStep)
            std::memmove(destination, source, static_cast<std::size_t>(copy.width) * 2);
        return;
    }
    forEachPixel(copy, [](std::uint16_t* to, std::uint16_t pixel) { *to = pixel; });
}

inline void copyKeyed(const RegionCopy& copy) {
    forEachPixel(copy, [](std::uint16_t* to, std::uint16_t pixel) {
        if (pixel != kColourKey)
            *to = pixel;
    });
}

inline void copyArgb4444(const RegionCopy& copy) {
    forEachPixel(copy, [](std::uint16_t* to, std::uint16_t pixel) {
        if (pixel >> 12)
            *to = blend4444Over565(*to, pixel);
    });
}

enum class RgbMode : std::uint8_t { Opaque, ProcessAlpha, ToArgb4444 };

inline void drawRgbRow(const std::int32_t* source, std::uint16_t* destination, int count, RgbMode mode) {
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

struct Span {
    std::int64_t first;
    std::int64_t end;
    bool empty() const { return end <= first; }
    std::int32_t length() const { return static_cast<std::int32_t>(end - first); }
};

inline Span cut(std::int64_t start, std::int64_t length, std::int64_t low, std::int64_t high) {
    return Span{std::max(start, low), std::min(start + length, high)};
}

// A Graphics as its drawing calls see it: the target's pixels, the clip in
// absolute pixels (x2, y2 exclusive), the translation and the colour.
struct Drawing {
    platform::Surface16 target;
    std::int32_t pixelType = 0; // the target's
    std::int32_t clipX1 = 0, clipY1 = 0, clipX2 = 0, clipY2 = 0;
    std::int32_t translateX = 0, translateY = 0;
    std::uint32_t colour = 0;

    struct Clip {
        std::int32_t x1, y1, x2, y2;
    };
    Clip clip() const {
        return Clip{std::max(clipX1, 0), std::max(clipY1, 0), std::min(clipX2, target.width),
                    std::min(clipY2, target.height)};
    }

    void fillRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) const {
        if (!target)
            return;
        Clip area = clip();
        Span columns = cut(static_cast<std::int64_t>(x) + translateX, width, area.x1, area.x2);
        Span rows = cut(static_cast<std::int64_t>(y) + translateY, height, area.y1, area.y2);
        if (columns.empty() || rows.empty())
            return;
        std::uint16_t* first = target.row(static_cast<std::int32_t>(rows.first)) + columns.first;
        std::uint16_t value = rgb888To565(colour);
        std::uint32_t alpha = colour >> 24;
        if (alpha == 255)
            fillSolid(first, target.pitch, columns.length(), rows.length(), value);
        else
            fillBlended(first, target.pitch, columns.length(), rows.length(), value, alpha);
    }

    // `from` is the source's pixels, of `sourceType`.
    void drawRegion(platform::Surface16 from, std::int32_t sourceType, std::int32_t xSource,
                    std::int32_t ySource, std::int32_t width, std::int32_t height, std::int32_t transform,
                    std::int32_t x, std::int32_t y, std::int32_t anchor) const {
        struct Mapping {
            bool startRight, startBottom, columnsDown;
        };
        constexpr Mapping kMappings[8] = {
            {false, false, false}, {false, true, false}, {true, false, false}, {true, true, false},
            {false, false, true},  {true, false, true},  {false, true, true},  {true, true, true},
        };
        const bool turned = transform >= 4;
        const std::int64_t destinationWidth = turned ? height : width;
        const std::int64_t destinationHeight = turned ? width : height;
        std::int64_t left = static_cast<std::int64_t>(x) + translateX;
        std::int64_t top = static_cast<std::int64_t>(y) + translateY;
        if (anchor & 1)
            left -= destinationWidth / 2;
        else if (anchor & 8)
            left -= destinationWidth;
        if (anchor & 2)
            top -= destinationHeight / 2;
        else if (anchor & 32)
            top -= destinationHeight;
        const platform::Surface16& to = target;
        if (!to)
            return;
        Clip area = clip();
        Span columns = cut(left, destinationWidth, area.x1, area.x2);
        Span rows = cut(top, destinationHeight, area.y1, area.y2);
        if (columns.empty() || rows.empty())
            return;
        if (transform < 0 || transform > 7)
            return;
        void (*copy)(const RegionCopy&);
        switch (sourceType) {
        case 0:
            copy = copyOpaque;
            break;
        case 1:
            copy = copyKeyed;
            break;
        case 2:
            copy = copyArgb4444;
            break;
        default:
            return;
        }
        if (!from)
            return;
        const Mapping mapping = kMappings[transform];
        auto window = [](Span visible, std::int64_t origin, std::int64_t size, bool backwards) {
            std::int64_t first = visible.first - origin;
            std::int64_t end = visible.end - origin;
            return backwards ? Span{size - end, size - first} : Span{first, end};
        };
        Span horizontalWindow = window(columns, left, destinationWidth, mapping.startRight);
        Span verticalWindow = window(rows, top, destinationHeight, mapping.startBottom);
        Span uWindow = mapping.columnsDown ? verticalWindow : horizontalWindow;
        Span vWindow = mapping.columnsDown ? horizontalWindow : verticalWindow;
        Span u = cut(0, width, std::max<std::int64_t>(uWindow.first, -static_cast<std::int64_t>(xSource)),
                     std::min<std::int64_t>(uWindow.end, static_cast<std::int64_t>(from.width) - xSource));
        Span v = cut(0, height, std::max<std::int64_t>(vWindow.first, -static_cast<std::int64_t>(ySource)),
                     std::min<std::int64_t>(vWindow.end, static_cast<std::int64_t>(from.height) - ySource));
        if (u.empty() || v.empty())
            return;
        std::int64_t columnOffset = mapping.columnsDown ? v.first : u.first;
        std::int64_t rowOffset = mapping.columnsDown ? u.first : v.first;
        std::int64_t column =
            left + (mapping.startRight ? destinationWidth - 1 - columnOffset : columnOffset);
        std::int64_t row = top + (mapping.startBottom ? destinationHeight - 1 - rowOffset : rowOffset);
        const std::ptrdiff_t horizontal = mapping.startRight ? -1 : 1;
        const std::ptrdiff_t vertical = mapping.startBottom ? -to.pitch : to.pitch;
        RegionCopy region;
        region.source = from.row(static_cast<std::int32_t>(ySource + v.first)) + xSource + u.first;
        region.sourcePitch = from.pitch;
        region.destination = to.row(static_cast<std::int32_t>(row)) + column;
        region.columnStep = mapping.columnsDown ? vertical : horizontal;
        region.rowStep = mapping.columnsDown ? horizontal : vertical;
        region.width = u.length();
        region.height = v.length();
        copy(region);
    }

    // `entries` holds `length` 0xAARRGGBB values.
    void drawRGB(const std::int32_t* entries, std::int64_t length, std::int32_t offset,
                 std::int32_t scanLength, std::int32_t x, std::int32_t y, std::int32_t width,
                 std::int32_t height, bool processAlpha) const {
        if (!target)
            return;
        Clip area = clip();
        const std::int64_t left = static_cast<std::int64_t>(x) + translateX;
        const std::int64_t top = static_cast<std::int64_t>(y) + translateY;
        Span columns = cut(left, width, area.x1, area.x2);
        Span rows = cut(top, height, area.y1, area.y2);
        if (columns.empty() || rows.empty())
            return;
        RgbMode mode = pixelType == 2 ? RgbMode::ToArgb4444
                       : processAlpha ? RgbMode::ProcessAlpha
                                      : RgbMode::Opaque;
        for (std::int64_t row = rows.first; row < rows.end; ++row) {
            std::int64_t base = offset + (row - top) * static_cast<std::int64_t>(scanLength) - left;
            std::int64_t first = std::max(columns.first, -base);
            std::int64_t end = std::min(columns.end, length - base);
            if (end <= first)
                continue;
            drawRgbRow(entries + base + first, target.row(static_cast<std::int32_t>(row)) + first,
                       static_cast<std::int32_t>(end - first), mode);
        }
    }
};

} // namespace reference
