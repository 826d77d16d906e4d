#include "game/race/ViewPass.h"

#include "game/race/EventGoals.h"
#include "game/race/TrackGeometry.h"

#include "game/data/EventSlots.h"
#include "game/framework/FixedPoint.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/race/CarViewPass.h"
#include "game/race/DynamicTriggerView.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "runtime/StaticClass.h"
#include "runtime/javamath.h"

#include <algorithm>

namespace game {

namespace {

using rt::iadd;
using rt::imul;
using rt::isub;

// The states in which the player's car stands on its slice like any other.
constexpr std::int32_t kSectionKind = 0x1000;

template <class A>
std::int32_t valueAt(const A* array, std::int32_t index) {
    return array && index >= 0 && index < array->length() ? A::get(array, index) : 0;
}

std::int32_t curveScaleAt(std::int32_t segment, std::int32_t lateral) {
    return getCurveScale(segment, lateral);
}

TrackOffset traceBack(std::int32_t x, std::int32_t z, std::int32_t fromSeg, std::int32_t toSeg) {
    traceTrackOffset(x, z, fromSeg, toSeg);
    const TrackGeometryStatics& g = trackGeometryStatics();
    return {g.s_traceX, g.s_traceZ};
}

bool isChased(const cEntity* e) {
    if (e->m_type != 0)
        return false;
    const EventType type = currentEventType();
    if (raceStatics().s_raceFinished && (type == EventType::Laps || type == EventType::Collection))
        return false;
    const State top = topOfStateStack();
    return top != State::RacerIntro && top != State::TrackFlyover;
}

// The moving object's kind of code `c`: 1 for codes with the second bit.
std::int32_t movingKind(std::int32_t c) {
    return (c & kMovingObjectSecondBit) != 0 ? 1 : 0;
}

bool showsMovingObject(std::int32_t c, std::int32_t segment) {
    const ViewPassStatics& v = viewPassStatics();
    return c != 0 && (c & 0xF000) == kSectionKind && stateStatics().s_gameMode == GameMode::LapRace &&
           (c & 255) == v.s_movingObjectId && valueAt(v.s_gateDone, segment) != 1;
}

} // namespace

ViewPassStatics& viewPassStatics() {
    return rt::getStaticClass().statics<ViewPassStatics>();
}

void viewPassStaticInit() {
    ViewPassStatics& v = viewPassStatics();
    if (!v.s_sliceEntities)
        v.s_sliceEntities = rt::newObjectArray(kSliceCount * kSliceEntityLimit);
    v.s_screenCenterX = config().s_gameScreenWidth / 2;
    v.s_viewHorizonY = config().s_gameScreenHeight / 2;
    v.s_defaultHorizonY = v.s_viewHorizonY;
}

RoadCamera roadCamera() {
    const ViewPassStatics& v = viewPassStatics();
    RoadCamera camera{.segment = v.s_cameraSegment,
                      .lateral = v.s_cameraLateral,
                      .focal = v.s_cameraFocal,
                      .pitch = v.s_cameraPitch,
                      .pitchOffset = v.s_cameraPitchOffset,
                      .lift = v.s_cameraLift,
                      .distance = v.s_cameraDistance,
                      .horizonY = v.s_viewHorizonY,
                      .centerX = v.s_screenCenterX,
                      .playerSegment = v.s_cameraSegment,
                      .playerSegmentPos = 0};
    if (const cEntity* player = racerStatics().s_playerCar) {
        camera.playerSegment = player->m_segment;
        camera.playerSegmentPos = player->m_segmentPos;
    }
    return camera;
}

void projectFromCamera() {
    const ViewPassStatics& v = viewPassStatics();
    const TrackStatics& t = trackStatics();
    std::int32_t next = iadd(v.s_cameraSegment, 1);
    if (next >= t.s_segmentCount)
        next = 0;
    std::int32_t depth = v.s_cameraSegmentPos;
    if (valueAt(t.s_segmentCurve, next) != 0) {
        // A scale below 1 would divide by zero or turn the camera round.
        depth = rt::ishl(depth, 10) / std::max(curveScaleAt(next, v.s_cameraLateral), 1);
    }
    const std::int32_t heading = iadd(v.s_cameraHeading, v.s_cameraYaw);
    std::int32_t lateral = rt::ineg(v.s_cameraLateral);
    if (heading != 0) {
        depth = sliceFx(cos(heading), depth);
        const std::int32_t slope = tan(heading);
        lateral = isub(sliceFx(slope, depth), v.s_cameraLateral);
    }
    projectRoad(roadCamera(), v.s_cameraSegment, heading, lateral, rt::ineg(depth),
                rt::ineg(v.s_cameraHeight));
}

cEntity* sliceEntity(std::int32_t k, std::int32_t n) {
    const ViewPassStatics& v = viewPassStatics();
    if (k < 0 || k >= kSliceCount || n < 0 || n >= v.s_sliceEntityCount[k])
        return nullptr;
    return static_cast<cEntity*>(rt::ObjectArray::get(v.s_sliceEntities, k * kSliceEntityLimit + n));
}

bool projectEntity(cEntity* e, std::int32_t k) {
    const ViewPassStatics& v = viewPassStatics();
    const RoadSliceStatics& s = roadSliceStatics();
    if (k < 0 || k >= kSliceCount)
        return false;
    std::int32_t x = 0;
    std::int32_t z = 0;
    if (isChased(e)) {
        const TrackOffset p = traceBack(e->m_lateral, e->m_segmentPos, e->m_segment, v.s_cameraSegment);
        const std::int32_t angle = atan2(isub(p.x, v.s_cameraLateral), isub(p.z, v.s_cameraSegmentPos));
        z = iadd(v.s_cameraDistance, v.s_cameraExtraDistance);
        if (z <= 0)
            return false;
        x = sliceFx(sliceSine(isub(isub(angle, v.s_cameraYaw), v.s_cameraHeading)), z);
    } else {
        z = iadd(s.s_sliceDepth[k], sliceFx(s.s_sliceStepDepth[k], e->m_segmentPos));
        z = iadd(z, 1) & ~1;
        if (z <= 0)
            return false;
        x = iadd(iadd(s.s_sliceX[k], sliceFx(s.s_sliceStepX[k], e->m_segmentPos)), e->m_lateral);
    }
    const std::int32_t y = iadd(s.s_sliceHeight[k], sliceFx(s.s_sliceStepHeight[k], e->m_segmentPos));
    const std::int32_t focal = v.s_cameraFocal;
    const std::int32_t horizon = v.s_viewHorizonY;
    e->m_screenX = iadd(v.s_screenCenterX, imul(focal, x) / z);
    e->m_screenGroundY = isub(horizon, imul(focal, y) / z);
    if (e->m_height != 0)
        e->m_screenY = isub(horizon, imul(iadd(e->m_height, y), focal) / z);
    else if (e->m_spriteSet == kLagSpriteSet)
        e->m_screenY = isub(horizon, imul(iadd(raceEntityStatics().s_topSpeedLag, y), focal) / z);
    else
        e->m_screenY = e->m_screenGroundY;
    e->m_screenScale = drawingScale(roadCamera(), z);
    return true;
}

void addEntityToSlice(cEntity* e, bool mainRoad) {
    if (!e)
        return;
    ViewPassStatics& v = viewPassStatics();
    const RoadSliceStatics& s = roadSliceStatics();
    e->m_roadSlice = -1;
    if (!e->m_active)
        return;
    const std::int32_t first = mainRoad ? 0 : kMainRoadSlices;
    const std::int32_t farthest = first + kMainRoadSlices - 2;
    std::int32_t k = first;
    while (k <= farthest && s.s_sliceSegment[k] != e->m_segment)
        ++k;
    if (k > farthest)
        return;
    e->m_roadSlice = k;
    // Nothing is drawn farther than 14 segment lengths ahead of the camera.
    if (k == farthest && e->m_segmentPos >= v.s_cameraSegmentPos)
        return;
    if (!projectEntity(e, k))
        return;
    const std::int32_t n = v.s_sliceEntityCount[k];
    if (n >= kSliceEntityLimit || !v.s_sliceEntities)
        return;
    std::int32_t j = 0;
    while (j < n && sliceEntity(k, j)->m_segmentPos >= e->m_segmentPos)
        ++j;
    rt::ObjectArray* bins = v.s_sliceEntities;
    for (std::int32_t m = n; m > j; --m)
        rt::ObjectArray::set(bins, k * kSliceEntityLimit + m,
                             rt::ObjectArray::get(bins, k * kSliceEntityLimit + m - 1));
    rt::ObjectArray::set(bins, k * kSliceEntityLimit + j, e);
    v.s_sliceEntityCount[k] = static_cast<std::int16_t>(n + 1);
}

void sortEntitiesIntoSlices() {
    ViewPassStatics& v = viewPassStatics();
    if (!v.s_sliceEntities)
        viewPassStaticInit();
    std::fill(std::begin(v.s_sliceEntityCount), std::end(v.s_sliceEntityCount), std::int16_t{0});
    // Last frame's entities are let go, so that a released car is not kept.
    for (rt::Object*& slot : rt::ObjectArray::span(v.s_sliceEntities))
        slot = nullptr;
    const std::int32_t cars = racerCount();
    for (std::int32_t i = 0; i < cars; ++i) {
        cEntity* car = racerAt(i);
        addEntityToSlice(car, true);
        if (v.s_hasSecondRoad)
            addEntityToSlice(car, false);
    }
    rt::ObjectArray* objects = raceStatics().s_raceObjects;
    const std::int32_t count = objects ? objects->length() : 0;
    for (std::int32_t i = 0; i < count; ++i) {
        auto* object = static_cast<cEntity*>(rt::ObjectArray::get(objects, i));
        if (object && object->m_active)
            addEntityToSlice(object, true);
    }
}

void updateViewTimers() {
    ViewPassStatics& v = viewPassStatics();
    if (v.s_flashTimer > 0)
        v.s_flashTimer = std::max(isub(v.s_flashTimer, raceStatics().s_raceFrameTime), 0);
    triggerStatics().s_laneTargetsOn = 0;
    const RoadSliceStatics& s = roadSliceStatics();
    v.s_roadBend = isub(s.s_sliceX[3], s.s_sliceX[0]) / 10;
}

bool isSliceTurnedAway(std::int32_t k) {
    if (k < 0 || k >= kSliceCount)
        return true;
    const std::int32_t angle = roadSliceStatics().s_sliceAngle[k];
    return std::max(angle, rt::ineg(angle)) >= viewPassStatics().s_sliceAngleLimit;
}

std::int32_t triggerCodeAt(std::int32_t segment, std::int32_t j) {
    const TrackStatics& t = trackStatics();
    const std::int32_t perSegment = t.s_triggersPerSegment;
    if (segment < 0 || j < 0 || j >= perSegment)
        return 0;
    return valueAt(t.s_triggerCodes, iadd(imul(segment, perSegment), j));
}

void stepMovingObjects(bool inRace) {
    ViewPassStatics& v = viewPassStatics();
    const RoadSliceStatics& s = roadSliceStatics();
    const TrackStatics& t = trackStatics();
    v.s_movingObjectShown[0] = v.s_movingObjectShown[1] = 0;
    if (v.s_movingObjectId < 0 || !t.s_triggerCodes)
        return;
    const std::int32_t limit = isub(t.s_roadHalfWidth, t.s_laneWidth);
    for (std::int32_t i = kPaintedSliceCount - 1; i >= 0; --i) {
        if (isSliceTurnedAway(i))
            continue;
        const std::int32_t segment = s.s_sliceSegment[i];
        for (std::int32_t j = 0; j < t.s_triggersPerSegment; ++j) {
            const std::int32_t c = triggerCodeAt(segment, j);
            if (!showsMovingObject(c, segment))
                continue;
            const std::int32_t kind = movingKind(c);
            if (v.s_movingObjectShown[kind])
                continue;
            std::int32_t& x = v.s_movingObjectX[kind];
            std::int32_t& dx = v.s_movingObjectDX[kind];
            if (x > limit || x < rt::ineg(limit)) {
                dx = rt::ineg(dx);
                x = dx > 0 ? rt::ineg(limit) : limit;
            }
            v.s_movingObjectDrawX[kind] = x;
            v.s_movingObjectShown[kind] = 1;
        }
    }
    // The object moves once per painted frame of the race itself and
    // stands still under the pause and question states.
    for (std::int32_t kind = 0; kind < 2 && inRace; ++kind)
        if (v.s_movingObjectShown[kind])
            v.s_movingObjectX[kind] = iadd(v.s_movingObjectX[kind], v.s_movingObjectDX[kind]);
}

void runViewPass(bool inRace) {
    projectFromCamera();
    sortEntitiesIntoSlices();
    updateViewTimers();
    stepMovingObjects(inRace);
    markRoadsideLanes();
    prepareSliceEntities();
}

void finishViewPass() {
    finishSliceEntities();
}

void runViewPass() {
    runViewPass(stateStatics().s_state == State::Race);
}

} // namespace game
