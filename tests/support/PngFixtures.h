#pragma once

// PNG files made in memory by libpng, for tests, benchmarks and seed corpora
// that need pictures of every kind the decoder meets.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace testing_support {

enum class PngColour : std::uint8_t { Grey, Rgb, Palette, GreyAlpha, RgbAlpha };

struct PngPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    PngColour colour = PngColour::Rgb;
    int bitDepth = 8;
    bool interlaced = false;
    // Samples row by row, the channels of each pixel in order (one palette
    // index per pixel for palette pictures), each below 2^bitDepth.
    std::vector<std::uint16_t> samples;
    // Palette pictures: the colours, and the alphas of the first entries (a tRNS chunk when not empty).
    std::vector<std::array<std::uint8_t, 3>> palette;
    std::vector<std::uint8_t> paletteAlpha;
    // Grey and RGB pictures: the transparent colour (a tRNS chunk); grey uses the first value.
    std::optional<std::array<std::uint16_t, 3>> transparentColour;
};

// Samples a pixel of `colour` has.
int channelsOf(PngColour colour);

std::vector<std::uint8_t> encodePng(const PngPicture& picture);

} // namespace testing_support
