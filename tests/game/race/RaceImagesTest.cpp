// The race images: the roadside images by entry, the scenery image as a
// translucent pixel array, and images that fail.

#include "game/race/RaceImages.h"
#include "game/data/PackReader.h"
#include "game/race/TrackData.h"
#include "platform/lcdui/Image.h"
#include "tests/game/race/RaceDataFixture.h"
#include "tools/datakit/PngWriter.h"

namespace {

using datakit::Bytes;
using race_testing::RaceDataTest;

TEST(RaceImages, TheSceneryMaskKeepsAlpha0x70AtMost) {
    std::vector<std::int32_t> pixels = {static_cast<std::int32_t>(0xFF336699),
                                        static_cast<std::int32_t>(0x80FFFFFF), 0x0F123456, 0};
    game::maskSceneryPixels(pixels);
    EXPECT_EQ(pixels, (std::vector<std::int32_t>{0x70336699, 0x00FFFFFF, 0x00123456, 0}));
}

struct RaceImagesTest : RaceDataTest {
    explicit RaceImagesTest(bool entry2Broken = false) {
        // Entries 0..2 the roadside images (1 x 1, 2 x 1, 3 x 1), 3 the
        // scenery (2 x 2, opaque and transparent), 4 no image.
        std::vector<Bytes> entries;
        for (std::uint32_t width = 1; width <= 3; ++width)
            entries.push_back(datakit::writePng(width, 1, std::vector<std::uint32_t>(width, 0xFF00FF00)));
        if (entry2Broken)
            entries[2] = {1, 2, 3};
        entries.push_back(datakit::writePng(2, 2, {0xFFFFFFFF, 0x00000000, 0xFF000000, 0xFFFFFFFF}));
        entries.push_back({1, 2, 3});
        putPacks({{"images.pak", entries}});
        game::packOpen(rt::getStaticClass().getConstantString(rt::constants::kRaceImagePack));
        game::trackStatics().s_trackStyle = rt::newIntArray(14);
    }
    static std::int32_t widthOf(std::int32_t i) {
        auto* image = static_cast<platform::javax_microedition_lcdui_Image*>(
            rt::ObjectArray::get(game::raceImageStatics().s_roadsideImages, i));
        return image ? image->getWidth() : 0;
    }
};

TEST_F(RaceImagesTest, RoadsideImagesComeFromEntries1_2And0) {
    game::loadImageArray();
    EXPECT_EQ(widthOf(0), 2);
    EXPECT_EQ(widthOf(1), 3);
    EXPECT_EQ(widthOf(2), 1);
    rt::ObjectArray* kept = game::raceImageStatics().s_roadsideImages;
    game::loadImageArray();
    EXPECT_EQ(game::raceImageStatics().s_roadsideImages, kept) << "a second load reuses the arrays";
    ASSERT_NE(game::raceImageStatics().s_roadsideImages2, nullptr);
    EXPECT_EQ(game::raceImageStatics().s_roadsideImages2->length(), 3);
}

TEST_F(RaceImagesTest, TheSceneryIsTheTracksImageMadeTranslucent) {
    rt::IntArray::set(game::trackStatics().s_trackStyle, 13, 3);
    game::loadImageVariant();
    const game::RaceImageStatics& s = game::raceImageStatics();
    EXPECT_EQ(s.s_sceneryWidth, 2);
    EXPECT_EQ(s.s_sceneryHeight, 2);
    std::span<std::int32_t> pixels = rt::IntArray::span(s.s_sceneryPixels);
    ASSERT_EQ(pixels.size(), 4u);
    EXPECT_EQ(static_cast<std::uint32_t>(pixels[0]) >> 24, 0x70u);
    EXPECT_EQ(static_cast<std::uint32_t>(pixels[1]) >> 24, 0u);
    EXPECT_EQ(static_cast<std::uint32_t>(pixels[3]) >> 24, 0x70u);
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0xFFFFFF);
    EXPECT_EQ(pixels[2] & 0xFFFFFF, 0);

    // An entry that is no image leaves the scenery as it was.
    rt::IntArray::set(game::trackStatics().s_trackStyle, 13, 4);
    rt::IntArray* before = s.s_sceneryPixels;
    game::loadImageVariant();
    EXPECT_EQ(s.s_sceneryPixels, before);
    EXPECT_EQ(s.s_sceneryWidth, 2);
    EXPECT_TRUE(log.contains("the scenery image (entry 4) cannot be loaded"));
}

struct BrokenRoadsideTest : RaceImagesTest {
    BrokenRoadsideTest()
        : RaceImagesTest(true) {}
};

TEST_F(BrokenRoadsideTest, ARoadsideImageThatFailsEndsTheLoadsAfterIt) {
    game::loadImageArray();
    EXPECT_EQ(widthOf(0), 2);
    EXPECT_EQ(rt::ObjectArray::get(game::raceImageStatics().s_roadsideImages, 1), nullptr);
    EXPECT_EQ(rt::ObjectArray::get(game::raceImageStatics().s_roadsideImages, 2), nullptr)
        << "entry 0 not tried";
    EXPECT_TRUE(log.contains("the roadside image (entry 2) cannot be loaded"));
    EXPECT_FALSE(rt::exceptionPending());
}

} // namespace
