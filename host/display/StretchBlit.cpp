#include "host/display/StretchBlit.h"

#include "host/Verify.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace host {

namespace {

// Source positions of destination columns or rows for the nearest filter.
std::vector<int> nearestIndices(int sourceStart, int sourceLength, int destinationLength) {
    std::vector<int> indices(static_cast<std::size_t>(destinationLength));
    for (int d = 0; d < destinationLength; ++d) {
        indices[static_cast<std::size_t>(d)] =
            sourceStart + static_cast<int>(static_cast<std::int64_t>(d) * sourceLength / destinationLength);
    }
    return indices;
}

struct BilinearStep {
    int first;  // source index of the left (upper) sample
    int second; // source index of the right (lower) sample
    int weight; // 0..256: share of the second sample
};

// The destination pixel's centre mapped into the source, in 1/65536 pixels,
// clamped to the outermost source centres so that edges are not blended with
// what lies outside the rectangle.
std::vector<BilinearStep> bilinearSteps(int sourceStart, int sourceLength, int destinationLength) {
    std::vector<BilinearStep> steps(static_cast<std::size_t>(destinationLength));
    std::int64_t last = static_cast<std::int64_t>(sourceLength - 1) << 16;
    for (int d = 0; d < destinationLength; ++d) {
        std::int64_t position =
            (static_cast<std::int64_t>(2 * d + 1) * sourceLength << 16) / (2 * destinationLength) - 32768;
        position = std::clamp<std::int64_t>(position, 0, last);
        int index = static_cast<int>(position >> 16);
        int weight = static_cast<int>((position & 0xFFFF) >> 8);
        steps[static_cast<std::size_t>(d)] = {sourceStart + index,
                                              sourceStart + std::min(index + 1, sourceLength - 1), weight};
    }
    return steps;
}

struct Channels {
    int red;
    int green;
    int blue;
};

Channels split(std::uint16_t pixel) {
    return {pixel >> 11, (pixel >> 5) & 0x3F, pixel & 0x1F};
}

Channels blendRow(std::uint16_t left, std::uint16_t right, int weight) {
    Channels a = split(left);
    Channels b = split(right);
    return {a.red * (256 - weight) + b.red * weight, a.green * (256 - weight) + b.green * weight,
            a.blue * (256 - weight) + b.blue * weight};
}

std::uint16_t blendColumn(const Channels& upper, const Channels& lower, int weight) {
    auto mix = [weight](int a, int b) { return (a * (256 - weight) + b * weight + 32768) >> 16; };
    return static_cast<std::uint16_t>((mix(upper.red, lower.red) << 11) |
                                      (mix(upper.green, lower.green) << 5) | mix(upper.blue, lower.blue));
}

} // namespace

bool rectInside(const PixelView& view, const PixelRect& rect) {
    return rect.width > 0 && rect.height > 0 && rect.x >= 0 && rect.y >= 0 &&
           rect.x <= view.width - rect.width && rect.y <= view.height - rect.height;
}

void stretchBlit(const PixelView& source, const PixelRect& from, const PixelView& destination,
                 const PixelRect& to, StretchFilter filter) {
    HOST_VERIFY(rectInside(source, from));
    HOST_VERIFY(rectInside(destination, to));

    auto sourceRow = [&](int y) { return source.pixels + static_cast<std::ptrdiff_t>(y) * source.pitch; };
    auto destinationRow = [&](int y) {
        return destination.pixels + static_cast<std::ptrdiff_t>(y) * destination.pitch + to.x;
    };

    if (from.width == to.width && from.height == to.height) {
        for (int row = 0; row < to.height; ++row) {
            std::memcpy(destinationRow(to.y + row), sourceRow(from.y + row) + from.x,
                        static_cast<std::size_t>(to.width) * sizeof(std::uint16_t));
        }
        return;
    }

    if (filter == StretchFilter::Nearest) {
        std::vector<int> columns = nearestIndices(from.x, from.width, to.width);
        std::vector<int> rows = nearestIndices(from.y, from.height, to.height);
        for (int row = 0; row < to.height; ++row) {
            const std::uint16_t* in = sourceRow(rows[static_cast<std::size_t>(row)]);
            std::uint16_t* out = destinationRow(to.y + row);
            for (int column = 0; column < to.width; ++column)
                out[column] = in[columns[static_cast<std::size_t>(column)]];
        }
        return;
    }

    std::vector<BilinearStep> columns = bilinearSteps(from.x, from.width, to.width);
    std::vector<BilinearStep> rows = bilinearSteps(from.y, from.height, to.height);
    for (int row = 0; row < to.height; ++row) {
        const BilinearStep& vertical = rows[static_cast<std::size_t>(row)];
        const std::uint16_t* upper = sourceRow(vertical.first);
        const std::uint16_t* lower = sourceRow(vertical.second);
        std::uint16_t* out = destinationRow(to.y + row);
        for (int column = 0; column < to.width; ++column) {
            const BilinearStep& horizontal = columns[static_cast<std::size_t>(column)];
            Channels top = blendRow(upper[horizontal.first], upper[horizontal.second], horizontal.weight);
            Channels bottom = blendRow(lower[horizontal.first], lower[horizontal.second], horizontal.weight);
            out[column] = blendColumn(top, bottom, vertical.weight);
        }
    }
}

} // namespace host
