#include "game/race/RoadProjection.h"

#include "game/framework/FixedPoint.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/race/RaceState.h"
#include "game/race/TrackData.h"
#include "runtime/StaticClass.h"
#include "runtime/javamath.h"

#include <algorithm>

namespace game {

namespace {

using rt::iadd;
using rt::imul;
using rt::isub;

constexpr std::int32_t kShift = 12;
constexpr std::int32_t kHalf = 1 << (kShift - 1);
// The drawing scale's numerator and the depth over which it stays 1.0.
constexpr std::int32_t kScaleDepth = 450;
constexpr std::int32_t kScaleHold = 40;

std::int32_t fx(std::int32_t a, std::int32_t b) {
    return sliceFx(a, b);
}

std::int32_t sine(std::int32_t angle) {
    return sliceSine(angle);
}

// A 4096-based step as the change over one segment length (1024 units).
std::int32_t perSegment(std::int32_t step) {
    const std::int32_t shift = config().s_fixedShift;
    return shift >= 10 ? rt::ishr(step, shift - 10) : rt::ishl(step, 10 - shift);
}

std::int32_t slopeAt(const RoadCamera& camera, std::int32_t segment) {
    return isub(isub(intAt(trackStatics().s_segmentHeight, segment), camera.pitchOffset), camera.pitch);
}

// focal << 12 over a depth the caller keeps away from 0.
std::int32_t scaleAt(const RoadCamera& camera, std::int32_t depth) {
    return rt::ishl(camera.focal, kShift) / depth;
}

// A road narrower than the narrowest drawn: widened about its centre.
void widenToNarrowest(std::int32_t& left, std::int32_t& width) {
    left = iadd(left, rt::ishr(width - kSliceMinWidth, 1));
    width = kSliceMinWidth;
}

// The screen y of an edge: always even, rounded up from the projection.
std::int32_t evenY(std::int32_t y) {
    return iadd(y, 3) & ~1;
}

} // namespace

std::int32_t sliceFx(std::int32_t a, std::int32_t b) {
    return rt::ishr(iadd(imul(a, b), kHalf), kShift);
}

std::int32_t sliceSine(std::int32_t angle) {
    return cos(isub(angle, fixedPointStatics().s_quarterCircle));
}

RoadSliceStatics& roadSliceStatics() {
    return rt::getStaticClass().statics<RoadSliceStatics>();
}

void projectSliceEdge(const RoadCamera& camera, std::int32_t i, std::int32_t slopeCos, std::int32_t xb,
                      std::int32_t zb, std::int32_t yb, std::int32_t xa, std::int32_t za, std::int32_t ya) {
    RoadSliceStatics& s = roadSliceStatics();
    s.s_sliceScreenWidth[i] = 0;
    s.s_sliceScale[i] = 0;
    if (za < kSliceNearDepth)
        return;
    if (zb < kSliceNearDepth) {
        // za >= 200 > zb, so the run is never 0.
        const std::int32_t run = isub(za, zb);
        const std::int32_t cut = kSliceNearDepth - zb;
        xb = iadd(xb, imul(isub(xa, xb), cut) / run);
        yb = iadd(yb, imul(isub(ya, yb), cut) / run);
        zb = kSliceNearDepth;
    }
    const std::int32_t halfWidth = trackStatics().s_roadHalfWidth;
    const std::int32_t scale = scaleAt(camera, zb);
    std::int32_t left = iadd(camera.centerX, fx(scale, xb));
    std::int32_t width = fx(imul(halfWidth, 2), scale);
    if (width < kSliceMinWidth) {
        widenToNarrowest(left, width);
    } else if (width > kSliceMaxWidth) {
        const std::int32_t excess = width - kSliceMaxWidth;
        const std::int32_t roadWidth = imul(halfWidth, 2);
        // A road of no width never projects wider than the limit; the guard
        // only keeps the division defined.
        const std::int32_t share = roadWidth != 0 ? imul(camera.lateral, excess) / roadWidth : 0;
        left = iadd(left, iadd(share, rt::ishr(excess, 1)));
        width = kSliceMaxWidth;
    }
    s.s_sliceScreenX[i] = left;
    s.s_sliceScreenY[i] = evenY(isub(camera.horizonY, fx(scale, yb)));
    s.s_sliceScreenWidth[i] = width;
    const std::int32_t nearDepth = isub(za, perSegment(slopeCos));
    const std::int32_t nearScale = scaleAt(camera, std::max(nearDepth, 10));
    s.s_sliceNearScale[i] = nearScale < 0 ? rt::ineg(nearScale) : nearScale;
    s.s_sliceScale[i] = scaleAt(camera, std::max(nearDepth, kSliceNearDepth));
}

void projectRoad(const RoadCamera& camera, std::int32_t segment, std::int32_t heading, std::int32_t x,
                 std::int32_t z, std::int32_t y) {
    RoadSliceStatics& s = roadSliceStatics();
    const TrackStatics& t = trackStatics();
    const std::int32_t halfWidth = t.s_roadHalfWidth;
    std::int32_t slope = slopeAt(camera, segment);
    std::int32_t rise = fx(camera.playerSegmentPos, sine(slope));
    if (camera.playerSegment != camera.segment)
        rise = iadd(rise, rt::ishr(iadd(rt::ishl(sine(slopeAt(camera, camera.segment)), 10), kHalf), kShift));
    y = isub(isub(y, camera.lift), rise);
    std::int32_t angle = heading;
    std::int32_t seg = segment;
    std::int32_t stepDepth = 0;
    for (std::int32_t i = 0; i < kMainRoadSlices - 1; ++i) {
        s.s_sliceAngle[i] = angle;
        const std::int32_t stepX = rt::ineg(sine(angle));
        stepDepth = cos(slope);
        const std::int32_t stepHeight = sine(slope);
        s.s_sliceSegment[i] = seg;
        s.s_sliceX[i] = x;
        s.s_sliceDepth[i] = z;
        s.s_sliceHeight[i] = y;
        s.s_sliceStepX[i] = stepX;
        s.s_sliceStepDepth[i] = stepDepth;
        s.s_sliceStepHeight[i] = stepHeight;
        const std::int32_t nx = iadd(x, perSegment(stepX));
        const std::int32_t nz = iadd(z, perSegment(stepDepth));
        const std::int32_t ny = iadd(y, perSegment(stepHeight));
        projectSliceEdge(camera, i, stepDepth, isub(x, halfWidth), z, y, isub(nx, halfWidth), nz, ny);
        x = nx;
        z = nz;
        y = ny;
        seg = iadd(seg, 1);
        if (seg >= t.s_segmentCount)
            seg = 0;
        angle = iadd(angle, intAt(t.s_segmentCurve, seg));
        slope = slopeAt(camera, seg);
    }
    constexpr std::int32_t kEnd = kMainRoadSlices - 1;
    s.s_sliceScreenWidth[kEnd] = 0;
    s.s_sliceScale[kEnd] = 0;
    if (z < kSliceNearDepth || stepDepth <= 0)
        return;
    const std::int32_t scale = scaleAt(camera, z);
    std::int32_t left = iadd(camera.centerX, fx(scale, isub(x, halfWidth)));
    std::int32_t width = fx(imul(halfWidth, 2), scale);
    s.s_sliceX[kEnd] = x;
    s.s_sliceDepth[kEnd] = z;
    s.s_sliceHeight[kEnd] = y;
    if (width < kSliceMinWidth)
        widenToNarrowest(left, width);
    s.s_sliceScreenX[kEnd] = left;
    s.s_sliceScreenY[kEnd] = evenY(isub(camera.horizonY, fx(scale, y)));
    s.s_sliceScreenWidth[kEnd] = width;
    s.s_sliceScale[kEnd] = scale;
}

SlicePoint getRoadSliceX(const RoadCamera& camera, std::int32_t k, std::int32_t lateral, std::int32_t pos,
                         std::int32_t lift) {
    const RoadSliceStatics& s = roadSliceStatics();
    if (k < 0 || k >= kSliceCount)
        return {};
    std::int32_t z = iadd(s.s_sliceDepth[k], fx(s.s_sliceStepDepth[k], pos));
    z = iadd(z, 1) & ~1;
    if (z <= 0)
        return {};
    const std::int32_t x = iadd(iadd(s.s_sliceX[k], fx(s.s_sliceStepX[k], pos)), lateral);
    const std::int32_t y = iadd(s.s_sliceHeight[k], fx(s.s_sliceStepHeight[k], pos));
    SlicePoint point;
    point.visible = true;
    point.x = iadd(camera.centerX, imul(camera.focal, x) / z);
    point.y = lift > 0 ? isub(camera.horizonY, imul(iadd(y, lift), camera.focal) / z)
                       : isub(camera.horizonY, imul(camera.focal, y) / z);
    point.scale = drawingScale(camera, z);
    return point;
}

std::int32_t drawingScale(const RoadCamera& camera, std::int32_t z) {
    // A camera distance below 0 would bring z - 40 to 0: that depth takes
    // the hold's 1.0.
    if (z <= camera.distance)
        return rt::ishl(kScaleDepth, kShift) / z;
    if (isub(z, kScaleHold) >= camera.distance && z > kScaleHold)
        return rt::ishl(kScaleDepth, kShift) / isub(z, kScaleHold);
    return 1 << kShift;
}

} // namespace game
