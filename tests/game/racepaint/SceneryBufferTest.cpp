#include "game/racepaint/SceneryBuffer.h"

#include "game/race/TrackData.h"
#include "game/racepaint/RoadsideView.h"
#include "tests/game/racepaint/RoadsideFixture.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace scenery_buffer_test {

namespace {

using roadside_testing::RoadsideTest;
using sprite_testing::on565;

constexpr std::uint32_t kStripColour = 0xFF00FF00u;
constexpr std::int32_t kSegments = 20;

// One strip record: segment, slot, lateral, position, link.
struct Strip {
    std::int16_t segment, slot, lateral, position, link;
};

struct SceneryTest : RoadsideTest {
    // A straight, level road 400 units below the eye, slice i at depth
    // 300 + 1024 i; the track has `strips` and segment `bareSegment` has the
    // surface without scenery.
    void makeTrack(const std::vector<Strip>& strips, std::int32_t bareSegment = -1) {
        game::TrackStatics& track = game::trackStatics();
        track.s_segmentCount = kSegments;
        track.s_segmentAttributes = rt::newByteArray(2 * kSegments);
        if (bareSegment >= 0)
            rt::ByteArray::set(track.s_segmentAttributes, 2 * bareSegment + 1, 5);
        track.s_trackShorts = rt::newShortArray(static_cast<std::int32_t>(strips.size()) * 6);
        for (std::size_t i = 0; i < strips.size(); ++i) {
            const Strip& s = strips[i];
            for (std::int16_t k = 0; std::int16_t value : std::initializer_list<std::int16_t>{
                                         s.segment, s.slot, s.lateral, s.position, s.link, 0})
                rt::ShortArray::set(track.s_trackShorts, static_cast<std::int32_t>(i * 6) + k++, value);
        }
        game::RoadsideViewStatics& view = game::roadsideView();
        for (std::int32_t i = 0; i < game::kRoadSlices; ++i) {
            view.s_sliceDepth[i] = 300 + 1024 * i;
            view.s_sliceHeight[i] = -400;
            view.s_sliceScreenY[i] = 240 + 200 * 400 / view.s_sliceDepth[i];
        }
        rt::IntArray* texture = rt::newIntArray(4);
        std::ranges::fill(rt::IntArray::span(texture), static_cast<std::int32_t>(kStripColour));
        game::setupScenery(texture, 2, 2, 640, 480);
    }

    bool paintFrame() {
        game::computeSceneryStrips();
        return game::paintSceneryBuffer();
    }

    // The box of the strip's pixels on the screen.
    std::vector<std::int32_t> stripBounds() const {
        std::vector<std::int32_t> box{640, 480, 0, 0};
        for (std::int32_t y = 0; y < 480; ++y)
            for (std::int32_t x = 0; x < 640; ++x)
                if (screen.at(x, y) == on565(kStripColour)) {
                    box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1),
                           std::max(box[3], y + 1)};
                }
        return box[2] == 0 ? std::vector<std::int32_t>{0, 0, 0, 0} : box;
    }
};

TEST_F(SceneryTest, PiecesWithoutBothCrossSectionsDrawNothing) {
    struct Case {
        const char* name;
        std::vector<Strip> strips;
        std::int32_t bareSegment;
    };
    const Case cases[] = {
        {"no strip", {}, -1},
        {"no link", {{3, 0, -100, 0, -1}, {4, 0, -100, 0, -1}}, -1},
        {"link to an empty slot", {{3, 0, -100, 0, 2}, {4, 0, -100, 0, -1}}, -1},
        {"link beyond the slots", {{3, 0, -100, 0, 4}, {4, 0, -100, 0, -1}, {5, 0, -100, 0, -1}}, -1},
        {"slice 14 to 15", {{14, 0, -100, 0, 0}, {15, 0, -100, 0, 0}}, -1},
        {"surface without scenery", {{3, 0, -100, 0, 0}, {4, 0, -100, 0, -1}}, 4},
    };
    for (const Case& c : cases) {
        makeTrack(c.strips, c.bareSegment);
        EXPECT_FALSE(paintFrame()) << c.name;
        EXPECT_EQ(screen.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0})) << c.name;
    }
}

TEST_F(SceneryTest, OneStripIsDrawnBetweenItsSlicesBelowTheFarEndOfTheRoad) {
    makeTrack({{3, 0, -100, 0, 0}, {4, 0, -100, 0, -1}});
    ASSERT_TRUE(paintFrame());
    const game::RoadsideViewStatics& view = game::roadsideView();
    const std::vector<std::int32_t> box = stripBounds();
    // From the row of slice 4 down to the row of slice 3, centred on the
    // strip's lateral offset.
    EXPECT_NEAR(box[1], view.s_sliceScreenY[4], 1);
    EXPECT_NEAR(box[3], view.s_sliceScreenY[3] + 1, 1);
    EXPECT_NEAR((box[0] + box[2]) / 2, 320 - 100 * 200 / view.s_sliceDepth[3], 2);
    EXPECT_GE(box[1], view.s_sliceScreenY[15]);
    // Every pixel drawn is the strip's, and the buffer is clear again.
    EXPECT_EQ(stripBounds(), screen.bounds());
    for (std::int32_t argb : rt::IntArray::span(game::sceneryStatics().s_sceneryBuffer))
        ASSERT_EQ(argb, 0);
}

TEST_F(SceneryTest, AStripRightOfTheOldTargetWidthIsDrawn) {
    // 270 units right at depth 300 is x 500.
    makeTrack({{0, 1, 270, 0, 1}, {1, 1, 270, 0, 1}, {2, 1, 270, 0, -1}});
    ASSERT_TRUE(paintFrame());
    EXPECT_GT(stripBounds()[2], 480);
}

TEST_F(SceneryTest, ANearCrossSectionMovesAlongItsLinkUnlessTheDepthsAgree) {
    makeTrack({{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {2, 0, 0, 0, -1}});
    game::RoadsideViewStatics& view = game::roadsideView();
    view.s_sliceDepth[0] = 100;
    game::computeSceneryStrips();
    // Moved onto depth 200: half width 16 x 200 / 200.
    EXPECT_EQ(game::sceneryStatics().s_sceneryHalfWidths[0], 16);
    view.s_sliceDepth[1] = 100;
    game::computeSceneryStrips();
    EXPECT_EQ(game::sceneryStatics().s_sceneryHalfWidths[0], 0);
}

} // namespace

} // namespace scenery_buffer_test
