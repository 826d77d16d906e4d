#include "game/racepaint/RaceScene.h"

#include "game/data/EventSlots.h"
#include "game/framework/Anchors.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/EventType.h"
#include "game/race/RaceObjects.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/RoadProjection.h"
#include "game/race/ScreenShake.h"
#include "game/race/StartSequence.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "game/racepaint/CarPainting.h"
#include "game/racepaint/Hud.h"
#include "game/racepaint/RaceOverlays.h"
#include "game/racepaint/RoadBands.h"
#include "game/racepaint/RoadsideView.h"
#include "game/racepaint/SceneryBuffer.h"
#include "game/racepaint/SectionModels.h"
#include "game/racepaint/SliceObjects.h"
#include "game/racepaint/SpeedLines.h"
#include "game/racepaint/VergesAndWalls.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Drawing.h"
#include "game/sprite/Paint.h"
#include "game/sprite/Scaler.h"
#include "game/sprite/ZoomCache.h"
#include "game/sprite/ZoomPlayers.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"
#include "runtime/javamath.h"

#include <algorithm>

namespace game {

namespace {

using platform::javax_microedition_lcdui_Graphics;

constexpr std::int32_t kOne = 4096;
// The slices the world paint walks, far to near: 12 down to 0.
constexpr std::int32_t kNearestFarSlice = kPaintedSliceCount - 1;
constexpr std::int32_t kStartLineParts = 4;
// The start gate stands in segment 0, drawn only beyond this depth.
constexpr std::int32_t kGateDepth = 200;
constexpr std::int32_t kLastCountPhase = 6;

// Trigger code kinds (code & 0xF000).
constexpr std::int32_t kSectionKind = 0x1000;
constexpr std::int32_t kDynamicKind = 0x2000;
constexpr std::int32_t kLaneObjectKind = 0x4000;
constexpr std::int32_t kSignKind = 0x5000;
constexpr std::int32_t kBoardKind = 0x7000;
constexpr std::int32_t kWideLaneObjectKind = 0xA000;
// Section codes with these bits are drawn under the road.
constexpr std::int32_t kLoweredBits = 0x300;
constexpr std::int32_t kMirrorBits = 0xC00;

javax_microedition_lcdui_Graphics* graphics() {
    return loopStatics().s_graphics;
}

ASprite* spriteOf(std::int32_t number) {
    rt::Object* object = spriteAt(number);
    return object && object->classId() == ASprite::kClassId ? static_cast<ASprite*>(object) : nullptr;
}

template <class A>
std::int32_t elementAt(const A* array, std::int32_t index) {
    return array && index >= 0 && index < array->length() ? A::get(array, index) : 0;
}

std::int32_t surfaceAttribute(std::int32_t segment) {
    return elementAt(trackStatics().s_segmentAttributes, rt::iadd(rt::imul(2, segment), 1));
}

// Whether slice k is drawn at all: a second-road slice that shows the main
// road's segment is the main road, and a slice turned too far is not drawn.
bool isSliceDrawn(std::int32_t i, std::int32_t k) {
    const RoadSliceStatics& s = roadSliceStatics();
    if (k != i && s.s_sliceSegment[k] == s.s_sliceSegment[i])
        return false;
    return !isSliceTurnedAway(k);
}

void clipToSlice(std::int32_t k) {
    const ShakeStatics& u = shakeStatics();
    setClip(graphics(), rt::ineg(u.s_shakeX), rt::ineg(u.s_shakeY), screenWidth(),
            roadBandStatics().s_sliceClipY[k]);
}

void clipToScreen() {
    const ShakeStatics& u = shakeStatics();
    setClip(graphics(), rt::ineg(u.s_shakeX), rt::ineg(u.s_shakeY), screenWidth(), screenHeight());
}

// The lateral position of lane n's centre.
std::int32_t laneCentre(std::int32_t n) {
    const TrackStatics& t = trackStatics();
    return rt::isub(rt::iadd(rt::imul(t.s_laneWidth, n), t.s_laneWidth / 2), t.s_roadHalfWidth);
}

SliceEdge sliceEdge(std::int32_t k) {
    const RoadSliceStatics& s = roadSliceStatics();
    return {s.s_sliceX[k], s.s_sliceDepth[k], s.s_sliceHeight[k]};
}

void paintLaneObject(std::int32_t lateral, std::int32_t k, bool wide) {
    const ViewPassStatics& v = viewPassStatics();
    paintSliceObject(
        lateral, sliceEdge(k), sliceEdge(k + 1), wide,
        {.focal = v.s_cameraFocal, .centerX = v.s_screenCenterX, .horizonY = v.s_defaultHorizonY});
}

void paintMovingObject(std::int32_t code, std::int32_t k) {
    const ViewPassStatics& v = viewPassStatics();
    const std::int32_t kind = (code & kMovingObjectSecondBit) != 0 ? 1 : 0;
    ZoomedAnimPlayer* player = triggerStatics().s_movingObjectPlayer;
    if (!v.s_movingObjectShown[kind] || !player)
        return;
    const SlicePoint r = getRoadSliceX(roadCamera(), k, v.s_movingObjectDrawX[kind], 0, 0);
    if (r.visible)
        player->paint5(r.x, r.y, std::min(r.scale, kOne), v.s_movingObjectDX[kind] > 0 ? 1 : 0);
}

// One trigger code of the far-to-near pass.
void paintTriggerCode(std::int32_t c, std::int32_t k, std::int32_t segment) {
    const bool flatGround = surfaceAttribute(segment) == kFlatGroundAttribute;
    switch (c & 0xF000) {
    case kSignKind:
        if (!flatGround)
            drawTrackSection(7, k, rt::imul((c & 15) - 5, 512), 0);
        break;
    case kBoardKind:
        if (!flatGround)
            drawTrackSection(8, k, rt::imul((c & 15) - 3, 512), 0);
        break;
    case kLaneObjectKind:
    case kWideLaneObjectKind:
        if (stateStatics().s_gameMode != GameMode::Guided)
            paintLaneObject(laneCentre(c & 15), k, (c & 0xF000) == kWideLaneObjectKind);
        break;
    case kSectionKind: {
        const ViewPassStatics& v = viewPassStatics();
        const std::int32_t id = c & 255;
        if (id > 3 && id != v.s_movingObjectId) {
            if ((c & kLoweredBits) == 0)
                drawSegmentSection(c, k, 0);
        } else if (stateStatics().s_gameMode == GameMode::LapRace && id == v.s_movingObjectId &&
                   elementAt(v.s_gateDone, segment) != 1) {
            paintMovingObject(c, k);
        }
        break;
    }
    case kDynamicKind:
        paintDynamicTrigger(c, k);
        break;
    default:
        break;
    }
}

// The dynamic roadside objects of `segment` (the effect pool's records:
// segment | slot << 16 | kind << 24, lateral, position, lift) into the pool's
// paint requests.
void placeTrackEffects(std::int32_t k, std::int32_t segment) {
    rt::IntArray* effects = zoomPoolStatics().s_poolRecordList;
    const std::int32_t count = effects ? effects->length() / 4 : 0;
    for (std::int32_t e = 0; e < count; ++e) {
        const std::int32_t head = rt::IntArray::get(effects, 4 * e);
        if ((head & 0xFFFF) != segment)
            continue;
        const std::int32_t kind = (head >> 24) & 255;
        if (kind < 2 || kind > 5)
            continue;
        const SlicePoint r =
            getRoadSliceX(roadCamera(), k, rt::IntArray::get(effects, 4 * e + 1),
                          rt::IntArray::get(effects, 4 * e + 2), rt::IntArray::get(effects, 4 * e + 3));
        if (r.visible)
            setAnimPoolSlot((head >> 16) & 255, r.x, r.y, std::min(rt::imul(2, r.scale), kOne), true);
    }
}

// What stands on the road in slice k: the start gate, the trigger codes'
// objects and the dynamic roadside objects.
void paintSliceContents(std::int32_t k) {
    const RoadSliceStatics& s = roadSliceStatics();
    const TrackStatics& t = trackStatics();
    const std::int32_t segment = s.s_sliceSegment[k];
    if (segment == 0 && s.s_sliceDepth[k] > kGateDepth) {
        for (std::int32_t part = kStartLineParts - 1; part >= 0; --part)
            paintStartLine(part, k, kWhite);
    }
    for (std::int32_t j = 0; j < t.s_triggersPerSegment; ++j) {
        const std::int32_t c = triggerCodeAt(segment, j);
        if (c != 0)
            paintTriggerCode(c, k, segment);
    }
    placeTrackEffects(k, segment);
}

void paintSliceEntities(std::int32_t k) {
    const std::int32_t count = viewPassStatics().s_sliceEntityCount[k];
    for (std::int32_t n = 0; n < count; ++n) {
        if (const cEntity* e = sliceEntity(k, n))
            paintEntity(e);
    }
}

// The slices k of step i: the main road's, then the second road's.
template <class Paint>
void forSlicesOf(std::int32_t i, bool secondRoad, Paint paint) {
    for (std::int32_t k = i; k < kSliceCount; k += kMainRoadSlices) {
        if (isSliceDrawn(i, k))
            paint(k);
        if (!secondRoad)
            break;
    }
}

// The view's values the roadside and car painters read, copied from the
// view pass and the drawing area each frame before anything is painted.
void feedRoadsideView() {
    const ViewPassStatics& v = viewPassStatics();
    const RoadSliceStatics& s = roadSliceStatics();
    const RoadBandStatics& area = roadBandStatics();
    RoadsideViewStatics& r = roadsideView();
    r.s_cameraFocal = v.s_cameraFocal;
    r.s_screenCenterX = v.s_screenCenterX;
    r.s_viewHorizonY = v.s_viewHorizonY;
    r.s_defaultHorizonY = v.s_defaultHorizonY;
    r.s_cameraSegment = v.s_cameraSegment;
    std::copy_n(s.s_sliceSegment, kRoadSlices, r.s_sliceSegment);
    std::copy_n(s.s_sliceAngle, kRoadSlices, r.s_sliceAngle);
    std::copy_n(s.s_sliceX, kRoadSlices, r.s_sliceX);
    std::copy_n(s.s_sliceDepth, kRoadSlices, r.s_sliceDepth);
    std::copy_n(s.s_sliceHeight, kRoadSlices, r.s_sliceHeight);
    std::copy_n(s.s_sliceScale, kRoadSlices, r.s_sliceScale);
    std::copy_n(s.s_sliceScreenX, kRoadSlices, r.s_sliceScreenX);
    std::copy_n(s.s_sliceScreenY, kRoadSlices, r.s_sliceScreenY);
    std::copy_n(s.s_sliceScreenWidth, kRoadSlices, r.s_sliceScreenWidth);
    r.s_sliceAngleLimit = v.s_sliceAngleLimit;
    r.s_clipLeft = area.s_clipLeft;
    r.s_clipTop = area.s_clipTop;
    r.s_clipRight = rt::iadd(area.s_clipLeft, area.s_viewWidth);
    r.s_clipBottom = area.s_clipBottom;
    r.s_viewWidth = area.s_viewWidth;
    r.s_shakeX = shakeStatics().s_shakeX;
    r.s_weatherMode = trackStatics().s_trackAmbience;
    r.s_roadBend = v.s_roadBend;
    CarPaintStatics& cars = carPaintStatics();
    cars.s_flashTimer = v.s_flashTimer;
    cars.s_cameraYaw = v.s_cameraYaw;
    cars.s_cameraHeading = v.s_cameraHeading;
}

} // namespace

RaceSceneStatics& raceSceneStatics() {
    return rt::getStaticClass().statics<RaceSceneStatics>();
}

void raceSceneStaticInit() {
    RaceSceneStatics& s = raceSceneStatics();
    s.s_horizonY = kHorizonY;
    s.s_backdropFrame = kBackdropFrame;
    s.s_backdropScrollX = kBackdropFirstScrollX;
    s.s_backdropAnimFrame = kFirstBackdropOverlayFrame;
    s.s_backdropSprite = -1;
    s.s_backdropWidth = screenWidth() / 2;
}

void setBackdrop(std::int32_t sprite) {
    RaceSceneStatics& s = raceSceneStatics();
    s.s_backdropSprite = sprite;
    s.s_backdropWidth = screenWidth() / 2;
    if (sprite < 0)
        return;
    ASprite* backdrop = spriteOf(sprite);
    const std::int32_t width = backdrop ? getFrameWidth(backdrop, s.s_backdropFrame) : 0;
    if (width > 0)
        s.s_backdropWidth = width;
}

void updateBackdropScroll() {
    RaceSceneStatics& s = raceSceneStatics();
    if (s.s_backdropWidth <= 0)
        return;
    s.s_backdropScrollX = rt::isub(s.s_backdropScrollX, kBackdropScrollStep);
    // Keep the left edge within one copy of the screen's left edge, where
    // the second copy closes the gap.
    if (s.s_backdropScrollX <= rt::ineg(s.s_backdropWidth))
        s.s_backdropScrollX = rt::iadd(s.s_backdropScrollX, s.s_backdropWidth);
}

void paintBackdrop(std::int32_t dx, std::int32_t dy, std::int32_t flags) {
    RaceSceneStatics& s = raceSceneStatics();
    javax_microedition_lcdui_Graphics* g = graphics();
    if (!g)
        return;
    const std::int32_t width = screenWidth();
    const std::int32_t h = std::max(s.s_horizonY, roadSliceStatics().s_sliceScreenY[15]);
    g->setColor(trackStyle(TrackStyleSlot::SkyColour));
    fillRect(g, 0, 0, width, rt::iadd(h, dy));
    if (ASprite* backdrop = s.s_backdropSprite >= 0 ? spriteOf(s.s_backdropSprite) : nullptr) {
        const std::int32_t n = backdrop->getFrameCount();
        const bool everyOther = (stateStatics().s_messageCount & 2) == 0;
        if (n == 2) {
            s.s_backdropAnimFrame = kFirstBackdropOverlayFrame;
        } else if (n > 2 && everyOther) {
            s.s_backdropAnimFrame =
                s.s_backdropAnimFrame + 1 > n - 1 ? kFirstBackdropOverlayFrame : s.s_backdropAnimFrame + 1;
        }
        const bool overlay = n >= 3 || (n == 2 && everyOther);
        const std::int32_t x = rt::iadd(s.s_backdropScrollX, dx);
        const std::int32_t y = rt::iadd(h, dy);
        auto paintCopy = [&](std::int32_t at) {
            paintFrame(backdrop, g, s.s_backdropFrame, at, y, flags, 0, 0);
            if (overlay)
                paintFrame(backdrop, g, s.s_backdropAnimFrame, at, y, flags, 0, 0);
        };
        paintCopy(x);
        if (x > 0)
            paintCopy(rt::isub(x, s.s_backdropWidth));
        else if (rt::iadd(x, s.s_backdropWidth) < width)
            paintCopy(rt::iadd(x, s.s_backdropWidth));
    }
    if (platform::javax_microedition_lcdui_Image* haze = s.s_hazeImage) {
        const std::int32_t hazeWidth = haze->getWidth();
        // A strip of no width is no haze; one wider than the screen is not
        // drawn either (no whole copy fits).
        const std::int32_t copies = hazeWidth > 0 ? width / hazeWidth : 0;
        for (std::int32_t i = 0; i < copies; ++i)
            drawImage(g, haze, i * hazeWidth, h - kHazeLift, kAnchorTopLeft);
    }
}

void paintWorld(bool secondRoad) {
    const TrackStatics& t = trackStatics();
    const RoadSliceStatics& s = roadSliceStatics();
    // Sections lowered under the road, before the road covers them.
    for (std::int32_t i = kNearestFarSlice; i >= 0; --i) {
        forSlicesOf(i, secondRoad, [&](std::int32_t k) {
            clipToSlice(k);
            if (!t.s_triggerCodes)
                return;
            const std::int32_t segment = s.s_sliceSegment[k];
            for (std::int32_t j = 0; j < t.s_triggersPerSegment; ++j) {
                const std::int32_t c = triggerCodeAt(segment, j);
                if (c != 0 && (c & 0xF000) == kSectionKind && (c & kLoweredBits) != 0 &&
                    surfaceAttribute(segment) != kFlatGroundAttribute)
                    drawTrackSection(c, k, 0, c & kMirrorBits);
            }
        });
    }
    paintRoadBands({.angleLimit = viewPassStatics().s_sliceAngleLimit, .shakeX = shakeStatics().s_shakeX});
    for (std::int32_t i = kNearestFarSlice; i >= 0; --i) {
        forSlicesOf(i, secondRoad, [](std::int32_t k) {
            clipToSlice(k);
            paintSliceContents(k);
        });
        forSlicesOf(i, secondRoad, [](std::int32_t k) {
            clipToSlice(k);
            paintSliceEntities(k);
        });
    }
    clipToScreen();
}

void paintPlayerMarkers() {
    // The race objects' marker records: shown, kind, x offset, screen y.
    const rt::IntArray* records = raceObjectStatics().s_playerMarkers;
    const cEntity* player = racerStatics().s_playerCar;
    ASprite* markers = spriteOf(kRaceIconSprite);
    if (!player || !markers || !records)
        return;
    for (std::int32_t i = 0; i + 3 < records->length(); i += 4) {
        if (rt::IntArray::get(records, i) == 1)
            paintFrame(markers, graphics(),
                       rt::IntArray::get(records, i + 1) != 0 ? kAlertMarkerFrame : kPlayerMarkerFrame,
                       rt::iadd(player->m_screenX, rt::IntArray::get(records, i + 2)),
                       rt::IntArray::get(records, i + 3), 0, 0, 0);
    }
}

void paintRaceScene() {
    feedRoadsideView();
    computeSceneryStrips();
    paintBackdrop(0, 0, 0);
    clipToScreen();
    paintVergesAndWalls();
    (void)paintSceneryBuffer();
    // Its effect shows from the next frame: the backdrop is drawn.
    if (trackStatics().s_trackAmbience == kStripWeather)
        updateBackdropScroll();
    paintWorld(viewPassStatics().s_hasSecondRoad != 0);
    paintAnimPool();
    paintPlayerMarkers();
    paintSpeedLines();
}

void paintRaceStart() {
    paintRaceScene();
    const std::int32_t t = startSequenceStatics().s_startPhaseTimer / 100;
    const std::int32_t phase = raceStatics().s_startPhase;
    const std::int32_t centre = viewPassStatics().s_screenCenterX;
    const EventSlotStatics& slots = eventSlotStatics();
    const EventType eventType = eventTypeFromNumber(elementAt(slots.s_eventType, slots.s_currentEvent));
    if (ASprite* start = spriteOf(kStartSprite)) {
        if (phase >= 3 && phase <= kLastCountPhase && eventType != EventType::Sprint) {
            const std::int32_t anim = kFirstCountAnim + phase - 3;
            const std::int32_t frame = std::max(std::min(10 - t, start->getAFrameCount(anim) - 1), 0);
            paintAFrame(start, graphics(), anim, frame, centre, kStartCountY, 0, 0, 0);
        }
    }
    if (phase == kLastCountPhase && t < 7) {
        // Shrinks from seven times its size to its own while its alpha
        // rises from 102 to 255; centred on the count's place.
        const std::int32_t scale = (t + 1) * kOne;
        const std::int32_t alpha = (5 - t / 2) * 51;
        const std::int32_t w = getZoomedFrameRect4(kStartSprite, kStartZoomFrame, 0, scale);
        const std::int32_t h = getZoomedFrameRect4(kStartSprite, kStartZoomFrame, 1, scale);
        const std::int32_t ox = getZoomedFrameRect4(kStartSprite, kStartZoomFrame, 2, scale);
        const std::int32_t oy = getZoomedFrameRect4(kStartSprite, kStartZoomFrame, 3, scale);
        paintZoomedCached(kStartSprite, kStartZoomFrame, scale, centre - ox - w / 2,
                          kStartCountY - oy - h / 2, 0, false, alpha, true);
    }
    paintRaceNotice();
    paintHud();
}

} // namespace game
