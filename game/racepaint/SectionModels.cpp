#include "game/racepaint/SectionModels.h"

#include "game/framework/FixedPoint.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/race/DynamicTriggerView.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/RoadProjection.h"
#include "game/race/StartSequence.h"
#include "game/race/TrackData.h"
#include "game/race/TrackQueries.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "game/racepaint/ClippedDrawing.h"
#include "game/racepaint/RoadsideTrack.h"
#include "game/racepaint/RoadsideView.h"
#include "game/racepaint/SectionPolygon.h"
#include "game/racepaint/SliceObjects.h"
#include "game/sprite/Drawing.h"
#include "game/sprite/Gradient.h"
#include "game/sprite/Scaler.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/checks.h"

#include <algorithm>
#include <cstdlib>

namespace game {

namespace {

constexpr std::int32_t kNoSceneryAttribute = 6;
constexpr std::int32_t kDetailNear = 2;
constexpr std::int32_t kDetailNearest = 3;
constexpr std::int32_t kDetailFar = 4;

std::int32_t detailOf(const std::int16_t* p) {
    switch (p[0]) {
    case kRectangleShapeType:
    case kLineShapeType:
        return p[8];
    case kPolygonShapeType:
        return p[11];
    case kSpriteShapeType:
        return p[9];
    default:
        return 0;
    }
}

std::int32_t lerp(std::int32_t nearValue, std::int32_t farValue, std::int32_t t) {
    return (((1024 - t) * nearValue) >> 10) + ((t * farValue) >> 10);
}

// The same with divisions, as the sprite primitives place themselves.
std::int32_t lerpDivided(std::int32_t nearValue, std::int32_t farValue, std::int32_t t) {
    return ((1024 - t) * nearValue) / 1024 + (t * farValue) / 1024;
}

std::int32_t screenX(std::int32_t x, std::int32_t z) {
    const RoadsideViewStatics& v = roadsideView();
    return static_cast<std::int32_t>(v.s_screenCenterX + std::int64_t{v.s_cameraFocal} * x / z);
}

std::int32_t screenY(std::int32_t y, std::int32_t z) {
    const RoadsideViewStatics& v = roadsideView();
    return static_cast<std::int32_t>(v.s_viewHorizonY - std::int64_t{v.s_cameraFocal} * y / z);
}

// One model being drawn at one slice.
struct Placement {
    std::int32_t slice = 0;
    std::int32_t offset = 0;
    bool mirrored = false;
    bool flipped = false;
    std::int32_t flags = 0;
    std::int32_t x0 = 0, z0 = 0, h0 = 0;
    std::int32_t x1 = 0, z1 = 0, h1 = 0;
    std::int32_t colour = 0;

    std::int32_t anchor(bool onEdge) const {
        if (!onEdge || offset != 0)
            return onEdge ? offset + trackStatics().s_roadHalfWidth : offset;
        const RoadsideViewStatics& v = roadsideView();
        return mirrored ? v.s_sliceRoadLeft[slice] : v.s_sliceRoadRight[slice];
    }
    std::int32_t lateral(std::int32_t a, std::int32_t centre, std::int32_t x) const {
        return mirrored ? a + centre - x : a + centre + x;
    }

    // Fades the current colour by depth `z` for a rectangle or a line whose
    // screen middle is `midX`; the faded colour stays current.
    void fog(std::int32_t z, std::int32_t midX) {
        const std::int32_t weight = fogWeight(z);
        if (weight == 0)
            return;
        const RoadsideViewStatics& v = roadsideView();
        std::int32_t fogColour = v.s_wallFogColour;
        if (v.s_weatherMode == kStripWeather && std::int64_t{v.s_weatherSpread} - midX < 11)
            fogColour = static_cast<std::int32_t>(0xFFFFFFFFu);
        colour = blendColor(fogColour, colour, weight);
    }
};

void drawRectangle(Placement& m, const std::int16_t* p, platform::javax_microedition_lcdui_Graphics* g) {
    const std::int32_t zA = lerp(m.z0, m.z1, p[3]);
    const std::int32_t zB = lerp(m.z0, m.z1, p[6]);
    // A far corner at or behind the eye has no screen point.
    if (zA < kNearPlane || zB < 1)
        return;
    const std::int32_t a = m.anchor(true);
    const std::int32_t xA = screenX(m.lateral(a, lerp(m.x0, m.x1, p[3]), p[2]), zA);
    const std::int32_t yA = screenY(lerp(m.h0, m.h1, p[3]) + p[4], zA);
    const std::int32_t xB = screenX(m.lateral(a, lerp(m.x0, m.x1, p[6]), p[5]), zB);
    const std::int32_t yB = screenY(lerp(m.h0, m.h1, p[6]) + p[7], zB);
    if (xA == xB && yA == yB)
        return;
    m.fog(zA, static_cast<std::int32_t>((std::int64_t{xA} + xB) / 2));
    g->setColor(m.colour);
    fillRectClipped(std::min(xA, xB), std::min(yA, yB), std::abs(xB - xA), std::abs(yB - yA));
}

void drawSectionLine(Placement& m, const std::int16_t* p, platform::javax_microedition_lcdui_Graphics* g) {
    std::int32_t zA = lerp(m.z0, m.z1, p[3]);
    std::int32_t zB = lerp(m.z0, m.z1, p[6]);
    if (zA < kNearPlane && zB < kNearPlane)
        return;
    const std::int32_t a = m.anchor(true);
    std::int32_t xA = m.lateral(a, lerp(m.x0, m.x1, p[3]), p[2]);
    std::int32_t hA = lerp(m.h0, m.h1, p[3]) + p[4];
    std::int32_t xB = m.lateral(a, lerp(m.x0, m.x1, p[6]), p[5]);
    std::int32_t hB = lerp(m.h0, m.h1, p[6]) + p[7];
    // The end behind the near plane slides along the line onto it.
    auto clip = [](std::int32_t& x, std::int32_t& h, std::int32_t& z, std::int32_t xo, std::int32_t ho,
                   std::int32_t zo) {
        const std::int64_t span = std::int64_t{zo} - z;
        x = static_cast<std::int32_t>(xo - (std::int64_t{xo} - x) * (zo - kNearPlane) / span);
        h = static_cast<std::int32_t>(ho - (std::int64_t{ho} - h) * (zo - kNearPlane) / span);
        z = kNearPlane;
    };
    if (zA < kNearPlane)
        clip(xA, hA, zA, xB, hB, zB);
    else if (zB < kNearPlane)
        clip(xB, hB, zB, xA, hA, zA);
    const std::int32_t sxA = screenX(xA, zA), syA = screenY(hA, zA);
    const std::int32_t sxB = screenX(xB, zB), syB = screenY(hB, zB);
    if (sxA == sxB && syA == syB)
        return;
    m.fog(zA, static_cast<std::int32_t>((std::int64_t{sxA} + sxB) / 2));
    g->setColor(m.colour);
    drawLineClipped(sxA, syA, sxB, syB);
}

void drawPolygon(const Placement& m, const std::int16_t* p) {
    const std::int32_t flags = p[1];
    const std::int32_t a = m.anchor((flags & section_model_flags::kAnchoredOnEdge) != 0);
    const std::int32_t zA = lerp(m.z0, m.z1, p[3]);
    const std::int32_t zB = lerp(m.z0, m.z1, p[6]);
    const std::int32_t zC = lerp(m.z0, m.z1, p[9]);
    if (std::max({zA, zB, zC}) < kNearPlane)
        return;
    const std::int32_t hA = lerp(m.h0, m.h1, p[3]);
    const std::int32_t xA = m.lateral(a, lerp(m.x0, m.x1, p[3]), p[2]);
    const std::int32_t xB = m.lateral(a, lerp(m.x0, m.x1, p[6]), p[5]);
    const std::int32_t xC = m.lateral(a, lerp(m.x0, m.x1, p[9]), p[8]);
    const std::int32_t width = std::max({p[2], p[5], p[8]}) - std::min({p[2], p[5], p[8]});
    clipAndFillPolygon(xA, zA, p[4] + hA, xB, zB, lerp(m.h0, m.h1, p[6]) + p[7], xC, zC,
                       lerp(m.h0, m.h1, p[9]) + p[10], p[10] + hA, m.colour, flags, 1, m.flags,
                       roadsideView().s_sliceDepth[m.slice] + p[3], width);
}

// The time of the animation frame a sprite primitive shows now.
std::int32_t animationTime(std::int32_t mode, std::int32_t& length) {
    const std::int32_t clock = loopStatics().s_totalMs;
    if ((mode & 15) != 1)
        return clock % length;
    if (stateStatics().s_state != State::RaceCountdown)
        return length - 1;
    if (raceStatics().s_startPhase < 3)
        return 0;
    const StartSequenceStatics& u = startSequenceStatics();
    length = 4001;
    return 4000 - u.s_startCount - u.s_startPhaseTimer;
}

// The frame of a still sprite primitive: 0, or digit + 1 of a racer's time;
// -1 when the digit names a racer the race does not have.
std::int32_t stillFrame(std::int32_t mode) {
    if ((mode & 15) != 2)
        return 0;
    const std::int32_t r = (mode >> 4) - 1;
    rt::ObjectArray* racers = raceStatics().s_racers;
    if (r < 0 || !racers || r / 7 >= racers->length())
        return -1;
    const auto* racer = static_cast<const cEntity*>(rt::ObjectArray::get(racers, r / 7));
    rt::IntArray* times = raceFrameStatics().s_racerTimes;
    if (!racer || !times || racer->m_racerIndex < 0 || racer->m_racerIndex >= times->length())
        return -1;
    return timeDigit(rt::IntArray::get(times, racer->m_racerIndex), r % 7) + 1;
}

void drawSprite(const Placement& m, const std::int16_t* p) {
    const RoadsideViewStatics& v = roadsideView();
    const std::int32_t d = p[3];
    const std::int32_t z = v.s_sliceDepth[m.slice] + d;
    if (z < kNearPlane)
        return;
    const std::int32_t scale = (v.s_cameraFocal << 12) / z;
    const std::int32_t a = m.anchor(true);
    const std::int32_t xA = m.lateral(a, lerpDivided(m.x0, m.x1, d), p[2]);
    const std::int32_t xB = m.lateral(a, lerpDivided(m.x0, m.x1, p[6]), p[5]);
    const std::int32_t sxA = v.s_screenCenterX + static_cast<std::int32_t>((std::int64_t{scale} * xA) >> 12);
    const std::int32_t sxB = v.s_screenCenterX + static_cast<std::int32_t>((std::int64_t{scale} * xB) >> 12);
    const std::int32_t width = std::abs(xB - xA);
    const std::int32_t ground = lerpDivided(m.h0, m.h1, d);
    const std::int32_t y = v.s_viewHorizonY - fixedMulRounded(ground, scale) - ((scale * p[4]) >> 12);
    const std::int32_t x = m.flipped && m.mirrored ? std::max(sxA, sxB) : std::min(sxA, sxB);
    const std::int32_t sprite = p[8] & 255;
    const std::int32_t mode = p[11];
    std::int32_t length = p[10];
    const std::int32_t frame = length != 0 ? 0 : stillFrame(mode);
    if (frame < 0)
        return;
    // An uncached frame answers width 0: nothing to scale.
    const std::int32_t frameWidth = getZoomedFrameRect(sprite, frame, 0, 4096, false);
    if (frameWidth <= 0)
        return;
    const auto zoom = static_cast<std::int32_t>(std::int64_t{width} * scale / frameWidth);
    const std::int32_t flip = m.flipped ? 1 : 0;
    if (length != 0) {
        const std::int32_t time = animationTime(mode, length);
        paintZoomedAnim(sprite, 0, zoom, x, y, flip, time, length, false, false, 255);
    } else {
        paintZoomedCached(sprite, frame, zoom, x, y, flip, false, 0, false);
    }
}

} // namespace

bool isInDetailClass(std::int32_t detail, std::int32_t slice) {
    switch (detail) {
    case kDetailNear:
        return slice < 11;
    case kDetailNearest:
        return slice < 7;
    case kDetailFar:
        return slice >= 11;
    default:
        return true;
    }
}

std::int32_t timeDigit(std::int32_t time, std::int32_t digit) {
    const std::int64_t t = std::llabs(std::int64_t{time});
    const auto seconds = static_cast<std::int32_t>(t >> 12);
    const auto ms = static_cast<std::int32_t>((t & 4095) * 999 / 4096);
    const std::int32_t minutes = seconds / 60;
    const std::int32_t rest = seconds - minutes * 60;
    const std::int32_t digits[7] = {minutes / 10, minutes % 10,  rest / 10, rest % 10,
                                    ms / 100,     ms % 100 / 10, ms % 10};
    return digit >= 0 && digit < 7 ? digits[digit] : 0;
}

void drawTrackSection(std::int32_t code, std::int32_t slice, std::int32_t offset, std::int32_t flags) {
    if (slice < 0 || slice + 1 >= kRoadSlices)
        return;
    rt::ObjectArray* model = sectionModel(code & 255);
    if (!model)
        return;
    const std::int32_t count =
        std::min(rt::IntArray::get(roadsideTrack().s_sectionModelSizes, code & 255), model->length());
    if (count < 1)
        return;
    platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (!g) {
        rt::reportNullPointer();
        return;
    }
    const RoadsideViewStatics& v = roadsideView();
    Placement m;
    m.slice = slice;
    m.offset = offset;
    m.flags = flags;
    m.mirrored = (flags & section_model_flags::kMirrored) != 0;
    m.flipped = (flags & section_model_flags::kFlipped) != 0;
    m.x0 = v.s_sliceX[slice];
    m.z0 = v.s_sliceDepth[slice];
    m.h0 = v.s_sliceHeight[slice];
    m.x1 = v.s_sliceX[slice + 1];
    m.z1 = v.s_sliceDepth[slice + 1];
    m.h1 = v.s_sliceHeight[slice + 1];
    if ((code & section_model_flags::kLowered) != 0) {
        const std::int32_t half = trackStatics().s_roadHalfWidth;
        m.h1 -= half * 5 / 4;
        m.h0 -= half * 3 / 4;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        rt::Object* entry = rt::ObjectArray::get(model, i);
        if (!entry || entry->classId() != rt::ClassId::ShortArray)
            continue;
        auto* primitive = static_cast<rt::ShortArray*>(entry);
        // A primitive is a shape of the track's objects; a type without a
        // layout is not drawn.
        const ShapeLayout* layout = shapeLayout(rt::ShortArray::get(primitive, 0));
        if (!layout || primitive->length() < layout->length)
            continue;
        const std::int16_t* p = primitive->elements();
        if (!isInDetailClass(detailOf(p), slice))
            continue;
        switch (p[0]) {
        case kColourShapeType:
            m.colour = (p[1] * 256 + p[2]) * 256 + p[3];
            break;
        case kRectangleShapeType:
            drawRectangle(m, p, g);
            break;
        case kPolygonShapeType:
            drawPolygon(m, p);
            break;
        case kLineShapeType:
            drawSectionLine(m, p, g);
            break;
        case kSpriteShapeType:
            drawSprite(m, p);
            break;
        default:
            break;
        }
    }
}

void drawSegmentSection(std::int32_t code, std::int32_t slice, std::int32_t offset) {
    if (slice < 0 || slice >= kRoadSlices)
        return;
    const std::int32_t segment = wrapSegment(roadsideView().s_sliceSegment[slice]);
    if (rt::ByteArray::get(trackStatics().s_segmentAttributes, 2 * segment + 1) == kNoSceneryAttribute)
        return;
    drawTrackSection(code, slice, offset,
                     code & (section_model_flags::kFlipped | section_model_flags::kMirrored));
}

namespace {

// The lane object of a dynamic trigger on lane `lane` of slice `slice`.
void paintTriggerLaneObject(std::int32_t lane, std::int32_t slice, bool wide) {
    if (slice < 0 || slice + 1 >= kRoadSlices)
        return;
    const TrackStatics& t = trackStatics();
    const RoadsideViewStatics& v = roadsideView();
    const SliceEdge nearEdge{v.s_sliceX[slice], v.s_sliceDepth[slice], v.s_sliceHeight[slice]};
    const SliceEdge farEdge{v.s_sliceX[slice + 1], v.s_sliceDepth[slice + 1], v.s_sliceHeight[slice + 1]};
    const SliceObjectView view{
        .focal = v.s_cameraFocal, .centerX = v.s_screenCenterX, .horizonY = v.s_defaultHorizonY};
    paintSliceObject(lane * t.s_laneWidth + t.s_laneWidth / 2 - t.s_roadHalfWidth, nearEdge, farEdge, wide,
                     view);
}

} // namespace

void paintRoadSliceSprite(std::int32_t slice, std::int32_t code, bool second) {
    const std::int32_t lane = (code >> 16) & 15;
    const RoadsideViewStatics& v = roadsideView();
    const RoadCamera camera{
        .focal = v.s_cameraFocal, .horizonY = v.s_viewHorizonY, .centerX = v.s_screenCenterX};
    const SlicePoint point = getRoadSliceX(camera, slice, (lane - 3) * 512, 0, 0);
    const ZoomPoolStatics& pool = zoomPoolStatics();
    if (!point.visible || !pool.s_fxPlayerC || !pool.s_fxPlayerD || slice < 0 || slice >= kRoadSlices)
        return;
    const rt::ByteArray* taken = trackStatics().s_segmentFlagsB;
    const std::int32_t segment = v.s_sliceSegment[slice];
    const auto flags = static_cast<std::uint8_t>(
        taken && segment >= 0 && segment < taken->length() ? rt::ByteArray::get(taken, segment) : 0);
    if (lane < 8 && ((flags >> lane) & 1) != 0)
        return;
    ZoomedAnimPlayer* player = second ? pool.s_fxPlayerD : pool.s_fxPlayerC;
    player->paint5(point.x, point.y, std::min(point.scale, 4096), 0);
}

void markRoadsideLane(std::int32_t slice, std::int32_t code) {
    if (slice < 0 || slice >= kRoadSlices)
        return;
    const std::int32_t lane = (code >> 16) & 15;
    const RoadsideViewStatics& v = roadsideView();
    const RoadCamera camera{
        .focal = v.s_cameraFocal, .horizonY = v.s_viewHorizonY, .centerX = v.s_screenCenterX};
    const SlicePoint point = getRoadSliceX(camera, slice, laneMarkLateral(lane), 0, 0);
    ZoomedAnimPlayer* player = itemBoxPlayer();
    const rt::IntArray* taken = triggerStatics().s_itemBoxTaken;
    const std::int32_t segment = v.s_sliceSegment[slice];
    if (!point.visible || !player || !taken || segment < 0 || segment >= taken->length() ||
        ((rt::IntArray::get(taken, segment) >> lane) & 1) != 0)
        return;
    player->paint5(point.x, point.y, std::min(point.scale, 4096), 0);
}

void paintDynamicTrigger(std::int32_t code, std::int32_t slice) {
    std::int32_t entry = 0;
    if (slice < 0 || slice >= kRoadSlices ||
        !findShownDynamicTrigger(code, roadsideView().s_sliceSegment[slice], entry))
        return;
    const std::int32_t value = entry & 255;
    if (((entry >> 24) & 255) == 0xFF) {
        if (!isEntryValueShown(value))
            return;
        const std::int32_t lane = (entry >> 16) & 15;
        switch (value) {
        case kEntryItemBox:
            markRoadsideLane(slice, entry);
            break;
        case kEntryCoin:
        case kEntryTenCoin:
            paintRoadSliceSprite(slice, entry, value == kEntryTenCoin);
            break;
        case kEntryLaneObject:
        case kEntryWideLaneObject:
            paintTriggerLaneObject(lane, slice, value == kEntryWideLaneObject);
            break;
        case kEntryBump:
            drawSegmentSection(kEntryBump, slice, lane * 512 - 2560);
            break;
        case kEntryRamp:
            drawSegmentSection(kEntryRamp, slice, lane * 512 - 1536);
            break;
        default:
            break;
        }
        return;
    }
    if (value > 3)
        drawTrackSection(entry, slice, 0,
                         entry & (section_model_flags::kFlipped | section_model_flags::kMirrored));
}

namespace {

constexpr std::int32_t kChequerColour = 0xFF0000;

// The rounded fixed-point product, taken in 64 bits: a near scale times a
// lateral position passes 32 bits.
std::int32_t fxWide(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>((std::int64_t{a} * b + 2048) >> 12);
}

// The quadrilateral between laterals `from` and `to` at the near and the
// far depth of a start-line part, as two triangles.
struct StartLineStrip {
    std::int32_t nearScale, farScale, nearY, farY;

    void fill(std::int32_t from, std::int32_t to) const {
        const std::int32_t centre = roadsideView().s_screenCenterX;
        const std::int32_t nl = centre + fxWide(nearScale, from), nr = centre + fxWide(nearScale, to);
        const std::int32_t fl = centre + fxWide(farScale, from), fr = centre + fxWide(farScale, to);
        fillClippedPolygon(nl, nearY, fl, farY, fr, farY);
        fillClippedPolygon(nl, nearY, fr, farY, nr, nearY);
    }
};

} // namespace

void paintStartLine(std::int32_t part, std::int32_t slice, std::int32_t colour) {
    const TrackStatics& t = trackStatics();
    const RoadsideViewStatics& v = roadsideView();
    platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (!g || slice < 0 || slice >= kRoadSlices || t.s_laneCount < 1)
        return;
    const std::int32_t lanes = t.s_laneCount;
    const std::int32_t half = lanes >> 1;
    const std::int32_t laneWidth = 2 * t.s_roadHalfWidth / lanes;
    const std::int32_t segment = wrapSegment(v.s_sliceSegment[slice]);
    const rt::ByteArray* edges = t.s_segmentEdgeFlags;
    const std::int32_t flags = edges && segment < edges->length() ? rt::ByteArray::get(edges, segment) : 0;
    const std::int32_t centreX = v.s_sliceX[slice];
    const std::int32_t left = centreX - (half - (flags & 1)) * laneWidth;
    const std::int32_t right = centreX + (half - ((flags >> 1) & 1)) * laneWidth;
    const std::int32_t step = roadSliceStatics().s_sliceStepDepth[slice];
    auto depthAt = [&](std::int32_t p) {
        const std::int32_t z = v.s_sliceDepth[slice] + fxWide(step, p * 128);
        return z == 0 ? 1 : z;
    };
    const std::int32_t zNear = depthAt(part), zFar = depthAt(part + 1);
    StartLineStrip strip;
    strip.nearScale = static_cast<std::int32_t>((std::int64_t{v.s_cameraFocal} << 12) / zNear);
    strip.farScale = static_cast<std::int32_t>((std::int64_t{v.s_cameraFocal} << 12) / zFar);
    strip.nearY = v.s_viewHorizonY - fxWide(strip.nearScale, v.s_sliceHeight[slice]);
    strip.farY = v.s_viewHorizonY - fxWide(strip.farScale, v.s_sliceHeight[slice]);
    g->setColor(colour);
    strip.fill(left, right);
    // Squares half a lane wide; a step of 0 would never leave the road.
    const std::int32_t square = laneWidth / 2;
    if (square < 1)
        return;
    const std::int32_t phase = (part & 1) != 0 ? laneWidth >> 1 : 0;
    g->setColor(kChequerColour);
    for (std::int32_t a = left, b = right; a <= centreX; a += square, b -= square) {
        if ((centreX - a) % laneWidth != phase)
            continue;
        strip.fill(a, a + square);
        strip.fill(b - square, b);
    }
}

} // namespace game
