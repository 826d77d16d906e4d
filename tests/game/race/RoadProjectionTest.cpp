// The road projection against a double-precision pinhole model of the same
// track and camera: straight, bending and cresting roads, the near-plane
// cut, the narrowest and widest roads, the segment wrap, and the drawing
// scale of a point on a slice.

#include "game/race/RoadProjection.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/race/TrackData.h"
#include "tests/game/framework/FrameworkFixture.h"
#include "tests/support/CosTable.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kUnitsToRadians = 2 * std::numbers::pi / 2048;

struct Track {
    std::vector<std::int32_t> curve, slope; // per segment, angle units
    std::int32_t halfWidth = 600;
};

struct RoadProjection : framework_testing::FrameworkTest {
    game::RoadCamera camera{.focal = 200, .horizonY = 240, .centerX = 320};

    RoadProjection() {
        game::OrvelLibConfig::staticInit();
        testing_support::installCosTable();
    }

    static rt::IntArray* ints(const std::vector<std::int32_t>& values) {
        rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
        for (std::size_t i = 0; i < values.size(); ++i)
            rt::IntArray::set(array, static_cast<std::int32_t>(i), values[i]);
        return array;
    }
    static void load(const Track& track) {
        game::TrackStatics& t = game::trackStatics();
        t.s_segmentCount = static_cast<std::int32_t>(track.curve.size());
        t.s_segmentCurve = ints(track.curve);
        t.s_segmentHeight = ints(track.slope);
        t.s_roadHalfWidth = track.halfWidth;
    }

    struct Edge {
        double left, y, width;
        bool visible;
    };
    // The model: the road centre walked segment by segment in doubles from
    // (x, z, y) relative to the eye, each near edge cut onto depth 200 when
    // it lies nearer and the far edge does not, then projected.
    std::vector<Edge> model(const Track& track, std::int32_t segment, double heading, double x, double z,
                            double y) const {
        const auto count = static_cast<std::int32_t>(track.curve.size());
        std::vector<Edge> edges;
        double angle = heading;
        std::int32_t seg = segment;
        for (int i = 0; i <= 15; ++i) {
            const double slope = track.slope[seg] * kUnitsToRadians;
            const double nx = x - std::sin(angle * kUnitsToRadians) * 1024;
            const double nz = z + std::cos(slope) * 1024;
            const double ny = y + std::sin(slope) * 1024;
            double ex = x, ez = z, ey = y;
            bool visible = i == 15 ? z >= 200 : nz >= 200;
            if (i < 15 && visible && z < 200) {
                ex = x + (nx - x) * (200 - z) / (nz - z);
                ey = y + (ny - y) * (200 - z) / (nz - z);
                ez = 200;
            }
            const double scale = camera.focal / ez;
            edges.push_back({camera.centerX + (ex - track.halfWidth) * scale, camera.horizonY - ey * scale,
                             2 * track.halfWidth * scale, visible});
            x = nx, z = nz, y = ny;
            seg = (seg + 1) % count;
            angle += track.curve[seg];
        }
        return edges;
    }

    // Every slice against the model: x and width within the rounding of a
    // projection (half a pixel) and the model's difference from the cosine
    // table; y rounded, then 3 added and made even: 1.5 to 3.5 below the
    // exact row.
    void expectModel(const Track& track, std::int32_t segment, std::int32_t heading, std::int32_t x,
                     std::int32_t z, std::int32_t y) {
        load(track);
        game::projectRoad(camera, segment, heading, x, z, y);
        const game::RoadSliceStatics& s = game::roadSliceStatics();
        const std::vector<Edge> edges = model(track, segment, heading, x, z, y);
        for (int i = 0; i <= 15; ++i) {
            const Edge& e = edges[i];
            ASSERT_EQ(s.s_sliceScreenWidth[i] != 0, e.visible) << "slice " << i;
            if (!e.visible || e.width < 26 || e.width > 3599)
                continue;
            EXPECT_NEAR(s.s_sliceScreenX[i], e.left, 0.8) << "slice " << i;
            EXPECT_NEAR(s.s_sliceScreenWidth[i], e.width, 0.8) << "slice " << i;
            EXPECT_EQ(s.s_sliceScreenY[i] % 2, 0) << "slice " << i;
            EXPECT_NEAR(s.s_sliceScreenY[i] - e.y, 2.5, 1.3) << "slice " << i;
        }
    }
};

TEST_F(RoadProjection, SlicesMatchThePinholeModel) {
    const std::vector<std::int32_t> flat(20, 0);
    std::vector<std::int32_t> left(20, 10), crest(20, 0);
    for (int i = 0; i < 20; ++i)
        crest[i] = i < 5 ? 24 : -40;
    struct Case {
        const char* name;
        Track track;
        std::int32_t segment, heading, x, z, y;
    };
    const Case cases[] = {
        {"straight", {flat, flat}, 0, 0, 0, 0, -329},
        {"straight, camera off the centre", {flat, flat}, 0, 0, 300, -100, -329},
        {"left bend", {left, flat}, 0, 0, 0, 0, -329}, // a curve above 0 turns left
        {"turned camera on a bend", {left, flat}, 3, 40, -200, -500, -329},
        {"crest", {flat, crest}, 0, 0, 0, 0, -329},
        {"near edge behind the camera", {flat, flat}, 0, 0, 0, -300, -329},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectModel(c.track, c.segment, c.heading, c.x, c.z, c.y);
    }
}

TEST_F(RoadProjection, ALeftBendTakesTheFarRoadLeftAndACrestHidesTheRoadBehindIt) {
    load({std::vector<std::int32_t>(20, 10), std::vector<std::int32_t>(20, 0)});
    game::projectRoad(camera, 0, 0, 0, 0, -329);
    const game::RoadSliceStatics& s = game::roadSliceStatics();
    EXPECT_LT(s.s_sliceScreenX[14] + s.s_sliceScreenWidth[14] / 2, 320);

    std::vector<std::int32_t> crest(20, 0);
    for (int i = 0; i < 20; ++i)
        crest[i] = i < 4 ? 20 : -60;
    load({std::vector<std::int32_t>(20, 0), crest});
    game::projectRoad(camera, 0, 0, 0, 0, -329);
    // Past the top the near edges climb no more: some slice's near edge
    // lies above its far edge, which the painter takes as the crest.
    bool hidden = false;
    for (int i = 1; i < 14; ++i)
        hidden |= s.s_sliceScreenWidth[i] != 0 && s.s_sliceScreenY[i] < s.s_sliceScreenY[i + 1];
    EXPECT_TRUE(hidden);
}

TEST_F(RoadProjection, RoadWidthIsHeldBetweenItsLimitsAroundTheTrueRoad) {
    const std::vector<std::int32_t> flat(20, 0);
    // A road 4 wide is 25 pixels on the screen, centred on the true road.
    load({flat, flat, 2});
    game::projectRoad(camera, 0, 0, 0, 0, -329);
    const game::RoadSliceStatics& s = game::roadSliceStatics();
    for (int i = 0; i <= 15; ++i) {
        EXPECT_EQ(s.s_sliceScreenWidth[i], 25) << i;
        EXPECT_NEAR(s.s_sliceScreenX[i] + 12.5, 320, 1.5) << i;
    }
    // A very wide one is cut to 3600, centred on the true road with the
    // camera on the centre line, and moved by the camera's share off it.
    for (std::int32_t lateral : {0, 4000}) {
        camera.lateral = lateral;
        load({flat, flat, 8000});
        game::projectRoad(camera, 0, 0, -lateral, 0, -329);
        const double trueWidth = 16000.0 * 200 / 200;
        const double trueLeft = 320 + (-lateral - 8000.0) * 200 / 200;
        EXPECT_EQ(s.s_sliceScreenWidth[0], 3600);
        EXPECT_NEAR(s.s_sliceScreenX[0],
                    trueLeft + (trueWidth - 3600) / 2 + lateral * (trueWidth - 3600) / 16000, 1.5);
        EXPECT_GT(s.s_sliceScreenWidth[15], 0);
    }
}

TEST_F(RoadProjection, SegmentsWrapAndThePointScaleFollowsTheCameraDistance) {
    load({std::vector<std::int32_t>(10, 0), std::vector<std::int32_t>(10, 0)});
    game::projectRoad(camera, 8, 0, 0, 0, -329);
    const game::RoadSliceStatics& s = game::roadSliceStatics();
    EXPECT_EQ((std::vector<std::int32_t>(s.s_sliceSegment, s.s_sliceSegment + 5)),
              (std::vector<std::int32_t>{8, 9, 0, 1, 2}));

    game::RoadSliceStatics& w = game::roadSliceStatics();
    struct Case {
        std::int32_t depth, scale;
    };
    const Case cases[] = {{450, 4096}, {470, 4096}, {490, 4096}, {940, 2048},
                          {226, 8155}, {0, -1},     {-20, -1}};
    for (const Case& c : cases) {
        w.s_sliceDepth[3] = c.depth;
        w.s_sliceStepDepth[3] = 0;
        const game::SlicePoint p = game::getRoadSliceX(camera, 3, 0, 0, 0);
        EXPECT_EQ(p.visible, c.scale >= 0) << c.depth;
        if (p.visible) {
            EXPECT_EQ(p.scale, c.scale) << c.depth;
        }
    }
}

} // namespace
