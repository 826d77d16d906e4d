// The track plane against a double-precision model of the same arcs built
// in world coordinates: track points, moves at an angle, points carried
// back over the ring, the length scale of a bend, and the road projection's
// slice angles.

#include "game/race/TrackGeometry.h"
#include "game/race/RaceState.h"
#include "tests/game/race/DrivingFixture.h"

#include <cmath>
#include <numbers>
#include <random>

namespace {

using race_testing::DrivingTest;

constexpr double kPi = std::numbers::pi;

double radians(std::int32_t units) {
    return units * kPi / 1024;
}

// The ring unrolled over three laps in world coordinates (x right, z ahead
// at the start, angles counter-clockwise): the start point and start
// direction of every segment.
struct WorldRing {
    struct Vec {
        double x = 0, z = 0;
    };
    std::vector<Vec> start;
    std::vector<double> dir;
    std::vector<double> theta;
    int count = 0;

    static Vec forward(double a) { return {-std::sin(a), std::cos(a)}; }
    static Vec right(double a) { return {std::cos(a), std::sin(a)}; }

    WorldRing() {
        count = game::trackStatics().s_segmentCount;
        Vec s;
        double a = 0;
        for (int k = 0; k < 3 * count; ++k) {
            start.push_back(s);
            dir.push_back(a);
            theta.push_back(radians(game::segmentCurveAt(k)));
            s = point(k, 0, 1024);
            a += theta.back();
        }
    }
    double line(int k) const { return dir[k] + theta[k]; }
    Vec point(int k, double lateral, double position) const {
        double t = theta[k];
        if (t == 0)
            return {start[k].x + position * forward(dir[k]).x + lateral * right(dir[k]).x,
                    start[k].z + position * forward(dir[k]).z + lateral * right(dir[k]).z};
        double r = 1024 / t;
        Vec c{start[k].x - r * right(dir[k]).x, start[k].z - r * right(dir[k]).z};
        Vec u = right(dir[k] + t * position / 1024);
        return {c.x + (r + lateral) * u.x, c.z + (r + lateral) * u.z};
    }
    // Lateral and position of world point g against segment k.
    Vec local(int k, Vec g) const {
        double t = theta[k];
        Vec f = forward(dir[k]), rt = right(dir[k]);
        if (t == 0) {
            Vec v{g.x - start[k].x, g.z - start[k].z};
            return {v.x * rt.x + v.z * rt.z, v.x * f.x + v.z * f.z};
        }
        double r = 1024 / t, sign = r > 0 ? 1 : -1;
        Vec c{start[k].x - r * rt.x, start[k].z - r * rt.z};
        Vec v{g.x - c.x, g.z - c.z};
        double phi = std::atan2(sign * (v.x * f.x + v.z * f.z), sign * (v.x * rt.x + v.z * rt.z));
        return {sign * std::hypot(v.x, v.z) - r, phi * r};
    }
    // The unrolled segment holding g, searched from k.
    int find(int k, Vec g) const {
        for (int steps = 0; steps < count; ++steps) {
            double p = local(k, g).z;
            if (p >= 1024)
                ++k;
            else if (p < 0)
                --k;
            else
                break;
        }
        return k;
    }
    // World point g in the frame of segment k.
    Vec inFrame(int k, Vec g) const {
        Vec v{g.x - start[k].x, g.z - start[k].z};
        Vec f = forward(line(k)), rt = right(line(k));
        return {v.x * rt.x + v.z * rt.z, v.x * f.x + v.z * f.z};
    }
    Vec fromFrame(int k, double x, double z) const {
        Vec f = forward(line(k)), rt = right(line(k));
        return {start[k].x + x * rt.x + z * f.x, start[k].z + x * rt.z + z * f.z};
    }
};

// Bends both ways of several sharpnesses, straights between them.
datakit::TrackRing mixedRing() {
    datakit::TrackRing ring;
    ring.straight(3).right(90, 6).straight(2).left(45, 3).left(30, 5).straight(1).right(20, 1).left(120, 8);
    ring.straight(2).right(60, 2).straight(1);
    return ring;
}

struct TrackGeometryTest : DrivingTest {
    TrackGeometryTest() {
        // Walls far out, so moves inside the road are never held.
        loadRing(mixedRing(), 1000, 20000);
    }
};

TEST_F(TrackGeometryTest, MovesAtAnAngleLandWhereTheArcsSay) {
    WorldRing world;
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < 400; ++i) {
        int seg = pick(0, world.count - 1);
        int lateral = pick(-900, 900), pos = pick(0, 1023), distance = pick(0, 3000), angle = pick(-400, 400);
        if (i % 4 == 0)
            angle += 1024; // backwards
        game::TrackPoint got = game::projectAndTestSegment(seg, lateral, pos, distance, angle);

        int k = seg + world.count;
        WorldRing::Vec from = world.point(k, lateral, pos);
        double a = world.line(k) - radians(angle);
        WorldRing::Vec to{from.x + distance * WorldRing::forward(a).x,
                          from.z + distance * WorldRing::forward(a).z};
        int landed = world.find(k, to);
        WorldRing::Vec want = world.local(landed, to);
        if (std::abs(want.x) > 1500)
            continue; // folded over a sharp bend's centre: off any road
        SCOPED_TRACE(testing::Message() << "from " << seg << "/" << lateral << "/" << pos << " d " << distance
                                        << " a " << angle);
        const double tolerance = 2 + std::abs(landed - k) + 1;
        int wantSeg = landed % world.count;
        double wantPos = want.z;
        // A point on a segment border may round to either side of it.
        if (got.segment != wantSeg) {
            ASSERT_TRUE(got.segment == (wantSeg + 1) % world.count ||
                        (got.segment + 1) % world.count == wantSeg);
            wantPos = got.segment == (wantSeg + 1) % world.count ? wantPos - 1024 : wantPos + 1024;
        }
        EXPECT_NEAR(got.lateral, want.x, tolerance);
        EXPECT_NEAR(got.position, wantPos, tolerance);
        EXPECT_FALSE(got.wall);
    }
}

TEST_F(TrackGeometryTest, PointsCarriedBackLandWhereTheArcsSay) {
    WorldRing world;
    std::mt19937 rng(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < 300; ++i) {
        int to = pick(0, world.count - 1), back = pick(0, 8);
        int from = (to + back) % world.count;
        int x = pick(-1200, 1200), z = pick(-500, 1500);
        game::traceTrackOffset(x, z, from, to);
        int kFrom = to + back + world.count, kTo = to + world.count;
        WorldRing::Vec want = world.inFrame(kTo, world.fromFrame(kFrom, x, z));
        SCOPED_TRACE(testing::Message() << "from " << from << " to " << to << " (" << x << ", " << z << ")");
        EXPECT_NEAR(game::trackGeometryStatics().s_traceX, want.x, 2 + back);
        EXPECT_NEAR(game::trackGeometryStatics().s_traceZ, want.z, 2 + back);
    }
}

TEST_F(TrackGeometryTest, StraightSegmentsOnlyAddTheirLength) {
    datakit::TrackRing ring;
    ring.straight(6);
    loadRing(ring);
    struct Case {
        int x, z, from, to;
        int wantX, wantZ;
    };
    const Case cases[] = {{0, 0, 3, 3, 0, 0},
                          {-250, 100, 4, 1, -250, 100 + 3 * 1024},
                          {700, 1023, 1, 0, 700, 2047},
                          {5, 5, 0, 5, 5, 5 + 1024}}; // wraps: 0 back to 5
    for (const Case& c : cases) {
        game::traceTrackOffset(c.x, c.z, c.from, c.to);
        EXPECT_EQ(game::trackGeometryStatics().s_traceX, c.wantX);
        EXPECT_EQ(game::trackGeometryStatics().s_traceZ, c.wantZ);
    }
}

TEST_F(TrackGeometryTest, AMoveAndItsReverseReturnToTheStart) {
    std::mt19937 rng(3);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int count = game::trackStatics().s_segmentCount;
    for (int i = 0; i < 200; ++i) {
        int seg = pick(0, count - 1), lateral = pick(-800, 800), pos = pick(0, 1023);
        int distance = pick(1, 2500), angle = pick(-300, 300);
        game::TrackPoint there = game::projectAndTestSegment(seg, lateral, pos, distance, angle);
        // The heading back is taken to the line of the segment reached: the
        // curvature of every segment entered on the way is added.
        int turn = 0, walked = 0;
        for (int k = seg; k != there.segment && walked < count; k = (k + 1) % count, ++walked)
            turn += game::segmentCurveAt(k + 1);
        game::TrackPoint back = game::projectAndTestSegment(there.segment, there.lateral, there.position,
                                                            distance, angle + 1024 + turn);
        SCOPED_TRACE(testing::Message()
                     << seg << "/" << lateral << "/" << pos << " d " << distance << " a " << angle);
        ASSERT_EQ(back.segment, seg);
        EXPECT_NEAR(back.lateral, lateral, 3 + walked);
        EXPECT_NEAR(back.position, pos, 3 + walked);
    }
}

TEST_F(TrackGeometryTest, TheProjectionsSliceAnglesCarryAPointWithinTheStatedBound) {
    const int count = game::trackStatics().s_segmentCount;
    std::mt19937 rng(5);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < 200; ++i) {
        int to = pick(0, count - 1), back = pick(1, 10), from = (to + back) % count;
        int x = pick(-1000, 1000), z = pick(0, 1023);
        // As the projection lays slices: each segment straight along the
        // slice angle, the angle growing by the curvature of each segment
        // entered, its x step -sin of the angle.
        double px = 0, pz = 0, angle = 0, bound = 4 + back;
        for (int k = to; k != from; k = (k + 1) % count) {
            px += -1024 * std::sin(angle);
            pz += 1024 * std::cos(angle);
            double t = radians(game::segmentCurveAt(k));
            if (t != 0)
                bound += std::hypot(1024 * (1 - std::cos(t)) / t, 1024 - 1024 * std::sin(t) / t);
            angle += radians(game::segmentCurveAt(k + 1));
        }
        px += x * std::cos(angle) - z * std::sin(angle);
        pz += x * std::sin(angle) + z * std::cos(angle);
        game::traceTrackOffset(x, z, from, to);
        const auto& g = game::trackGeometryStatics();
        EXPECT_LE(std::hypot(g.s_traceX - px, g.s_traceZ - pz), bound)
            << "from " << from << " to " << to << " (" << x << ", " << z << ")";
    }
}

TEST_F(TrackGeometryTest, TheOutsideOfABendIsLongerAndTheWallsHold) {
    // Segment 0 straight, 3 a right bend of 15 degrees, 11 a left bend of 15.
    const double theta = radians(game::segmentCurveAt(11));
    ASSERT_GT(theta, 0);
    struct Case {
        int segment, lateral;
        double want;
    };
    const Case cases[] = {{0, 700, 1024},
                          {3, 0, 1024},
                          {3, -800, 1024 + 800 * theta},
                          {3, 800, 1024 - 800 * theta},
                          {11, 800, 1024 + 800 * theta}};
    for (const Case& c : cases)
        EXPECT_NEAR(game::getCurveScale(c.segment, c.lateral), c.want, 1) << c.segment << "/" << c.lateral;

    loadRing(mixedRing(), 1000, 400);
    for (int side : {-1, 1}) {
        game::TrackPoint p = game::projectAndTestSegment(0, 0, 0, 3000, side * 512);
        EXPECT_TRUE(p.wall);
        EXPECT_EQ(p.lateral, side * 1400);
    }
}

TEST_F(TrackGeometryTest, RingBuilderWritesANinetyDegreeRightBendOverSixSegments) {
    datakit::TrackRing ring;
    ring.straight(2).right(90, 6).straight(2).left(100, 3);
    ASSERT_EQ(ring.segmentCount(), 13);
    int degrees = 0;
    for (int k = 2; k < 8; ++k) {
        EXPECT_EQ(ring.segments()[k].curve, -15);
        degrees += ring.segments()[k].curve;
    }
    EXPECT_EQ(degrees, -90);
    // 100 over 3: the rest goes to the first segments.
    EXPECT_EQ(ring.segments()[10].curve, 34);
    EXPECT_EQ(ring.segments()[12].curve, 33);
    // The bend's exit, seen from the straight before it: a quarter circle
    // (less the degrees' rounding to angle units) ahead and to the right.
    loadRing(ring);
    game::traceTrackOffset(0, 0, 8, 1);
    const double r = 1024 / radians(85), swept = radians(6 * 85);
    EXPECT_NEAR(game::trackGeometryStatics().s_traceX, r * (1 - std::cos(swept)), 8);
    EXPECT_NEAR(game::trackGeometryStatics().s_traceZ, 1024 + r * std::sin(swept), 8);
}

} // namespace
