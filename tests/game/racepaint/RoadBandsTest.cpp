// The road bands on projected datakit roads in one flat colour, probed
// against a double-precision pinhole model of the track and camera (never
// the slice arrays): road edges on a straight, a bend, a crest, the flat
// ground attribute, a lane taken off by an edge flag; and from the drawing
// log: slices turned too far, and a surface without images.

#include "game/racepaint/RoadBands.h"
#include "game/framework/GameGraphics.h"
#include "game/race/RoadProjection.h"
#include "tests/game/racepaint/RacePaintFixture.h"
#include "tests/support/CosTable.h"
#include "tools/datakit/RacePictures.h"

#include <cmath>
#include <numbers>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace road_bands_test {

namespace {

using namespace racepaint_testing;
using game::DrawCall;

constexpr std::uint32_t kRoad = 0x808080;
constexpr std::uint32_t kOtherRoad = 0x40A040;
constexpr std::int32_t kHalfWidth = 300;
constexpr double kEyeHeight = 329;
constexpr double kFocal = 200;
constexpr double kHorizon = 240;

struct RoadBands : RacePaintTest {
    game::RoadCamera camera{.focal = 200, .horizonY = 240, .centerX = 320};

    RoadBands() {
        testing_support::installCosTable();
        game::roadBandStaticInit();

        // Two surfaces of one flat colour each, no shading.
        installFlatRoadSurfaces({kRoad, kOtherRoad});
    }

    // A ring of `count` segments, all on surface 0, with these curves and
    // slopes for the first segments.
    void loadTrack(std::vector<std::int32_t> curve, std::vector<std::int32_t> slope,
                   std::int32_t count = 40) {
        curve.resize(count, curve.empty() ? 0 : curve.back());
        slope.resize(count, slope.empty() ? 0 : slope.back());
        game::TrackStatics& t = game::trackStatics();
        t.s_segmentCount = count;
        t.s_segmentCurve = intArray(curve);
        t.s_segmentHeight = intArray(slope);
        t.s_roadHalfWidth = kHalfWidth;
        t.s_laneCount = 4;
        t.s_laneWidth = 2 * kHalfWidth / 4;
        t.s_segmentEdgeFlags = rt::newByteArray(count);
        t.s_segmentAttributes = rt::newByteArray(2 * count);
    }
    void paint(std::int32_t angleLimit = 512) {
        game::projectRoad(camera, 0, 0, 0, 0, -static_cast<std::int32_t>(kEyeHeight));
        game::paintRoadBands({.angleLimit = angleLimit, .shakeX = 0});
    }
    bool isRoad(std::int32_t x, std::int32_t y) const {
        return screen.at(x, y) == on565(0xFF000000u | kRoad);
    }
    // The first and one past the last road pixel of a row; {0, 0} for none.
    std::pair<std::int32_t, std::int32_t> roadSpan(std::int32_t y) const {
        std::int32_t first = -1, last = -1;
        for (std::int32_t x = 0; x < kScreenWidth; ++x)
            if (isRoad(x, y)) {
                if (first < 0)
                    first = x;
                last = x;
            }
        return first < 0 ? std::pair{0, 0} : std::pair{first, last + 1};
    }
};

// On a flat straight, row horizon + d sees the road at depth
// focal x eye / d; an edge at lateral e lies at centre + e x d / eye.
// A band of 4 rows shows the edges of its top row, and the slice edges it
// is interpolated between stand up to 3.5 rows off (rounded up to even):
// the tolerance is that many rows of the edge's slope, plus rounding.
TEST_F(RoadBands, AStraightRoadHasItsEdgesWhereThePinholeModelPutsThem) {
    loadTrack({}, {});
    paint();
    const double slope = kHalfWidth / kEyeHeight;
    const double tolerance = (3 + 3.5) * slope + 1.5;
    for (std::int32_t d : {20, 60, 120, 190}) {
        const std::int32_t y = static_cast<std::int32_t>(kHorizon) + d;
        const double left = 320 - kHalfWidth * d / kEyeHeight;
        const double right = 320 + kHalfWidth * d / kEyeHeight;
        const auto [first, end] = roadSpan(y);
        EXPECT_NEAR(first, left, tolerance) << "row " << y;
        EXPECT_NEAR(end, right, tolerance) << "row " << y;
    }
    EXPECT_TRUE(isRoad(320, 470));
    EXPECT_FALSE(isRoad(320, 10)) << "nothing above the horizon";
}

TEST_F(RoadBands, ALeftBendTakesTheFarRoadLeftOfTheCentre) {
    loadTrack({0, 0, 24}, {});
    paint();
    // The farthest rows that show road.
    std::int32_t y = 0;
    while (y < kScreenHeight && roadSpan(y).second == 0)
        ++y;
    ASSERT_LT(y, 250);
    const auto [first, end] = roadSpan(y);
    EXPECT_LT((first + end) / 2, 320);
}

TEST_F(RoadBands, PastACrestNoRoadShowsWhereTheRoadWouldContinue) {
    // Four segments up at angle 40, one steeply down and then flat again,
    // all past the top on the other surface.
    loadTrack({}, {40, 40, 40, 40, -200, 0});
    for (std::int32_t seg = 4; seg < 40; ++seg)
        rt::ByteArray::set(game::trackStatics().s_segmentAttributes, 2 * seg, 1);
    paint();
    // The road beyond lies below the line of sight over the crest: hidden,
    // even where it projects onto the near road.
    const std::vector<std::uint16_t> pixels = screen.pixels();
    EXPECT_EQ(std::ranges::count(pixels, on565(0xFF000000u | kOtherRoad)), 0);
    const double angle = 40 * 2 * std::numbers::pi / 2048;
    const double depth = 4 * 1024 * std::cos(angle);
    const double height = 4 * 1024 * std::sin(angle) - kEyeHeight;
    const double crestY = kHorizon - kFocal * height / depth;
    // A flat road would show up to the horizon; this one stops at the crest.
    for (std::int32_t y = static_cast<std::int32_t>(kHorizon); y < crestY - 4; ++y)
        EXPECT_EQ(roadSpan(y).second, 0) << "row " << y << ", crest at " << crestY;
    EXPECT_GT(roadSpan(static_cast<std::int32_t>(crestY) + 6).second, 0);
}

TEST_F(RoadBands, FlatGroundAttributeFillsItsRowsAcrossTheScreen) {
    loadTrack({}, {});
    rt::ByteArray::set(game::trackStatics().s_segmentAttributes, 2 * 2 + 1, 6);
    testing_support::DrawingLog log;
    paint();
    // Segment 2 lies between depths 2048 and 3072.
    const double nearY = kHorizon + kFocal * kEyeHeight / 2048;
    const double farY = kHorizon + kFocal * kEyeHeight / 3072;
    // The next slice's first band covers the top rows of the fill; the
    // rows just above the near edge stay purple.
    ASSERT_GT(nearY - farY, 8);
    const std::int32_t y = static_cast<std::int32_t>(nearY) - 2;
    for (std::int32_t x = 0; x < kScreenWidth; ++x)
        ASSERT_EQ(screen.at(x, y), on565(0xFF3D2D47u)) << x;
    std::vector<game::DrawRecord> fills = log.outer(DrawCall::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].args[0], -10);
    EXPECT_EQ(fills[0].args[2], 660);
    EXPECT_EQ(fills[0].colour & 0xFFFFFF, 0x3D2D47);
}

TEST_F(RoadBands, EdgeFlagZeroStartsTheRoadOneLaneIn) {
    loadTrack({}, {});
    for (std::int32_t seg = 0; seg < 40; ++seg)
        rt::ByteArray::set(game::trackStatics().s_segmentEdgeFlags, seg, 1);
    paint();
    const double slope = kHalfWidth / kEyeHeight;
    const double tolerance = (3 + 3.5) * slope + 1.5;
    for (std::int32_t d : {60, 120}) {
        const std::int32_t y = static_cast<std::int32_t>(kHorizon) + d;
        const double lane = 2.0 * kHalfWidth / 4 * d / kEyeHeight;
        const auto [first, end] = roadSpan(y);
        EXPECT_NEAR(first, 320 - kHalfWidth * d / kEyeHeight + lane, tolerance) << "row " << y;
        EXPECT_NEAR(end, 320 + kHalfWidth * d / kEyeHeight, tolerance) << "row " << y;
    }
    // Both sides taken off a two-lane road leaves nothing.
    game::trackStatics().s_laneCount = 2;
    for (std::int32_t seg = 0; seg < 40; ++seg)
        rt::ByteArray::set(game::trackStatics().s_segmentEdgeFlags, seg, 3);
    game::setClip(screen.graphics, 0, 0, kScreenWidth, kScreenHeight);
    screen.graphics->setColor(0);
    screen.graphics->fillRect(0, 0, kScreenWidth, kScreenHeight);
    paint();
    EXPECT_EQ(roadSpan(300).second, 0);
}

TEST_F(RoadBands, SlicesTurnedToTheLimitAreNotDrawn) {
    loadTrack({0, 16}, {});
    testing_support::DrawingLog log;
    // Slice i is turned 16 i: from slice 2 on at or past a limit of 32.
    paint(32);
    // Slice 2 begins at depth 2048; nothing is drawn above its near edge.
    const double slice2Y = kHorizon + kFocal * kEyeHeight / 2048;
    ASSERT_FALSE(log.outer().empty());
    for (const game::DrawRecord& r : log.outer())
        if (r.call == DrawCall::DrawImage) {
            EXPECT_GT(r.args[1], slice2Y - 4) << testing_support::DrawingLog::line(r);
        }
}

TEST_F(RoadBands, ASurfaceWithoutImagesIsPaintedAsSurfaceZeroAndLoggedOnce) {
    loadTrack({}, {});
    for (std::int32_t seg = 0; seg < 40; ++seg)
        rt::ByteArray::set(game::trackStatics().s_segmentAttributes, 2 * seg, 9);
    paint();
    paint();
    EXPECT_TRUE(isRoad(320, 470));
    std::int32_t lines = 0;
    for (const std::string& line : log.lines())
        lines += line.find("surface 9 has no road images") != std::string::npos;
    EXPECT_EQ(lines, 1);
}

} // namespace

} // namespace road_bands_test
