// Probes of the verges and walls on datakit rings: where each part lands
// and its colour come from the test's own double-precision model of the
// straight road and its camera.

#include "game/racepaint/VergesAndWalls.h"

#include "tests/game/racepaint/RoadsideTrackFixture.h"

#include <gtest/gtest.h>

#include <cmath>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace verges_and_walls_test {

namespace {

using datakit::wallByte;
using roadside_testing::kCapColour;
using roadside_testing::kEyeHeight;
using roadside_testing::kHalfWidth;
using roadside_testing::kVergeEven;
using roadside_testing::kVergeOdd;
using roadside_testing::RoadsideTrackTest;
using sprite_testing::on565;
namespace wall_bits = datakit::wall_bits;

constexpr std::int32_t kSegments = 24;
constexpr std::int16_t kWallHeight = 300;
// The road's centre lies this far right of the camera, which puts the left
// wall's outer edge 800 units right of it: the wall's face is in view.
constexpr std::int32_t kCentre = 1500;
constexpr std::uint32_t kWallEven = 0xC02020;
constexpr std::uint32_t kWallOdd = 0x2020C0;

std::uint16_t rgb565(std::uint32_t rgb) {
    return on565(0xFF000000u | rgb);
}

// Channel by channel within one RGB565 step.
bool near565(std::uint16_t got, std::uint16_t want) {
    auto channel = [](std::uint16_t c, int shift, int mask) { return (c >> shift) & mask; };
    return std::abs(channel(got, 11, 31) - channel(want, 11, 31)) <= 1 &&
           std::abs(channel(got, 5, 63) - channel(want, 5, 63)) <= 1 &&
           std::abs(channel(got, 0, 31) - channel(want, 0, 31)) <= 1;
}

struct VergesTest : RoadsideTrackTest {
    VergesTest() { roadside_testing::installCosTable(); }

    // A ring whose every segment carries a wall of kind 0, with the kinds
    // given (kind 0 first).
    void loadWalls(std::vector<datakit::WallKind> kinds, std::vector<std::int8_t> walls = {},
                   std::optional<std::vector<std::int8_t>> banks = {}) {
        datakit::TrackRoadside roadside;
        roadside.wallKinds = std::move(kinds);
        roadside.walls = walls.empty() ? std::vector<std::int8_t>(kSegments, wallByte(0)) : std::move(walls);
        roadside.banks = std::move(banks);
        load(plainRing(kSegments), roadside);
        straightView(kCentre);
    }

    // The model's screen places of slice k's edges.
    static double nearY(std::int32_t k) { return screenY(-kEyeHeight, depthOf(k)); }
    static double roadLeft(std::int32_t k) { return screenX(kCentre - kHalfWidth, depthOf(k)); }
    static double roadRight(std::int32_t k) { return screenX(kCentre + kHalfWidth, depthOf(k)); }
    static double leftOuter(std::int32_t k) {
        return screenX(kCentre - kHalfWidth - kWallHeight, depthOf(k));
    }

    std::uint16_t at(double x, double y) const {
        return screen.at(static_cast<std::int32_t>(std::lround(x)),
                         static_cast<std::int32_t>(std::lround(y)));
    }
    // Below the outer edge between slice k's near and far ends: the face.
    std::uint16_t faceOf(std::int32_t k) const {
        return at((leftOuter(k) + leftOuter(k + 1)) / 2, nearY(k) + 3);
    }
    // Between the outer edge and the road: the band.
    std::uint16_t bandOf(std::int32_t k) const {
        return at((leftOuter(k) + roadLeft(k)) / 2, (nearY(k) + nearY(k + 1)) / 2);
    }
};

TEST_F(VergesTest, ALeftWallShowsItsFaceByParityItsBandAndTheBackdropBeyond) {
    loadWalls({{wall_bits::kLeft, kWallHeight, kWallEven, kWallOdd}});
    game::paintVergesAndWalls();
    for (std::int32_t k : {1, 2, 3}) {
        const bool odd = (k & 1) != 0;
        EXPECT_EQ(faceOf(k), rgb565(odd ? kWallOdd : kWallEven)) << k;
        EXPECT_EQ(bandOf(k), rgb565(odd ? kVergeOdd : kVergeEven)) << k;
    }
    // Beyond the outer edge of the farthest slice, and above the far end.
    EXPECT_EQ(at(leftOuter(15) - 3, 400), 0);
    EXPECT_EQ(at(leftOuter(15) - 3, nearY(15) + 2), 0);
    EXPECT_EQ(at(roadLeft(8) + 20, nearY(15) - 3), 0);
    // The right side has no wall: flat verges from the road's right edge on.
    EXPECT_EQ(at(roadRight(3) + 12, (nearY(3) + nearY(4)) / 2), rgb565(kVergeOdd));
}

TEST_F(VergesTest, ARightBankRaisesTheGroundAtTheViewsRightEdge) {
    // tan(11.25 degrees) of the 64-unit bank; the top of the slope at the
    // right edge is the highest point the model's slices give.
    const double tangent = std::tan(64 * 2 * std::numbers::pi / 2048);
    double top = 480;
    for (std::int32_t k = 0; k <= 15; ++k)
        if (roadRight(k) < 640)
            top = std::min(top, nearY(k) - tangent * (640 - roadRight(k) + 8));
    ASSERT_LT(top + 4, nearY(15));
    struct Case {
        bool banked;
        bool raised;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        std::optional<std::vector<std::int8_t>> banks;
        if (c.banked)
            banks = std::vector<std::int8_t>(kSegments, datakit::bankByte(64, false));
        clearScreen();
        loadWalls({{wall_bits::kLeft, kWallHeight, kWallEven, kWallOdd}}, {}, banks);
        game::paintVergesAndWalls();
        const std::uint16_t slope = at(636, top + 4);
        EXPECT_EQ(slope == rgb565(kVergeEven) || slope == rgb565(kVergeOdd), c.raised) << slope;
        EXPECT_EQ(at(636, top - 4), 0);
    }
}

// With the fog from 4096 to 15360, depth 9728 is half way: weight 128.
TEST_F(VergesTest, FogBlendsHalfWayAtDepth9728AndSparesMagentaWalls) {
    loadWalls({{wall_bits::kLeft, kWallHeight, 0xFF00FF, 0xFF00FF}});
    game::RoadsideViewStatics& v = game::roadsideView();
    ASSERT_EQ(depthOf(9), 9728);
    v.s_fogStart = 4096;
    v.s_fogColour = 0x0000FF;
    v.s_wallFogColour = 0x00FF00;
    // Slice 2 is placed at depth 15000 for the fog alone.
    v.s_sliceDepth[2] = 15000;
    game::paintVergesAndWalls();
    auto half = [](std::uint32_t a, std::uint32_t b) {
        std::uint32_t out = 0;
        for (int shift : {0, 8, 16})
            out |=
                static_cast<std::uint32_t>(std::lround((((a >> shift) & 255) + ((b >> shift) & 255)) / 2.0))
                << shift;
        return out;
    };
    // Slice 9 is one row high: the row of its far edge.
    const std::uint16_t verge = at(roadRight(9) + 20, std::floor(nearY(10)));
    EXPECT_TRUE(near565(verge, rgb565(half(kVergeOdd, 0x0000FF)))) << std::hex << verge;
    EXPECT_EQ(faceOf(2), rgb565(0xFF00FF));
    EXPECT_TRUE(near565(bandOf(2), rgb565(0x0000FF)));
}

TEST_F(VergesTest, AnInvisibleWallLeavesItsSideUnpainted) {
    loadWalls({{wall_bits::kLeft, kWallHeight, 0x123456, kWallOdd}});
    game::paintVergesAndWalls();
    EXPECT_EQ(faceOf(2), 0);
    EXPECT_EQ(bandOf(2), 0);
    EXPECT_EQ(faceOf(1), rgb565(kWallOdd));
    EXPECT_EQ(bandOf(1), rgb565(kVergeOdd));
}

TEST_F(VergesTest, CapsWhereTheWallEnds) {
    struct Case {
        const char* name;
        std::int8_t nextWall;
        bool leftCap, rightCap;
    };
    // Segments 2 on carry walls on both sides but segment 4, which carries:
    const Case cases[] = {
        {"no wall", 0, true, true},
        {"a right wall", wallByte(1), true, false},
        {"a wall on neither side", wallByte(2), true, false},
        {"a wall on both sides", wallByte(0), false, false},
    };
    for (const Case& c : cases) {
        std::vector<std::int8_t> walls(kSegments, wallByte(0));
        walls[0] = walls[1] = 0;
        walls[4] = c.nextWall;
        clearScreen();
        loadWalls({{wall_bits::kLeft | wall_bits::kRight, kWallHeight, kWallEven, kWallOdd},
                   {wall_bits::kRight, kWallHeight, kWallEven, kWallOdd},
                   {0, kWallHeight, kWallEven, kWallOdd}},
                  walls);
        game::paintVergesAndWalls();
        // Below slice 3 the caps reach down to the ground of the nearer
        // slices without walls; slice 2 shows them at the screen's sides.
        EXPECT_EQ(at(2, nearY(3) + 3) == rgb565(kCapColour), c.leftCap) << c.name;
        EXPECT_EQ(at(637, nearY(3) + 3) == rgb565(kCapColour), c.rightCap) << c.name;
    }
}

TEST_F(VergesTest, BottomColoursComeFromBanksOnly) {
    ASSERT_GE(nearY(0), 480);
    for (bool banked : {false, true}) {
        std::optional<std::vector<std::int8_t>> banks;
        if (banked)
            banks = std::vector<std::int8_t>(kSegments, datakit::bankByte(64, true));
        loadWalls({{wall_bits::kLeft, kWallHeight, kWallEven, kWallOdd}}, {}, banks);
        game::paintVergesAndWalls();
        const std::int32_t want = banked ? static_cast<std::int32_t>(0xFF000000u | kVergeEven) : 0xFF00FF;
        EXPECT_EQ(game::roadsideView().s_bottomLeftColour, want) << banked;
        EXPECT_EQ(game::roadsideView().s_bottomRightColour, want) << banked;
    }
}

TEST_F(VergesTest, AWallOfAnUnknownKindIsGroundInstead) {
    std::vector<std::int8_t> walls(kSegments, wallByte(0));
    walls[2] = wallByte(9);
    loadWalls({{wall_bits::kLeft, kWallHeight, kWallEven, kWallOdd}}, walls);
    log.clear();
    game::paintVergesAndWalls();
    // Slice 2's left side is flat ground up to the road.
    EXPECT_EQ(at(roadLeft(2) - 20, (nearY(2) + nearY(3)) / 2), rgb565(kVergeEven));
    EXPECT_EQ(bandOf(1), rgb565(kVergeOdd));
    EXPECT_TRUE(log.lines().empty());
}

} // namespace

} // namespace verges_and_walls_test
