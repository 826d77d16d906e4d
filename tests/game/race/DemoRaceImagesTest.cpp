// A race load reads its images from the demo set: every track's scenery and
// the three roadside images load through the race loaders pixel for pixel
// as painted, and nothing is logged as failing.

#include "game/data/PackReader.h"
#include "game/race/RaceImages.h"
#include "game/race/TrackData.h"
#include "platform/lcdui/Image.h"
#include "runtime/constantStrings.h"
#include "tests/game/framework/GameFixture.h"

#include <cstdlib>

namespace {

// Whether the colours of `a` and `b` (0xRRGGBB) differ by at most
// `tolerance` in each channel.
bool near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            tolerance)
            return false;
    return true;
}

// The first pixel of `got` that is not `painted` and-ed with `mask`, as
// "x,y: got for painted", or "".
std::string firstMismatch(std::span<const std::int32_t> got, const mkdata::DemoImage& painted,
                          std::uint32_t mask) {
    for (std::uint32_t y = 0; y < painted.height; ++y)
        for (std::uint32_t x = 0; x < painted.width; ++x) {
            auto pixel = static_cast<std::uint32_t>(got[y * painted.width + x]);
            if (pixel != (painted.at(x, y) & mask))
                return std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(pixel) + " for " +
                       std::to_string(painted.at(x, y) & mask);
        }
    return "";
}

TEST(DemoRaceImages, EveryTrackLoadsItsSceneryAndTheRoadsideImages) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(game.frame());
    const std::vector<mkdata::DemoImage> painted = mkdata::demoRaceImages();
    const game::RaceImageStatics& s = game::raceImageStatics();
    for (std::int32_t track = 0; track < mkdata::kDemoTrackCount; ++track) {
        SCOPED_TRACE("track " + std::to_string(track));
        game::loadTrack(track);
        ASSERT_EQ(game::trackStatics().s_trackLoaded, 1);
        game::packOpen(rt::getStaticClass().getConstantString(rt::constants::kRaceImagePack));
        game::loadImageVariant();
        game::loadImageArray();

        const mkdata::DemoImage& strip =
            painted[static_cast<std::size_t>(mkdata::kFirstSceneryImage + track)];
        ASSERT_EQ(s.s_sceneryWidth, static_cast<std::int32_t>(mkdata::kSceneryWidth));
        ASSERT_EQ(s.s_sceneryHeight, static_cast<std::int32_t>(mkdata::kSceneryHeight));
        std::span<const std::int32_t> pixels = rt::IntArray::span(s.s_sceneryPixels);
        ASSERT_EQ(pixels.size(), std::size_t{mkdata::kSceneryWidth * mkdata::kSceneryHeight});
        EXPECT_EQ(firstMismatch(pixels, strip, 0x70FFFFFF), "") << "the scenery strip's pixel differs";
        // Translucent sky on top, the track's ground at the foot of the hills.
        EXPECT_EQ(static_cast<std::uint32_t>(pixels[0]) >> 24, 0x70u);
        std::uint32_t ground = mkdata::demoTrackColours(track).ground;
        EXPECT_TRUE(near(static_cast<std::uint32_t>(pixels.back()), ground, 48))
            << std::hex << pixels.back() << " is not the ground " << ground;
        EXPECT_NE(pixels[0], pixels.back());
    }

    // Elements 0, 1, 2 are entries 1, 2, 0: the tree, the bend sign, the barrier.
    const std::size_t entryOf[3] = {1, 2, 0};
    for (std::int32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE("roadside image " + std::to_string(i));
        auto* image = static_cast<platform::javax_microedition_lcdui_Image*>(
            rt::ObjectArray::get(s.s_roadsideImages, i));
        ASSERT_NE(image, nullptr);
        const mkdata::DemoImage& want = painted[entryOf[i]];
        ASSERT_EQ(image->getWidth(), static_cast<std::int32_t>(want.width));
        ASSERT_EQ(image->getHeight(), static_cast<std::int32_t>(want.height));
        rt::IntArray* argb = rt::newIntArray(image->getWidth() * image->getHeight());
        image->getRGB(argb, 0, image->getWidth(), 0, 0, image->getWidth(), image->getHeight());
        std::span<const std::int32_t> got = rt::IntArray::span(argb);
        EXPECT_EQ(firstMismatch(got, want, 0xFFFFFFFF), "") << "the roadside image's pixel differs";
        // A cut-out: clear in the top corners, solid at the foot's middle.
        EXPECT_EQ(got[0], 0);
        EXPECT_EQ(got[want.width - 1], 0);
        EXPECT_EQ(static_cast<std::uint32_t>(got[(want.height - 1) * want.width + want.width / 2]) >> 24,
                  0xFFu);
    }

    for (const std::string& line : game.log.lines()) {
        EXPECT_EQ(line.find("cannot be loaded"), std::string::npos) << line;
        EXPECT_EQ(line.find("pack:"), std::string::npos) << line;
    }
}

} // namespace
