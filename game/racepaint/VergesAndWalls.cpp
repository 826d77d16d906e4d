#include "game/racepaint/VergesAndWalls.h"

#include "game/framework/FixedPoint.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/race/RaceState.h"
#include "game/race/TrackData.h"
#include "game/race/TrackQueries.h"
#include "game/racepaint/ClippedDrawing.h"
#include "game/racepaint/RoadsideTrack.h"
#include "game/racepaint/RoadsideView.h"
#include "game/sprite/Gradient.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/checks.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace game {

namespace {

constexpr std::int32_t kInvisibleWall = 0x123456;
constexpr std::int32_t kUnfadedWall = 0xFF00FF;
constexpr std::int32_t kNoColour = 0xFF00FF;
constexpr std::int32_t kSeamOverlap = 8;

// How far the ground rises over `d` pixels on a bank of `angle`.
std::int32_t lift(std::int32_t d, std::int32_t angle) {
    return fixedMulRounded(d, tan(angle));
}

std::int32_t bankAngle(std::int32_t bank) {
    return (bank & 127) * 2;
}

bool isLeftBank(std::int32_t bank) {
    return (bank & 0x80) != 0;
}

bool isRightBank(std::int32_t bank) {
    return !isLeftBank(bank) && bankAngle(bank) != 0;
}

platform::javax_microedition_lcdui_Graphics* screenGraphics() {
    return loopStatics().s_graphics;
}

void setColour(std::int32_t colour) {
    screenGraphics()->setColor(colour);
}

// The rectangle between two x and two y bounds, in the order given: one of
// no width or height draws nothing.
void fillBetween(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    if (x2 - x1 > 0 && y2 - y1 > 0)
        fillRectClipped(x1, y1, x2 - x1, y2 - y1);
}

void triangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
              std::int32_t y3) {
    fillClippedPolygon(x1, y1, x2, y2, x3, y3);
}

struct SliceEdges {
    std::int32_t nearX, farX, nearWidth, farWidth, nearY, farY;
};

// Takes the lanes that the segment's edge flags close off the drawn road.
void closeLanes(std::int32_t slice, std::int32_t segment, SliceEdges& e, std::int32_t& b0, std::int32_t& b1) {
    const TrackStatics& t = trackStatics();
    RoadsideViewStatics& v = roadsideView();
    const std::int32_t flags = rt::ByteArray::get(t.s_segmentEdgeFlags, segment);
    b0 = flags & 1;
    b1 = (flags >> 1) & 1;
    const std::int32_t lanes = std::max(t.s_laneCount, 1);
    if (b0 + b1 >= lanes) {
        e.nearX += e.nearWidth >> 1;
        e.farX += e.farWidth >> 1;
        e.nearWidth = 0;
        e.farWidth = 0;
        return;
    }
    const std::int32_t nearLane = e.nearWidth / lanes;
    const std::int32_t farLane = e.farWidth / lanes;
    e.nearX += nearLane * b0;
    e.nearWidth -= nearLane * (b0 + b1);
    e.farX += farLane * b0;
    e.farWidth -= farLane * (b0 + b1);
    v.s_sliceRoadLeft[slice] = b0 ? t.s_laneWidth - t.s_roadHalfWidth : -t.s_roadHalfWidth;
    v.s_sliceRoadRight[slice] = b1 ? t.s_roadHalfWidth - t.s_laneWidth : t.s_roadHalfWidth;
}

// The wall run: the sides and far outer edges that nearer slices of the
// same run carry on from.
struct WallRun {
    bool known = false;
    std::int32_t sides = 0;
    std::int32_t farLeftOuter = 0;
    std::int32_t farRightOuter = 0;
};

bool carriesWall(std::int32_t wall) {
    return (wall & wall_bits::kWallMask) == wall_bits::kWall;
}

} // namespace

void paintVergesAndWalls() {
    platform::javax_microedition_lcdui_Graphics* g = screenGraphics();
    if (!g) {
        rt::reportNullPointer();
        return;
    }
    RoadsideViewStatics& v = roadsideView();
    const std::int32_t left = v.s_clipLeft - v.s_shakeX;
    const std::int32_t right = left + v.s_viewWidth;
    v.s_roadClipBottom = v.s_clipBottom;
    WallRun run;
    std::int32_t previousB0 = 0, previousB1 = 0;
    std::int32_t lastLeftColour = 0, lastRightColour = 0;
    for (std::int32_t k = kRoadSlices - 2; k >= 0; --k) {
        const std::int32_t segment = wrapSegment(v.s_sliceSegment[k]);
        if (v.s_sliceScreenWidth[k] == 0 || v.s_sliceScreenWidth[k + 1] == 0 ||
            std::abs(std::int64_t{v.s_sliceAngle[k]}) >= v.s_sliceAngleLimit)
            continue;
        std::int32_t nearBank = 0, farBank = 0;
        if (hasBanks()) {
            nearBank = segmentBank(segment);
            farBank = segmentBank(segment + 1);
        }
        v.s_sliceClipY[k] = v.s_clipBottom;
        v.s_sliceClipLeft[k] = left;
        v.s_sliceClipWidth[k] = v.s_viewWidth;
        SliceEdges e{v.s_sliceScreenX[k],         v.s_sliceScreenX[k + 1], v.s_sliceScreenWidth[k],
                     v.s_sliceScreenWidth[k + 1], v.s_sliceScreenY[k],     v.s_sliceScreenY[k + 1]};
        std::int32_t b0 = 0, b1 = 0;
        closeLanes(k, segment, e, b0, b1);
        if (b0 != previousB0 || b1 != previousB1)
            run.known = false;
        previousB0 = b0;
        previousB1 = b1;

        if (e.nearY >= v.s_clipTop && e.farY <= v.s_clipBottom && v.s_sliceClipWidth[k] >= 1) {
            e.farY = std::max(e.farY, v.s_clipTop);
            const std::int32_t weight = fogWeight(v.s_sliceDepth[k]);
            const std::int32_t parity = segment & 1;
            auto profile = [&](std::int32_t side, std::int32_t field) {
                return blendColor(v.s_fogColour, getLaneProfileValue(side, segment, field), weight);
            };
            const std::int32_t leftColour = profile(1, parity);
            const std::int32_t rightColour = profile(2, parity);
            lastLeftColour = leftColour;
            lastRightColour = rightColour;
            bool leftWall = false, rightWall = false;
            const std::int32_t wall = segmentWall(segment);
            if (carriesWall(wall)) {
                const WallKind kind = wallKind(wall & wall_bits::kKindMask);
                const std::int32_t nextWall = segmentWall(segment + 1);
                bool leftCap = false, rightCap = false;
                if (!carriesWall(nextWall)) {
                    leftCap = rightCap = true;
                } else {
                    const std::int32_t nextSides = wallKind(nextWall & wall_bits::kKindMask).sides;
                    leftCap = (kind.sides & wall_bits::kLeft) != 0 && (nextSides & wall_bits::kLeft) == 0;
                    rightCap = !leftCap && (kind.sides & wall_bits::kRight) != 0 &&
                               (nextSides & wall_bits::kRight) == 0;
                }
                if (leftCap || rightCap)
                    run.known = false;
                const std::int32_t stored = kind.colours[parity];
                const std::int32_t wallColour = (stored & 0xFFFFFF) == kUnfadedWall
                                                    ? stored
                                                    : blendColor(v.s_wallFogColour, stored, weight);
                const std::int32_t h = kind.height;
                if (!run.known) {
                    run.known = true;
                    run.sides = kind.sides;
                    run.farLeftOuter = e.farX - fixedMulRounded(v.s_sliceScale[k + 1], h);
                    run.farRightOuter = e.farX + e.farWidth + fixedMulRounded(v.s_sliceScale[k + 1], h);
                }
                const std::int32_t nearLeftOuter = e.nearX - fixedMulRounded(v.s_sliceScale[k], h);
                const std::int32_t nearRightOuter =
                    e.nearX + e.nearWidth + fixedMulRounded(v.s_sliceScale[k], h);
                leftWall = (run.sides & wall_bits::kLeft) != 0;
                rightWall = (run.sides & wall_bits::kRight) != 0;
                if ((stored & 0xFFFFFF) != kInvisibleWall) {
                    if (leftWall)
                        paintLeftWall(nearLeftOuter, run.farLeftOuter, e.nearX + kSeamOverlap,
                                      e.farX + kSeamOverlap, e.nearY, e.farY, left, right, leftColour,
                                      wallColour, leftCap, profile(1, 2));
                    if (rightWall)
                        paintRightWall(nearRightOuter, run.farRightOuter,
                                       e.nearX + e.nearWidth - kSeamOverlap,
                                       e.farX + e.farWidth - kSeamOverlap, e.nearY, e.farY,
                                       leftWall ? std::max(e.nearX, e.farX) : 0, left, right, rightColour,
                                       wallColour, rightCap, profile(2, 2));
                }
                run.farLeftOuter = nearLeftOuter;
                run.farRightOuter = nearRightOuter;
            }
            paintVerges(leftWall, rightWall, e.nearX, e.farX, e.nearWidth, e.farWidth, e.nearY, e.farY, left,
                        right, leftColour, rightColour, nearBank, farBank);
        }

        if (v.s_sliceScreenY[k] >= v.s_clipBottom) {
            const bool banked = hasBanks() && segmentBank(segment) != 0;
            v.s_bottomLeftColour = banked ? lastLeftColour : kNoColour;
            v.s_bottomRightColour = banked ? lastRightColour : kNoColour;
        }
        const std::int32_t farSegment = k == kRoadSlices - 2 ? segment : v.s_sliceSegment[k + 1];
        if ((segmentWall(farSegment) & wall_bits::kEndsRun) != 0)
            run.known = false;
    }
    v.s_sliceClipLeft[kRoadSlices - 1] = left;
    v.s_sliceClipWidth[kRoadSlices - 1] = v.s_viewWidth;
}

void paintVerges(bool leftWall, bool rightWall, std::int32_t nearX, std::int32_t farX, std::int32_t nearWidth,
                 std::int32_t farWidth, std::int32_t nearY, std::int32_t farY, std::int32_t clipLeft,
                 std::int32_t clipRight, std::int32_t leftColour, std::int32_t rightColour,
                 std::int32_t nearBank, std::int32_t farBank) {
    const RoadsideViewStatics& v = roadsideView();
    const std::int32_t aN = bankAngle(nearBank);
    const std::int32_t aF = bankAngle(farBank);
    if (!leftWall) {
        const std::int32_t e = std::min(std::max(nearX, farX) + kSeamOverlap, clipRight);
        if (clipLeft < e) {
            setColour(leftColour);
            if (!isLeftBank(nearBank) && !isLeftBank(farBank)) {
                fillBetween(clipLeft, farY, e, nearY);
            } else if (aN == 0 || nearX <= clipLeft) {
                fillBetween(clipLeft, farY, e, nearY);
                if (aF != 0)
                    triangle(clipLeft, farY - lift(farX - clipLeft + kSeamOverlap, aF), clipLeft, farY, farX,
                             farY);
            } else {
                const std::int32_t yL = nearY - lift(nearX - clipLeft + kSeamOverlap, aN);
                if (nearY >= v.s_clipBottom && v.s_clipBottom > yL) {
                    setColour(v.s_bottomLeftColour);
                    triangle(clipLeft, yL, clipLeft, nearY, nearX, nearY);
                    setColour(leftColour);
                }
                triangle(clipLeft, yL, nearX, nearY, farX, farY);
                if (aF != 0) {
                    const std::int32_t yF = farY - lift(farX - clipLeft + kSeamOverlap, aF);
                    if (yF < yL)
                        triangle(clipLeft, yL, farX, farY, clipLeft, yF);
                } else if (farY < yL) {
                    triangle(clipLeft, farY, clipLeft, yL, farX, farY);
                }
            }
        }
    }
    if (!rightWall) {
        const std::int32_t nR = nearX + nearWidth;
        const std::int32_t fR = farX + farWidth;
        const std::int32_t s = std::max(std::min(nR, fR) - kSeamOverlap, clipLeft);
        if (clipRight > s) {
            setColour(rightColour);
            if (!isRightBank(nearBank) && !isRightBank(farBank)) {
                fillBetween(s, farY, clipRight, nearY);
            } else if (aN == 0 || nR >= clipRight) {
                fillBetween(s, farY, clipRight, nearY);
                if (aF != 0 && clipRight > fR)
                    triangle(clipRight, farY - lift(clipRight - fR + kSeamOverlap, aF), fR, farY, clipRight,
                             farY);
            } else {
                const std::int32_t yR = nearY - lift(clipRight - nR + kSeamOverlap, aN);
                if (nearY >= v.s_clipBottom && v.s_clipBottom > yR) {
                    // The colour stays the bottom one for the rest of the slice.
                    setColour(v.s_bottomRightColour);
                    triangle(nR, nearY, clipRight, nearY, clipRight, yR);
                }
                triangle(nR, nearY, clipRight, yR, fR, farY);
                if (aF == 0) {
                    if (farY < yR)
                        triangle(fR, farY, clipRight, yR, clipRight, farY);
                } else if (clipRight > fR) {
                    const std::int32_t yF = farY - lift(clipRight - fR + kSeamOverlap, aF);
                    if (yF < yR)
                        triangle(fR, farY, clipRight, yR, clipRight, yF);
                }
            }
        }
    }
}

namespace {

// One side's wall. The right wall is the left one mirrored about the view:
// `flip` maps a screen x to the left wall's frame and back (x' = width - x),
// so every comparison and fill below is written once, for the left side.
struct WallSide {
    bool mirrored;
    std::int32_t width;

    std::int32_t x(std::int32_t screenX) const { return mirrored ? width - screenX : screenX; }
    void fill(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) const {
        if (mirrored)
            fillBetween(x(x2), y1, x(x1), y2);
        else
            fillBetween(x1, y1, x2, y2);
    }
    void fillTriangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
                      std::int32_t y3) const {
        triangle(x(x1), y1, x(x2), y2, x(x3), y3);
    }
};

// In the left wall's frame: `limit` the clip edge the wall stops at,
// `innerLimit` the x the band between road and wall starts from at the
// least.
void paintWall(const WallSide& side, std::int32_t nO, std::int32_t fO, std::int32_t nI, std::int32_t fI,
               std::int32_t nY, std::int32_t fY, std::int32_t limit, std::int32_t innerLimit,
               std::int32_t vergeColour, std::int32_t wallColour, bool cap, std::int32_t capColour) {
    const std::int32_t bottom = roadsideView().s_clipBottom;
    const std::int32_t L = limit;
    const std::int32_t m = std::max(nI, fI);
    if (m <= L)
        return;
    std::int32_t xS, xE, xN, yCut, yC, r;
    if (fO > nO) {
        if (nO < L) {
            yCut =
                static_cast<std::int32_t>(fY + (std::int64_t{L} - fO) * (nY - fY) / (std::int64_t{nO} - fO));
            xN = L;
        } else {
            yCut = nY - 1;
            xN = nO;
        }
        xS = xN;
        xE = fO;
        yC = yCut;
        r = fO;
    } else {
        r = xS = std::max(fO, L);
        xE = nO;
        xN = nO;
        yCut = nY;
        yC = fY;
    }
    if (xE > L) {
        if (cap) {
            setColour(capColour);
            side.fill(0, fY, std::max(xN, r), bottom);
        }
        if (xN > r) {
            setColour(wallColour);
            side.fillTriangle(xE, yCut, r, fY, xS, yCut);
            side.fill(xS, yCut, xE, bottom);
        }
        setColour(vergeColour);
        side.fillTriangle(xE, yCut, r, fY, xN, yC);
        if (yCut != nY)
            side.fill(xS, yCut, xE, nY);
    }
    if (std::min(m, innerLimit) > xE) {
        setColour(vergeColour);
        side.fill(xE, fY, std::min(m, innerLimit), nY);
    }
}

} // namespace

void paintLeftWall(std::int32_t nO, std::int32_t fO, std::int32_t nI, std::int32_t fI, std::int32_t nY,
                   std::int32_t fY, std::int32_t clipLeft, std::int32_t /*clipRight*/,
                   std::int32_t vergeColour, std::int32_t wallColour, bool cap, std::int32_t capColour) {
    paintWall(WallSide{false, 0}, nO, fO, nI, fI, nY, fY, clipLeft, INT_MAX, vergeColour, wallColour, cap,
              capColour);
}

void paintRightWall(std::int32_t nO, std::int32_t fO, std::int32_t nI, std::int32_t fI, std::int32_t nY,
                    std::int32_t fY, std::int32_t leftLimit, std::int32_t /*clipLeft*/,
                    std::int32_t clipRight, std::int32_t vergeColour, std::int32_t wallColour, bool cap,
                    std::int32_t capColour) {
    const WallSide side{true, roadsideView().s_viewWidth};
    paintWall(side, side.x(nO), side.x(fO), side.x(nI), side.x(fI), nY, fY, side.x(clipRight),
              side.x(leftLimit), vergeColour, wallColour, cap, capColour);
}

} // namespace game
