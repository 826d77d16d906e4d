#include "game/race/TrackGeometry.h"

#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "runtime/StaticClass.h"

#include <cmath>

namespace game {

TrackGeometryStatics& trackGeometryStatics() {
    return rt::getStaticClass().statics<TrackGeometryStatics>();
}

namespace {

__extension__ typedef __int128 Wide;

constexpr std::int64_t kOneQ30 = std::int64_t{1} << 30;
constexpr std::int64_t kPiQ30 = 3373259426;
// The product of the CORDIC gains, 1 / K, in Q30.
constexpr std::int64_t kCordicScaleQ30 = 652032874;
// atan(2^-i) in Q30.
constexpr std::int64_t kAtanQ30[] = {843314857, 497837829, 263043837, 133525159, 67021687, 33543516, 16775851,
                                     8388437,   4194283,   2097149,   1048576,   524288,   262144,   131072,
                                     65536,     32768,     16384,     8192,      4096,     2048,     1024,
                                     512,       256,       128,       64,        32,       16,       8,
                                     4,         2,         1};
constexpr int kCordicSteps = 31;
constexpr int kFraction = 16;

// Rounds a Q16 value to the nearest whole unit, halves away from zero.
std::int32_t toUnits(std::int64_t q16) {
    std::int64_t half = std::int64_t{1} << (kFraction - 1);
    return static_cast<std::int32_t>(q16 >= 0 ? (q16 + half) >> kFraction : -((-q16 + half) >> kFraction));
}

std::int64_t mulQ30(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>((static_cast<Wide>(a) * b) >> 30);
}

// Radians of `angle` units, Q30.
std::int64_t unitsToRadians(std::int64_t angle) {
    return angle * kPiQ30 / 1024;
}

// sin and cos of `rad` (Q30, any size) by CORDIC rotation.
void sinCosRadians(std::int64_t rad, std::int64_t& sine, std::int64_t& cosine) {
    const std::int64_t twoPi = 2 * kPiQ30;
    rad %= twoPi;
    if (rad > kPiQ30)
        rad -= twoPi;
    if (rad < -kPiQ30)
        rad += twoPi;
    // Fold into -pi/2..pi/2, where the rotation converges.
    bool flip = false;
    if (rad > kPiQ30 / 2) {
        rad -= kPiQ30;
        flip = true;
    } else if (rad < -kPiQ30 / 2) {
        rad += kPiQ30;
        flip = true;
    }
    std::int64_t x = kCordicScaleQ30;
    std::int64_t y = 0;
    std::int64_t z = rad;
    for (int i = 0; i < kCordicSteps; ++i) {
        std::int64_t dx = y >> i;
        std::int64_t dy = x >> i;
        if (z >= 0) {
            x -= dx;
            y += dy;
            z -= kAtanQ30[i];
        } else {
            x += dx;
            y -= dy;
            z += kAtanQ30[i];
        }
    }
    cosine = flip ? -x : x;
    sine = flip ? -y : y;
}

// The angle of (x, y) in Q30 radians, -pi..pi, by CORDIC vectoring.
std::int64_t atan2Radians(std::int64_t y, std::int64_t x) {
    if (x == 0 && y == 0)
        return 0;
    std::int64_t base = 0;
    if (x < 0) {
        // Turn by pi so that x is positive.
        x = -x;
        y = -y;
        base = kPiQ30;
    }
    // Keep the growth of the rotation (at most 1.65) inside 64 bits.
    while (x > (std::int64_t{1} << 60) || y > (std::int64_t{1} << 60) || y < -(std::int64_t{1} << 60)) {
        x >>= 1;
        y >>= 1;
    }
    std::int64_t z = 0;
    for (int i = 0; i < kCordicSteps; ++i) {
        std::int64_t dx = y >> i;
        std::int64_t dy = x >> i;
        if (y > 0) {
            x += dx;
            y -= dy;
            z += kAtanQ30[i];
        } else {
            x -= dx;
            y += dy;
            z -= kAtanQ30[i];
        }
    }
    std::int64_t angle = base + z;
    if (angle > kPiQ30)
        angle -= 2 * kPiQ30;
    return angle;
}

std::int64_t isqrtWide(Wide v) {
    if (v <= 0)
        return 0;
    // The double's square root is exactly rounded, so the start is the same
    // everywhere; the two loops make it the exact floor.
    auto r = static_cast<std::int64_t>(std::sqrt(static_cast<double>(v)));
    while (static_cast<Wide>(r) * r > v)
        --r;
    while (static_cast<Wide>(r + 1) * (r + 1) <= v)
        ++r;
    return r;
}

constexpr std::int64_t kSegmentQ16 = std::int64_t{kSegmentLength} << kFraction;

// The left turn of `p` by `rad`.
PlanePoint rotate(PlanePoint p, std::int64_t rad) {
    std::int64_t s, c;
    sinCosRadians(rad, s, c);
    return {mulQ30(p.x, c) - mulQ30(p.z, s), mulQ30(p.x, s) + mulQ30(p.z, c)};
}

struct Bend {
    std::int64_t theta = 0;  // Q30 radians, positive left
    std::int64_t radius = 0; // Q16, signed like theta
    PlanePoint centre;       // in the segment's frame
};

Bend bendOf(std::int32_t segment) {
    Bend b;
    b.theta = unitsToRadians(segmentCurveAt(segment));
    if (b.theta == 0)
        return b;
    b.radius = static_cast<std::int64_t>((static_cast<Wide>(kSegmentQ16) << 30) / b.theta);
    std::int64_t s, c;
    sinCosRadians(b.theta, s, c);
    b.centre = {-mulQ30(b.radius, c), mulQ30(b.radius, s)};
    return b;
}

PlanePoint toPlane(const Bend& b, std::int64_t lateralQ16, std::int64_t positionQ16) {
    if (b.theta == 0)
        return {lateralQ16, positionQ16};
    // phi - theta: the angle of the point about the centre, measured in the
    // segment's frame.
    std::int64_t phi = static_cast<std::int64_t>(static_cast<Wide>(b.theta) * positionQ16 / kSegmentQ16);
    std::int64_t s, c;
    sinCosRadians(phi - b.theta, s, c);
    std::int64_t arm = b.radius + lateralQ16;
    return {b.centre.x + mulQ30(arm, c), b.centre.z + mulQ30(arm, s)};
}

// The lateral position and position (Q16) of `p` against segment `b`.
PlanePoint toTrack(const Bend& b, PlanePoint p) {
    if (b.theta == 0)
        return p;
    std::int64_t vx = p.x - b.centre.x;
    std::int64_t vz = p.z - b.centre.z;
    std::int64_t r = isqrtWide(static_cast<Wide>(vx) * vx + static_cast<Wide>(vz) * vz);
    std::int64_t sign = b.radius > 0 ? 1 : -1;
    std::int64_t lateral = sign * r - b.radius;
    std::int64_t phi = atan2Radians(sign * vz, sign * vx) + b.theta;
    return {lateral, mulQ30(phi, b.radius)};
}

PlanePoint endOf(const Bend& b) {
    return toPlane(b, 0, kSegmentQ16);
}

std::int32_t nextSegment(std::int32_t segment) {
    return wrapSegment(segment + 1);
}
std::int32_t previousSegment(std::int32_t segment) {
    return wrapSegment(segment - 1);
}

// `p` of segment k's frame in the frame of k - 1.
PlanePoint backOne(std::int32_t segment, PlanePoint p) {
    std::int32_t before = previousSegment(segment);
    PlanePoint turned = rotate(p, bendOf(segment).theta);
    PlanePoint end = endOf(bendOf(before));
    return {end.x + turned.x, end.z + turned.z};
}

// `p` of segment k's frame in the frame of k + 1.
PlanePoint forwardOne(std::int32_t segment, PlanePoint p) {
    PlanePoint end = endOf(bendOf(segment));
    return rotate({p.x - end.x, p.z - end.z}, -bendOf(nextSegment(segment)).theta);
}

} // namespace

void sinCosUnits(std::int32_t angle, std::int64_t& sine, std::int64_t& cosine) {
    sinCosRadians(unitsToRadians(angle), sine, cosine);
}

PlanePoint trackToPlane(std::int32_t segment, std::int32_t lateral, std::int32_t position) {
    return toPlane(bendOf(segment), std::int64_t{lateral} << kFraction, std::int64_t{position} << kFraction);
}

TrackPoint planeToTrack(std::int32_t segment, PlanePoint point) {
    const std::int32_t count = trackStatics().s_segmentCount;
    segment = wrapSegment(segment);
    PlanePoint local = toTrack(bendOf(segment), point);
    // A walk longer than the ring means a point far off the track; the
    // position is then held inside the segment reached.
    for (std::int32_t steps = 0; count > 0 && steps <= count + 1; ++steps) {
        if (local.z >= kSegmentQ16) {
            point = forwardOne(segment, point);
            segment = nextSegment(segment);
        } else if (local.z < 0) {
            point = backOne(segment, point);
            segment = previousSegment(segment);
        } else {
            break;
        }
        local = toTrack(bendOf(segment), point);
    }
    TrackPoint out;
    out.segment = segment;
    out.lateral = toUnits(local.x);
    std::int32_t position = toUnits(local.z);
    if (position >= kSegmentLength && count > 0) {
        position -= kSegmentLength;
        out.segment = nextSegment(segment);
    }
    out.position = position < 0 ? 0 : (position >= kSegmentLength ? kSegmentLength - 1 : position);
    return out;
}

std::int32_t wallOffset() {
    const TrackStatics& t = trackStatics();
    return t.s_roadHalfWidth + t.s_roadMargin;
}

namespace {
// The edge flags of the wrapped segment, 0 where the flag table does not
// reach; segment 0's on a ring without segments.
std::int32_t tableEdgeFlags(std::int32_t segment) {
    const rt::ByteArray* flags = trackStatics().s_segmentEdgeFlags;
    std::int32_t s = wrapSegment(segment);
    return flags && s < flags->length() ? rt::ByteArray::get(flags, s) : 0;
}
} // namespace

std::int32_t leftRoadLimit(std::int32_t segment) {
    const TrackStatics& t = trackStatics();
    return -t.s_roadHalfWidth + ((tableEdgeFlags(segment) & 1) ? t.s_laneWidth : 0);
}

std::int32_t rightRoadLimit(std::int32_t segment) {
    const TrackStatics& t = trackStatics();
    return t.s_roadHalfWidth - ((tableEdgeFlags(segment) & 2) ? t.s_laneWidth : 0);
}

namespace {
// The track position of `p` (the frame of `segment`), held at a wall.
TrackPoint landWithWalls(std::int32_t segment, PlanePoint p) {
    TrackPoint out = planeToTrack(segment, p);
    const std::int32_t wall = wallOffset();
    if (out.lateral > wall || out.lateral < -wall) {
        out.lateral = out.lateral > 0 ? wall : -wall;
        out.wall = true;
    }
    return out;
}
} // namespace

TrackPoint moveInPlane(std::int32_t segment, std::int32_t lateral, std::int32_t position, std::int32_t dx,
                       std::int32_t dz) {
    PlanePoint p = trackToPlane(segment, lateral, position);
    p.x += std::int64_t{dx} << kFraction;
    p.z += std::int64_t{dz} << kFraction;
    return landWithWalls(segment, p);
}

TrackPoint projectAndTestSegment(std::int32_t segment, std::int32_t lateral, std::int32_t position,
                                 std::int32_t distance, std::int32_t angle) {
    std::int64_t s, c;
    sinCosUnits(angle, s, c);
    PlanePoint p = trackToPlane(segment, lateral, position);
    p.x += static_cast<std::int64_t>((static_cast<Wide>(distance) * s) >> (30 - kFraction));
    p.z += static_cast<std::int64_t>((static_cast<Wide>(distance) * c) >> (30 - kFraction));
    return landWithWalls(segment, p);
}

void traceTrackOffset(std::int32_t x, std::int32_t z, std::int32_t fromSeg, std::int32_t toSeg) {
    const std::int32_t count = trackStatics().s_segmentCount;
    PlanePoint p{std::int64_t{x} << kFraction, std::int64_t{z} << kFraction};
    if (count > 0) {
        std::int32_t segment = wrapSegment(fromSeg);
        std::int32_t steps = wrapSegment(segment - wrapSegment(toSeg));
        for (; steps > 0; --steps) {
            p = backOne(segment, p);
            segment = previousSegment(segment);
        }
    }
    TrackGeometryStatics& g = trackGeometryStatics();
    g.s_traceX = toUnits(p.x);
    g.s_traceZ = toUnits(p.z);
}

std::int32_t getCurveScale(std::int32_t segment, std::int32_t lateral) {
    std::int64_t theta = unitsToRadians(segmentCurveAt(segment));
    std::int64_t scale = kSegmentLength + ((std::int64_t{lateral} * theta + (kOneQ30 >> 1)) >> 30);
    return scale < 1 ? 1 : static_cast<std::int32_t>(scale);
}

std::int32_t getRoadEdgeOffset(const cEntity* car) {
    const rt::IntArray* profile = car->m_widthProfile;
    std::int32_t half = profile && profile->length() > 5 ? rt::IntArray::get(profile, 5) : 0;
    std::int32_t offset = rightRoadLimit(car->m_segment) - 2 * half;
    return offset < 0 ? 0 : offset;
}

} // namespace game
