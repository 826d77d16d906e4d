// The race pictures datakit paints: road surfaces with their lane marks and
// kerbs, the lane objects, the haze and the panorama sprite.

#include "tools/datakit/RacePictures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using datakit::Picture;
using datakit::RoadLook;

std::uint32_t rgb(std::uint32_t argb) {
    return argb & 0xFFFFFF;
}

TEST(RacePictures, RoadSurfaceHasKerbEdgeLaneMarksAndCentreLineWhereTheLanesSay) {
    struct Case {
        std::uint32_t lanes;
        std::vector<std::uint32_t> marks; // columns of a 60-wide half
    };
    const Case cases[] = {{1, {}}, {2, {}}, {3, {40}}, {4, {30}}, {6, {20, 40}}};
    for (const Case& c : cases) {
        RoadLook look;
        look.lanes = c.lanes;
        EXPECT_EQ(datakit::laneMarkColumns(look, 60), c.marks) << c.lanes << " lanes";
        const Picture p = datakit::roadSurfacePicture(look, 60, 8);
        for (std::uint32_t y = 0; y < 8; ++y) {
            for (std::uint32_t x = 0; x < 60; ++x) {
                std::uint32_t expected = look.tarmac;
                if (x < 3)
                    expected = look.kerb[0];
                else if (x < 6)
                    expected = look.edgeLine;
                else if (x == 59)
                    expected = look.centreLine;
                else if (std::ranges::find(c.marks, x) != c.marks.end())
                    expected = look.laneMark;
                ASSERT_EQ(rgb(p.at(x, y)), expected) << c.lanes << " lanes, (" << x << ", " << y << ")";
                ASSERT_EQ(p.at(x, y) >> 24, 0xFFu);
            }
        }
    }
}

TEST(RacePictures, KerbSurfacesDifferOnlyInTheKerbColour) {
    RoadLook look;
    const auto surfaces = datakit::kerbSurfacePictures(look, 48, 4);
    for (std::uint32_t y = 0; y < 4; ++y)
        for (std::uint32_t x = 0; x < 48; ++x) {
            if (x < 3) {
                EXPECT_EQ(rgb(surfaces[0].at(x, y)), look.kerb[0]);
                EXPECT_EQ(rgb(surfaces[1].at(x, y)), look.kerb[1]);
            } else {
                EXPECT_EQ(surfaces[0].at(x, y), surfaces[1].at(x, y)) << x;
            }
        }
}

TEST(RacePictures, LaneObjectsHazeAndPanorama) {
    const auto objects = datakit::laneObjectPictures(16);
    for (const Picture& p : objects)
        ASSERT_EQ(p.pixels.size(), 256u);
    // The arrow's two frames: one shape, two colours.
    bool differ = false;
    for (std::size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(objects[0].pixels[i] >> 24, objects[1].pixels[i] >> 24);
        differ |= objects[0].pixels[i] != objects[1].pixels[i];
    }
    EXPECT_TRUE(differ);
    EXPECT_TRUE(std::ranges::all_of(objects[2].pixels, [](std::uint32_t p) { return p >> 24 == 0xFF; }));

    const Picture haze = datakit::hazePicture(5, 9, 0x8090A0);
    EXPECT_EQ(haze.at(2, 0) >> 24, 0u);
    EXPECT_EQ(haze.at(2, 8), 0xFF8090A0u);
    for (std::uint32_t y = 1; y < 9; ++y)
        EXPECT_GT(haze.at(0, y) >> 24, haze.at(0, y - 1) >> 24);

    const datakit::SpriteModel panorama = datakit::panoramaSprite(320, {0x607080, 0x305030, 0x404048});
    ASSERT_EQ(panorama.frames.size(), 3u);
    for (const datakit::SpriteFModule& f : panorama.fmodules) {
        EXPECT_LE(f.y + panorama.modules[f.module].height, 0) << "above the origin";
        EXPECT_GE(f.x, 0);
        EXPECT_LE(f.x + panorama.modules[f.module].width, 320);
    }
    EXPECT_FALSE(datakit::writeSprite(panorama).empty());
}

} // namespace
