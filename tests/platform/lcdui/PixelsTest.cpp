#include "platform/lcdui/pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace platform::pixels;

// One 565 pixel from its channels.
constexpr std::uint16_t rgb565(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return static_cast<std::uint16_t>(red << 11 | green << 5 | blue);
}

TEST(Pixels, ColourConversionsKeepAndWidenTheTopBits) {
    EXPECT_EQ(rgb888To565(0x123456), rgb565(0x12 >> 3, 0x34 >> 2, 0x56 >> 3));
    EXPECT_EQ(rgb888To565(0xFFFF00FF), kColourKey);
    EXPECT_EQ(rgb565ToArgb(0xFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(rgb565ToArgb(rgb565(16, 32, 1)), 0xFF000000u | 131 << 16 | 129 << 8 | 8);
    EXPECT_EQ(argbTo4444(0x89ABCDEF), 0x8ACE);
    EXPECT_EQ(argb4444ToArgb(0x8ACE), 0x88AACCEEu);
}

TEST(Pixels, FillBlendedMixesEachChannelByAlphaOver256) {
    struct Case {
        std::uint16_t under, colour;
        std::uint32_t alpha;
    };
    const Case cases[] = {
        {rgb565(31, 63, 31), rgb565(0, 0, 0), 128},  {rgb565(0, 0, 0), rgb565(31, 63, 31), 1},
        {rgb565(10, 20, 30), rgb565(30, 2, 1), 200}, {rgb565(10, 20, 30), rgb565(30, 2, 1), 255},
        {rgb565(7, 7, 7), rgb565(30, 60, 30), 0},
    };
    for (const Case& c : cases) {
        // Two rows of three, with a fourth pixel per row outside the fill.
        std::vector<std::uint16_t> pixels(8, c.under);
        fillBlended(pixels.data(), 4, 3, 2, c.colour, c.alpha);
        auto channel = [&](int shift, std::uint32_t mask) {
            return ((c.under >> shift & mask) * (256 - c.alpha) + (c.colour >> shift & mask) * c.alpha) >> 8;
        };
        std::uint16_t mixed = rgb565(channel(11, 31), channel(5, 63), channel(0, 31));
        EXPECT_EQ(pixels,
                  (std::vector<std::uint16_t>{mixed, mixed, mixed, c.under, mixed, mixed, mixed, c.under}))
            << c.alpha;
    }
}

} // namespace
