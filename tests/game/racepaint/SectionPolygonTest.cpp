#include "game/racepaint/SectionPolygon.h"

#include "game/racepaint/RoadsideView.h"
#include "tests/game/racepaint/RoadsideFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using game::CameraCorner;
using roadside_testing::RoadsideTest;
using sprite_testing::on565;

struct Point {
    double x;
    double y;
};

// The triangle's part at depth 10 or more, projected without rounding.
std::vector<Point> exactClippedProjection(const std::array<CameraCorner, 3>& corners) {
    struct P3 {
        double x, y, z;
    };
    std::vector<P3> in;
    for (const CameraCorner& c : corners)
        in.push_back({double(c.x), double(c.y), double(c.z)});
    std::vector<P3> kept;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const P3& a = in[i];
        const P3& b = in[(i + 1) % in.size()];
        if (a.z >= 10)
            kept.push_back(a);
        if ((a.z >= 10) != (b.z >= 10)) {
            double t = (10 - a.z) / (b.z - a.z);
            kept.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, 10});
        }
    }
    std::vector<Point> out;
    for (const P3& p : kept)
        out.push_back({320 + 200 * p.x / p.z, 240 - 200 * p.y / p.z});
    return out;
}

// Signed distance of `p` from the convex polygon's boundary: negative inside.
double signedDistance(const std::vector<Point>& polygon, Point p) {
    double area = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        area += a.x * b.y - b.x * a.y;
    }
    double orientation = area < 0 ? -1 : 1;
    double outside = -1e18;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length == 0)
            continue;
        double cross = ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) * orientation;
        outside = std::max(outside, -cross / length);
    }
    return outside;
}

CameraCorner randomCorner(std::mt19937& random, bool behind) {
    std::uniform_int_distribution<std::int32_t> lateral(-150, 150);
    std::uniform_int_distribution<std::int32_t> front(10, 600);
    std::uniform_int_distribution<std::int32_t> back(-300, 9);
    return {lateral(random), behind ? back(random) : front(random), lateral(random)};
}

double area(const std::vector<Point>& polygon) {
    double twice = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::abs(twice) / 2;
}

// Random triangles with 0, 1 and 2 corners behind the near plane: the screen
// triangles have their corners within 1 px of the exact clipped projection
// and together cover its area; on the screen, every pixel centre deeper
// than 2 px inside it is filled and none further than 2 px outside (a
// corner truncated toward zero moves by up to 1 px on each axis, and the fill
// rule adds half a pixel).
TEST_F(RoadsideTest, PolygonCoversItsExactClippedProjection) {
    std::mt19937 random(36);
    for (std::int32_t behind = 0; behind <= 2; ++behind) {
        for (std::int32_t round = 0; round < 60; ++round) {
            std::array<CameraCorner, 3> corners{};
            std::vector<std::size_t> order{0, 1, 2};
            std::shuffle(order.begin(), order.end(), random);
            for (std::size_t i = 0; i < 3; ++i)
                corners[order[i]] = randomCorner(random, static_cast<std::int32_t>(i) < behind);
            const std::vector<Point> exact = exactClippedProjection(corners);
            const game::ScreenTriangles triangles = game::clipToNearPlane(corners);
            ASSERT_EQ(triangles.count, behind == 1 ? 2 : 1);
            double covered = 0;
            for (std::int32_t k = 0; k < triangles.count; ++k) {
                const auto& t = triangles.corners[static_cast<std::size_t>(k)];
                std::vector<Point> screenTriangle{
                    {double(t[0]), double(t[1])}, {double(t[2]), double(t[3])}, {double(t[4]), double(t[5])}};
                covered += area(screenTriangle);
                for (const Point& p : screenTriangle) {
                    double nearest = 1e18;
                    for (const Point& e : exact)
                        nearest = std::min(nearest, std::max(std::abs(e.x - p.x), std::abs(e.y - p.y)));
                    EXPECT_LE(nearest, 1.01) << "behind " << behind << " round " << round;
                }
            }
            const double perimeter = 4 * (640 + 480) + 2 * std::sqrt(area(exact));
            EXPECT_NEAR(covered, area(exact), perimeter) << "behind " << behind << " round " << round;

            screen.graphics->setColor(0);
            screen.graphics->fillRect(0, 0, 640, 480);
            game::clipAndFillPolygon(corners[0].x, corners[0].z, corners[0].y, corners[1].x, corners[1].z,
                                     corners[1].y, corners[2].x, corners[2].z, corners[2].y, 0, 0xFFFFFF, 0,
                                     1, 0, 0, 0);
            if (std::ranges::any_of(exact,
                                    [](Point p) { return p.x < 0 || p.x > 640 || p.y < 0 || p.y > 480; }))
                continue; // The screen clipper rounds moved corners toward zero: a quad's two
                          // halves can leave a crack a pixel wide between them there.
            constexpr double kSlack = 2.0;
            std::int32_t wrong = 0;
            for (std::int32_t y = 0; y < 480; ++y)
                for (std::int32_t x = 0; x < 640; ++x) {
                    const double d = signedDistance(exact, {x + 0.5, y + 0.5});
                    const bool drawn = screen.at(x, y) == on565(0xFFFFFFFFu);
                    if ((drawn && d > kSlack) || (!drawn && d < -kSlack))
                        ++wrong;
                }
            EXPECT_EQ(wrong, 0) << "behind " << behind << " round " << round;
        }
    }
}

TEST_F(RoadsideTest, PolygonsWhollyTooNearOrTooFarAreCulled) {
    struct Case {
        std::int32_t z;
        std::int32_t flags;
        bool culled;
    };
    const Case cases[] = {
        {9, 0, true},     {10, 0, false},        {11, 0, false},       {15360, 0, false},
        {15361, 0, true}, {11520, 0x100, false}, {11521, 0x100, true}, {11521, 0, false},
    };
    for (const Case& c : cases) {
        const std::array<CameraCorner, 3> corners{CameraCorner{-10, c.z, 0}, CameraCorner{10, c.z, 0},
                                                  CameraCorner{0, c.z, 10}};
        EXPECT_EQ(game::isPolygonCulled(corners, c.flags), c.culled) << c.z << " " << c.flags;
    }
    // One corner in range keeps the whole polygon.
    EXPECT_FALSE(
        game::isPolygonCulled({CameraCorner{0, 9, 0}, CameraCorner{0, 9, 0}, CameraCorner{0, 11, 0}}, 0));
    // Drawn at depth 10, nothing at depth 9.
    game::clipAndFillPolygon(-5, 10, -5, 5, 10, -5, 0, 10, 5, 0, 0xFF0000, 0, 1, 0, 0, 0);
    EXPECT_EQ(screen.at(320, 240), on565(0xFFFF0000u));
    screen.graphics->setColor(0);
    screen.graphics->fillRect(0, 0, 640, 480);
    game::clipAndFillPolygon(-5, 9, -5, 5, 9, -5, 0, 9, 5, 0, 0xFF0000, 0, 1, 0, 0, 0);
    EXPECT_EQ(screen.bounds(), (std::vector<std::int32_t>{0, 0, 0, 0}));
}

TEST_F(RoadsideTest, WideEdgesThroughTheNearPlaneStayExact) {
    // Lateral differences whose shifted value needs more than 32 bits.
    const std::array<CameraCorner, 3> corners{CameraCorner{-1000000, -5, -200},
                                              CameraCorner{1000000, -5, -200}, CameraCorner{0, 400, 300}};
    const std::vector<Point> exact = exactClippedProjection(corners);
    const game::ScreenTriangles triangles = game::clipToNearPlane(corners);
    ASSERT_EQ(triangles.count, 1);
    for (std::size_t i = 0; i < 3; ++i) {
        const Point corner{double(triangles.corners[0][2 * i]), double(triangles.corners[0][2 * i + 1])};
        EXPECT_TRUE(std::ranges::any_of(
            exact,
            [&](Point e) { return std::abs(e.x - corner.x) <= 1.01 && std::abs(e.y - corner.y) <= 1.01; }))
            << corner.x << "," << corner.y;
    }
    game::clipAndFillPolygon(corners[0].x, corners[0].z, corners[0].y, corners[1].x, corners[1].z,
                             corners[1].y, corners[2].x, corners[2].z, corners[2].y, 0, 0xFFFFFF, 0, 1, 0, 0,
                             0);
    for (Point p : {Point{5, 470}, Point{635, 470}, Point{320, 300}})
        EXPECT_EQ(screen.at(std::int32_t(p.x), std::int32_t(p.y)) == on565(0xFFFFFFFFu),
                  signedDistance(exact, p) < 0)
            << p.x << "," << p.y;
}

TEST_F(RoadsideTest, FogFadesByTheFirstCornerIntoItsColour) {
    game::RoadsideViewStatics& view = game::roadsideView();
    view.s_fogStart = 4096;
    view.s_wallFogColour = 0x0000FF;
    view.s_fogColour = 0x00FF00;
    struct Case {
        std::int32_t fogStart, zA, meanX, flags, weather;
        std::int32_t colour;
    };
    const Case cases[] = {
        {4096, 4096, 0, 0, 0, 0xFF0000},             // at the start: unfaded
        {4096, 9728, 0, 0, 0, int(0xFF7F007Fu)},     // weight 128 into the walls' fog
        {4096, 9728, 0, 0x200, 0, int(0xFF7F7F00u)}, // the ground's fog
        {4096, 9728, 60, 0, 1, int(0xFFFF7F7Fu)},    // weather 1 beyond the spread: white
        {4096, 9728, 52, 0, 1, int(0xFF7F007Fu)},    // inside it
        {4096, 9728, 60, 0, 0, int(0xFF7F007Fu)},    // other weather: never white
        {15360, 20000, 0, 0, 0, 0xFF0000},           // fog starting at its end: none
    };
    for (const Case& c : cases) {
        view.s_fogStart = c.fogStart;
        view.s_weatherMode = c.weather;
        EXPECT_EQ(game::fogPolygonColour(0xFF0000, c.zA, c.meanX, c.flags), c.colour)
            << c.zA << " " << c.flags;
    }
}

TEST_F(RoadsideTest, TexturedQuadsFacingAwayShowOnlyMirrored) {
    using game::section_draw_flags::kMirrored;
    // A right of B seen from in front: its back.
    const std::array<CameraCorner, 3> back{CameraCorner{50, 100, 0}, CameraCorner{-50, 100, 0},
                                           CameraCorner{-50, 100, 40}};
    EXPECT_FALSE(game::placeTexturedQuad(back, 40, 0).drawn);
    game::TexturedQuad mirrored = game::placeTexturedQuad(back, 40, kMirrored);
    ASSERT_TRUE(mirrored.drawn);
    EXPECT_LT(mirrored.xA, mirrored.xB);
    // B at the depth A is held at (0 / 0) keeps its x instead of dividing.
    const std::array<CameraCorner, 3> level{CameraCorner{-50, 5, 0}, CameraCorner{50, 10, 0},
                                            CameraCorner{50, 5, 40}};
    game::TexturedQuad held = game::placeTexturedQuad(level, 40, 0);
    ASSERT_TRUE(held.drawn);
    EXPECT_EQ(held.xB, 320 + 200 * 50 / 10);
    // B behind with C in front: nothing.
    EXPECT_FALSE(game::placeTexturedQuad(
                     {CameraCorner{0, 20, 0}, CameraCorner{10, 5, 0}, CameraCorner{10, 20, 4}}, 4, 0)
                     .drawn);
}

} // namespace
