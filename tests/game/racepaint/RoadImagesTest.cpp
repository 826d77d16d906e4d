// The road images built from a background picture: their widths, the
// picture scaled with its edge and centre columns kept, the shading by depth
// and the weather tint, one conversion per picture, and the lane widths.

#include "game/racepaint/RoadImages.h"
#include "game/framework/GameGraphics.h"
#include "game/race/RaceImages.h"
#include "platform/lcdui/pixels.h"
#include "tests/game/racepaint/RacePaintFixture.h"

namespace {

using namespace racepaint_testing;
using game::RoadImageStatics;
using game::roadImageStatics;

// A 3 x 2 picture: outer edge white, tarmac grey, centre line yellow; the
// second row the same.
constexpr std::int32_t kEdge = static_cast<std::int32_t>(0xFFF8F8F8u);
constexpr std::int32_t kTarmac = static_cast<std::int32_t>(0xFF808080u);
constexpr std::int32_t kCentre = static_cast<std::int32_t>(0xFFF8F800u);

rt::IntArray* picture() {
    return intArray({kEdge, kTarmac, kCentre, kEdge, kTarmac, kCentre});
}

std::vector<std::int32_t> row(Image* image, std::int32_t y) {
    rt::IntArray* out = rt::newIntArray(image->getWidth());
    image->getRGB(out, 0, image->getWidth(), 0, y, image->getWidth(), 1);
    return ints(out, image->getWidth());
}

std::int32_t as565(std::int32_t argb) {
    return static_cast<std::int32_t>(on565(static_cast<std::uint32_t>(argb)));
}

Image* imageAt(rt::ObjectArray* images, std::int32_t j) {
    return static_cast<Image*>(rt::ObjectArray::get(images, j));
}

TEST_F(RacePaintTest, RoadImagesCoverEveryWidthWithEdgeAndCentreKept) {
    rt::ObjectArray* images = game::buildGradientImage(picture(), 3, 2, 0, 0, 0, 0, 0);
    ASSERT_NE(images, nullptr);
    ASSERT_EQ(images->length(), 111);
    for (std::int32_t j = 0; j < 111; ++j) {
        Image* image = imageAt(images, j);
        ASSERT_EQ(image->getWidth(), 25 + 16 * j);
        ASSERT_EQ(image->getHeight(), 4);
    }
    Image* image = imageAt(images, 3); // 73 wide
    for (std::int32_t y = 0; y < 4; ++y) {
        std::vector<std::int32_t> pixels = row(image, y);
        EXPECT_EQ(as565(pixels.front()), as565(kEdge));
        EXPECT_EQ(as565(pixels[36]), as565(kTarmac));
        EXPECT_EQ(as565(pixels.back()), as565(kCentre)) << "the centre line in the last column";
    }
    // Pictures that cannot be read make nothing.
    EXPECT_EQ(game::buildGradientImage(picture(), 4, 2, 0, 0, 0, 0, 0), nullptr);
    EXPECT_EQ(game::buildGradientImage(picture(), 0, 2, 0, 0, 0, 0, 0), nullptr);
    EXPECT_EQ(game::buildGradientImage(nullptr, 3, 2, 0, 0, 0, 0, 0), nullptr);
}

TEST_F(RacePaintTest, RoadImagesDarkenWithDepthAndTakeTheTint) {
    // Whole darkening (half) at half-width 57 and below, none from 153 up.
    struct Case {
        std::int32_t image, tint;
        std::int32_t tarmac; // expected ARGB of the tarmac
    };
    const Case cases[] = {
        {0, 0, static_cast<std::int32_t>(0xFF404040u)}, // 25 wide: far
        {2, 0, static_cast<std::int32_t>(0xFF404040u)}, // 57 wide: far end of the fall
        {5, 0, static_cast<std::int32_t>(0xFF606060u)}, // 105 wide: half way
        {8, 0, static_cast<std::int32_t>(0xFF808080u)}, // 153 wide: near
        {110, 0, static_cast<std::int32_t>(0xFF808080u)},
        {110, 64, static_cast<std::int32_t>(0xFF48484Au)},  // half way to 0x101015
        {110, 500, static_cast<std::int32_t>(0xFF101015u)}, // held at the whole tint
    };
    for (const Case& c : cases) {
        rt::ObjectArray* images = game::buildGradientImage(picture(), 3, 2, 128, 57, 153, 0x101015, c.tint);
        EXPECT_EQ(as565(row(imageAt(images, c.image), 0)[game::roadImageWidth(c.image) / 2]), as565(c.tarmac))
            << "image " << c.image << " tint " << c.tint;
    }
}

TEST_F(RacePaintTest, WeatherTintStrength) {
    struct Case {
        std::int32_t mode, strength, tint;
    };
    const Case cases[] = {{2, 50, 0}, {2, 100, 64}, {2, 150, 128}, {2, 75, 32}, {1, 100, 0}, {0, 150, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(game::weatherTintStrength(c.mode, c.strength), c.tint) << c.mode << " " << c.strength;
}

TEST_F(RacePaintTest, BackgroundConvertsOnceAndDropsThePicture) {
    RoadImageStatics& s = roadImageStatics();
    s.s_backgroundImages = rt::newObjectArray(2);
    rt::ObjectArray::set(s.s_backgroundImages, 1, game::createRGBImage(picture(), 3, 2, false));
    game::buildRaceBackground(0); // no picture there
    game::buildRaceBackground(7); // past the list
    EXPECT_EQ(s.s_backgroundRows, nullptr);

    game::buildRaceBackground(1);
    EXPECT_EQ(rt::ObjectArray::get(s.s_backgroundImages, 1), nullptr);
    ASSERT_NE(s.s_backgroundRows, nullptr);
    auto* images = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(s.s_backgroundRows, 1));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->length(), 111);
    EXPECT_EQ(s.s_backgroundWidth, 3);
    EXPECT_EQ(s.s_backgroundHeight, 2);
    rt::IntArray* pixels = s.s_backgroundPixels;

    game::buildRaceBackground(1);
    EXPECT_EQ(rt::ObjectArray::get(s.s_backgroundRows, 1), images) << "the second conversion does nothing";
    EXPECT_EQ(s.s_backgroundPixels, pixels);
}

TEST_F(RacePaintTest, LaneWidthsAreTwiceTheImageWidthOverTheLaneCount) {
    RoadImageStatics& s = roadImageStatics();
    s.s_backgroundRows = rt::newObjectArray(1);
    rt::ObjectArray::set(s.s_backgroundRows, 0, game::buildGradientImage(picture(), 3, 2, 0, 0, 0, 0, 0));
    struct Case {
        std::int32_t lanes, first, last; // images 0 (25) and 110 (1785)
    };
    const Case cases[] = {{1, 50, 3570}, {2, 25, 1785}, {3, 16, 1190}, {4, 12, 892}, {0, 50, 3570}};
    for (const Case& c : cases) {
        game::trackStatics().s_laneCount = c.lanes;
        game::computeRoadImageLaneWidths();
        EXPECT_EQ(rt::ShortArray::get(s.s_roadImageLaneWidth, 0), c.first) << c.lanes << " lanes";
        EXPECT_EQ(rt::ShortArray::get(s.s_roadImageLaneWidth, 110), c.last) << c.lanes << " lanes";
    }
}

TEST_F(RacePaintTest, LaneObjectBlocksAreTheRoadsideImagesAtTheLastBackgroundSize) {
    RoadImageStatics& s = roadImageStatics();
    game::grabImagePixels();
    EXPECT_EQ(s.s_sliceObjectPixels, nullptr) << "no background converted: no size";

    // Image 0: 2 x 1, left red, right blue; image 1 missing; image 2 green.
    rt::ObjectArray* roadside = rt::newObjectArray(3);
    const std::int32_t red = static_cast<std::int32_t>(0xFFFF0000u),
                       blue = static_cast<std::int32_t>(0xFF0000FFu);
    const std::int32_t green = static_cast<std::int32_t>(0xFF00FF00u);
    rt::ObjectArray::set(roadside, 0, game::createRGBImage(intArray({red, blue}), 2, 1, false));
    rt::ObjectArray::set(roadside, 2, game::createRGBImage(intArray({green}), 1, 1, false));
    game::raceImageStatics().s_roadsideImages = roadside;
    s.s_backgroundWidth = 4;
    s.s_backgroundHeight = 3;
    game::grabImagePixels();
    ASSERT_NE(s.s_sliceObjectPixels, nullptr);
    auto block = [&](std::int32_t i) {
        return ints(static_cast<rt::IntArray*>(rt::ObjectArray::get(s.s_sliceObjectPixels, i)), 12);
    };
    EXPECT_EQ(block(0),
              (std::vector<std::int32_t>{red, red, blue, blue, red, red, blue, blue, red, red, blue, blue}));
    EXPECT_EQ(block(1), std::vector<std::int32_t>(12, 0));
    EXPECT_EQ(block(2), std::vector<std::int32_t>(12, green));

    // The same size again reuses the blocks.
    rt::Object* first = rt::ObjectArray::get(s.s_sliceObjectPixels, 0);
    game::grabImagePixels();
    EXPECT_EQ(rt::ObjectArray::get(s.s_sliceObjectPixels, 0), first);
}

} // namespace
