#include "host/display/StretchBlit.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using host::PixelRect;
using host::PixelView;
using host::StretchFilter;

struct Picture {
    Picture(int width, int height)
        : pixels(static_cast<std::size_t>(width * height))
        , view{pixels.data(), width, height, width} {}
    std::uint16_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * view.pitch + x)]; }
    std::vector<std::uint16_t> pixels;
    PixelView view;
};

TEST(StretchBlit, NearestKeepsTheSourcePixelUnderEachDestinationPixel) {
    Picture source(4, 2);
    for (int i = 0; i < 8; ++i)
        source.pixels[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i + 1);
    Picture halved(2, 1);
    host::stretchBlit(source.view, {0, 0, 4, 2}, halved.view, {0, 0, 2, 1}, StretchFilter::Nearest);
    EXPECT_EQ(halved.pixels, (std::vector<std::uint16_t>{1, 3}));

    Picture doubled(6, 4);
    host::stretchBlit(source.view, {1, 0, 3, 2}, doubled.view, {0, 0, 6, 4}, StretchFilter::Nearest);
    EXPECT_EQ(doubled.pixels, (std::vector<std::uint16_t>{2, 2, 3, 3, 4, 4, 2, 2, 3, 3, 4, 4, //
                                                          6, 6, 7, 7, 8, 8, 6, 6, 7, 7, 8, 8}));
}

TEST(StretchBlit, BilinearBlendsNeighboursAndCopiesAnEqualSizeExactly) {
    Picture source(2, 2);
    source.pixels = {0x0000, 0xFFFF, 0xFFFF, 0x0000};
    source.view.pixels = source.pixels.data();
    Picture one(1, 1);
    host::stretchBlit(source.view, {0, 0, 2, 2}, one.view, {0, 0, 1, 1}, StretchFilter::Bilinear);
    // Each channel halfway: red 31 -> 16, green 63 -> 32, blue 31 -> 16.
    EXPECT_EQ(one.pixels[0], (16 << 11) | (32 << 5) | 16);

    Picture copy(2, 2);
    host::stretchBlit(source.view, {0, 0, 2, 2}, copy.view, {0, 0, 2, 2}, StretchFilter::Bilinear);
    EXPECT_EQ(copy.pixels, source.pixels);

    // Growing keeps the outermost pixels as they are.
    Picture grown(4, 4);
    host::stretchBlit(source.view, {0, 0, 2, 2}, grown.view, {0, 0, 4, 4}, StretchFilter::Bilinear);
    EXPECT_EQ(grown.at(0, 0), 0x0000);
    EXPECT_EQ(grown.at(3, 0), 0xFFFF);
    EXPECT_EQ(grown.at(0, 3), 0xFFFF);
}

TEST(StretchBlit, RectanglesMustLieInsideTheirViews) {
    Picture picture(4, 3);
    const PixelRect inside[] = {{0, 0, 4, 3}, {3, 2, 1, 1}};
    const PixelRect outside[] = {{0, 0, 0, 1}, {-1, 0, 2, 2}, {3, 0, 2, 1}, {0, 2, 1, 2}, {0, 0, 5, 3}};
    for (const auto& rect : inside)
        EXPECT_TRUE(host::rectInside(picture.view, rect));
    for (const auto& rect : outside)
        EXPECT_FALSE(host::rectInside(picture.view, rect));
}

} // namespace
