#include "game/race/RaceCamera.h"

#include "game/framework/FixedPoint.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceObjects.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackGeometry.h"
#include "game/race/ViewPass.h"
#include "game/race/cEntity.h"
#include "runtime/StaticClass.h"

namespace game {

CameraStatics& cameraStatics() {
    return rt::getStaticClass().statics<CameraStatics>();
}

namespace {

constexpr std::int32_t kOne = 4096;
constexpr std::int32_t kQuarterTurn = 1024;
// 8 degrees: the turn towards the edge offset of the drive after the finish.
constexpr std::int32_t kFinishSteer = 45;
constexpr std::int32_t kTargetPullBack = 3200;
constexpr std::int32_t kPullBack = 300;
constexpr std::int32_t kContactPullBack = 100;
constexpr std::int32_t kTargetSlowing = -720;
// 30 degrees: the opening turn of an event of type 10.
constexpr std::int32_t kStateJudgedTurn = 2048 * 30 / 360;

std::int32_t clampUnit(std::int32_t v) {
    return v < 0 ? 0 : (v > kOne ? kOne : v);
}

std::int32_t segmentSlope(std::int32_t segment) {
    const rt::IntArray* heights = trackStatics().s_segmentHeight;
    std::int32_t s = wrapSegment(segment);
    return heights && s < heights->length() ? rt::IntArray::get(heights, s) : 0;
}

std::int32_t pathLength() {
    const rt::ObjectArray* paths = trackStatics().s_cameraPaths;
    std::int32_t path = cameraStatics().s_cameraPath;
    if (!paths || path < 0 || path >= paths->length())
        return 0;
    const auto* points = static_cast<const rt::ShortArray*>(rt::ObjectArray::get(paths, path));
    return points ? points->length() / 4 : 0;
}

// The sum of the curvatures from `from` down to, but not including, `to`,
// walking back round the ring.
std::int32_t curvesBack(std::int32_t from, std::int32_t to) {
    const std::int32_t count = trackStatics().s_segmentCount;
    std::int32_t sum = 0;
    std::int32_t s = wrapSegment(from);
    to = wrapSegment(to);
    for (std::int32_t n = 0; n < count && s != to; ++n) {
        sum += segmentCurveAt(s);
        s = wrapSegment(s - 1);
    }
    return sum;
}

// Walks the camera from its segment to `target` one segment at a time:
// forward when `target` lies ahead (greater, or the camera is more than half
// the ring ahead of it), else back. Entering a segment forward adds its
// curvature to the angles; going back out of one takes it off, so a walk
// and its reverse leave the angles as they were.
void walkToSegment(std::int32_t target, bool turnHeading) {
    CameraStatics& c = cameraStatics();
    const std::int32_t count = trackStatics().s_segmentCount;
    std::int32_t from = c.s_cameraSegment;
    if (target == from || count <= 0) {
        c.s_cameraSegment = target;
        return;
    }
    const bool forward = target > from || from - target > count / 2;
    std::int32_t s = wrapSegment(from);
    const std::int32_t to = wrapSegment(target);
    for (std::int32_t n = 0; n < count && s != to; ++n) {
        std::int32_t turn = 0;
        if (forward) {
            s = wrapSegment(s + 1);
            turn = segmentCurveAt(s);
        } else {
            turn = -segmentCurveAt(s);
            s = wrapSegment(s - 1);
        }
        c.s_cameraTrackAngle += turn;
        if (turnHeading)
            c.s_cameraHeading += turn;
    }
    c.s_cameraSegment = target;
}

void stepPitch(std::int32_t elapsed) {
    CameraStatics& c = cameraStatics();
    std::int64_t w = clampUnit(elapsed * 6);
    std::int64_t d = std::int64_t{segmentSlope(c.s_cameraSegment)} - c.s_cameraPitch;
    c.s_cameraPitch += static_cast<std::int32_t>((d * w + 2048) >> 12);
}

void beginStep() {
    CameraStatics& c = cameraStatics();
    c.s_viewHorizonY = c.s_viewHorizonBaseY;
    c.s_cameraPrevSegment = c.s_cameraSegment;
    c.s_cameraTrackAngle = c.s_cameraHeading;
}

// The pull-back: answers the follow distance of this step.
std::int32_t updatePullBack(cEntity* p, std::int32_t elapsed) {
    CameraStatics& c = cameraStatics();
    if (c.s_cameraExtraDistance == 0)
        c.s_pullBackTime = 0;
    if (c.s_hidePlayerCar)
        return c.s_cameraDistance;
    c.s_pullBackTime += elapsed;
    if (p->m_hasTarget)
        c.s_pullBackTime += 2 * elapsed;
    std::int32_t acc = p->m_speed - p->m_prevSpeed;
    if (p->m_targetTime > 0 || (c.s_cameraExtraDistance > 0 && p->m_boostTimer <= 0))
        acc = kTargetSlowing;
    if (p->m_targetTime > 0) {
        p->m_targetTime -= 8 * elapsed;
        if (p->m_targetTime < 0) {
            p->m_targetTime = 0;
            p->m_hasTarget = 0;
            p->m_targetRacer = -1;
            c.s_cameraExtraDistance = 0;
            c.s_pullBackTime = 0;
        }
    }
    const std::int32_t gear = drivingStatics().s_playerGear;
    const std::int32_t topGear = p->m_stats ? p->m_stats->length() - 1 : 0;
    if ((acc < 0 && !p->m_hasTarget) || p->m_targetTime > 0) {
        c.s_pullBackTime = 0;
        std::int32_t t = divOrZero(-(c.s_cameraBrakeScale * acc), c.s_cameraBrakeDivisor);
        if (t > 4 * c.s_cameraBrakeScale)
            t = 2 * c.s_cameraBrakeScale;
        c.s_cameraExtraDistance = lerpClamped(c.s_cameraExtraDistance, c.s_cameraPullMin, t);
    } else if (gear < topGear && p->m_boostTimer <= 0 && !p->m_hasTarget) {
        c.s_pullBackTime = 0;
        if (c.s_cameraExtraDistance != 0) {
            std::int32_t back = lerpClamped(0, -c.s_cameraExtraDistance, c.s_cameraReturnRate);
            if (back == 0) {
                c.s_cameraExtraDistance = 0;
                c.s_pullBackGear = gear;
            } else {
                c.s_cameraExtraDistance += back;
            }
        } else {
            c.s_pullBackGear = gear;
        }
    } else {
        std::int32_t limit = p->m_hasTarget ? kTargetPullBack : kPullBack;
        if (p->m_sideContact != 0)
            limit = kContactPullBack;
        bool reached = false;
        if (c.s_cameraExtraDistance < limit) {
            // A gear time of 0 from data pulls nothing rather than dividing
            // by it.
            std::int32_t pull = divOrZero(c.s_pullBackTime * limit, clampedAt(p->m_gearTable, gear));
            if (pull >= limit) {
                std::int32_t out = lerpClamped(0, limit - c.s_cameraExtraDistance, c.s_cameraPullRate);
                c.s_cameraExtraDistance = out == 0 ? limit : c.s_cameraExtraDistance + out;
                reached = (c.s_cameraExtraDistance >> 10) == (limit >> 10);
            } else if (pull > c.s_cameraExtraDistance) {
                c.s_cameraExtraDistance = pull;
            }
        }
        if (p->m_hasTarget && reached && !p->m_targetFired) {
            // The aimed object waits at the player's car for the racer one
            // place behind, which the player took aim at. It homes: its hit
            // is sure and hands the player's lock back (`m_targetTime`).
            (void)spawnEntity(kObjectAimed, p, kTargetBehindOwner, true);
            p->m_targetFired = 1;
            useItemCharge(p, false);
        }
    }
    return c.s_cameraDistance + c.s_cameraExtraDistance;
}

// The camera `distance` behind the car, along the camera's heading turned
// back by the road between them.
void follow(const cEntity* p, std::int32_t distance) {
    CameraStatics& c = cameraStatics();
    std::int32_t angle = c.s_cameraHeading + kQuarterTurn + curvesBack(p->m_segment, c.s_cameraSegment);
    TrackPoint point = projectAndTestSegment(p->m_segment, p->m_lateral, p->m_segmentPos, distance, angle);
    c.s_cameraLateral = point.lateral;
    c.s_cameraSegmentPos = point.position;
    if (point.segment != c.s_cameraSegment)
        walkToSegment(point.segment, true);
}

// Off the road the camera stays on the road's side of the car.
void holdOnRoadSide(const cEntity* p, std::int32_t distance) {
    CameraStatics& c = cameraStatics();
    if (p->m_offRoad != 2)
        return;
    auto past = [p](std::int32_t x) {
        return p->m_offRoadSide == 2 ? cameraStatics().s_cameraLateral > x
                                     : cameraStatics().s_cameraLateral < x;
    };
    if (p->m_segment == c.s_cameraSegment) {
        if (past(p->m_lateral)) {
            c.s_cameraLateral = p->m_lateral;
            c.s_cameraSegmentPos = p->m_segmentPos - distance > 0 ? p->m_segmentPos - distance : 0;
            c.s_cameraHeading = 0;
        }
        return;
    }
    const TrackGeometryStatics& g = trackGeometryStatics();
    traceTrackOffset(p->m_lateral, p->m_segmentPos, p->m_segment, c.s_cameraSegment);
    const std::int32_t x = g.s_traceX;
    const std::int32_t z = g.s_traceZ;
    if (!past(x))
        return;
    c.s_cameraLateral = x;
    c.s_cameraSegmentPos = z - distance;
    traceTrackOffset(p->m_lateral, 0, p->m_segment, c.s_cameraSegment);
    if (c.s_cameraSegmentPos > g.s_traceZ)
        c.s_cameraSegmentPos = g.s_traceZ - 1;
    c.s_cameraHeading = 0;
}

// (sin << 12) / cos, 0x7FFFFFFF where the cosine is 0.
std::int32_t tangent(std::int32_t angle) {
    return tan(angle);
}

std::int32_t fxRound(std::int32_t a, std::int32_t b) {
    return (a * b + 2048) >> 12;
}

} // namespace

void cameraStaticInit() {
    CameraStatics& c = cameraStatics();
    c.s_defaultHorizonY = config().s_gameScreenHeight - kHorizonAboveBottom;
    c.s_screenCenterX = config().s_gameScreenWidth / 2;
    applyCameraDefaults();
}

void applyCameraDefaults() {
    CameraStatics& c = cameraStatics();
    c.s_viewHorizonBaseY = c.s_viewHorizonY = c.s_defaultHorizonY;
    c.s_cameraHeightBase = c.s_cameraHeight = kCameraHeight;
    c.s_hidePlayerCar = 0;
    c.s_cameraFocal = kCameraFocal;
    c.s_cameraDistance = kCameraDistance;
    c.s_cameraPitchOffset = 0;
    c.s_cameraLift = 0;
    c.s_cameraExtraDistance = 0;
}

void updateCamera(std::int32_t elapsed) {
    CameraStatics& c = cameraStatics();
    cEntity* p = racerStatics().s_playerCar;
    if (!p)
        return;
    const bool finished = raceStatics().s_raceFinished != 0;
    if (finished)
        applyCameraDefaults();
    beginStep();
    std::int32_t w = clampUnit(elapsed * 5);
    c.s_cameraLift = (c.s_cameraLift + ((w * (p->m_height - c.s_cameraLift)) >> 12)) >> 1;
    const EventType type = currentEventType();
    if (finished && (type == EventType::Laps || type == EventType::Collection)) {
        std::int32_t a = divOrZero((getRoadEdgeOffset(p) - c.s_cameraLateral) * kFinishSteer,
                                   trackStatics().s_roadHalfWidth);
        std::int64_t s = (std::int64_t{elapsed} * ((p->m_speed * 7) >> 3) + 2048) >> 12;
        std::int32_t d = static_cast<std::int32_t>(((static_cast<std::int32_t>(s) / 10 << 10) + 2048) >> 12);
        moveCamera(d, a, true);
    } else if (p->m_speed > 0 || p->m_fallen || p->m_onPath) {
        updateCameraHeading(elapsed);
        std::int32_t distance = updatePullBack(p, elapsed);
        follow(p, distance);
        holdOnRoadSide(p, distance);
    }
    stepPitch(elapsed);
}

void moveCamera(std::int32_t distance, std::int32_t angle, bool takeLateral) {
    CameraStatics& c = cameraStatics();
    TrackPoint point =
        projectAndTestSegment(c.s_cameraSegment, c.s_cameraLateral, c.s_cameraSegmentPos, distance, angle);
    if (takeLateral)
        c.s_cameraLateral = point.lateral;
    c.s_cameraSegmentPos = point.position;
    if (point.segment != c.s_cameraSegment)
        walkToSegment(point.segment, false);
    const std::int32_t halfWidth = trackStatics().s_roadHalfWidth;
    const std::int32_t curve = segmentCurveAt(c.s_cameraSegment + 1);
    std::int32_t t = c.s_cameraSegmentPos;
    if (curve != 0) {
        std::int32_t k = tangent(curve < 0 ? -curve : curve);
        std::int32_t e = curve < 0 ? halfWidth - c.s_cameraLateral : halfWidth + c.s_cameraLateral;
        // A scale of 0 (a bend folded over its centre) puts the camera at
        // the start of the turn instead of dividing by it.
        t = divOrZero(c.s_cameraSegmentPos << 10, fxRound(e, k) + 1024);
    }
    c.s_cameraHeading = segmentCurveAt(c.s_cameraSegment) * (1024 - t) / 1024;
}

void updateCameraHeading(std::int32_t elapsed) {
    CameraStatics& c = cameraStatics();
    const cEntity* p = racerStatics().s_playerCar;
    if (!p)
        return;
    std::int32_t target = p->m_smoothHeading;
    std::int32_t limit = drivingStatics().s_maxHeading;
    if (p->m_sideContact != 0) {
        std::int32_t heading = p->m_heading < 0 ? -p->m_heading : p->m_heading;
        target = (c.s_contactHeadingOffset + heading) * p->m_sideContact;
        limit = raceFrameStatics().s_sharpCurveLimit;
    }
    if (p->m_segment != c.s_cameraSegment || p->m_lap != p->m_prevLap)
        target -= curvesBack(p->m_segment, c.s_cameraSegment);
    c.s_cameraTargetHeading = target;
    const std::int32_t delta = target - c.s_cameraHeading;
    if (delta != 0) {
        const std::int32_t hidden = c.s_hidePlayerCar ? 1 : 0;
        const std::int32_t divisor = c.s_headingDivisors[hidden];
        const std::int32_t stepLimit = c.s_headingStepLimits[hidden];
        std::int32_t step = divisor > 0 ? delta * elapsed / divisor : delta;
        if (step == 0) {
            c.s_cameraHeading = target;
        } else {
            if (elapsed >= divisor)
                step = delta;
            if (step > stepLimit)
                step = stepLimit;
            else if (step < -stepLimit)
                step = -stepLimit;
            c.s_cameraHeading += step;
        }
    }
    if (c.s_cameraHeading > limit)
        c.s_cameraHeading = limit;
    else if (c.s_cameraHeading < -limit)
        c.s_cameraHeading = -limit;
}

void startCameraPath(std::int32_t path) {
    if (!trackStatics().s_cameraPaths)
        return;
    resetCamera();
    CameraStatics& c = cameraStatics();
    CameraStatics& u = cameraStatics();
    u.s_cameraPath = path;
    u.s_cameraPathPoint = 0;
    c.s_cameraSegment = getCamPathNodeX(0);
    c.s_cameraHeading = c.s_cameraTrackAngle = getCamPathNodeAngle(0);
    c.s_cameraLateral = 0;
    c.s_cameraHeight = c.s_cameraHeightBase = getCamPathNodeY(0);
}

bool stepCameraPath(std::int32_t elapsed) {
    const rt::ObjectArray* paths = trackStatics().s_cameraPaths;
    if (!paths)
        return true;
    CameraStatics& c = cameraStatics();
    CameraStatics& u = cameraStatics();
    const std::int32_t p = u.s_cameraPathPoint;
    if (p < pathLength() - 1) {
        beginStep();
        const std::int32_t first = getCamPathNodeX(p);
        const std::int32_t last = getCamPathNodeX(p + 1);
        // Two points on one segment span nothing: the camera stays, and the
        // values of the first point hold until the path moves on.
        const std::int32_t span = (last - first) << 10;
        auto progress = [&] { return c.s_cameraSegmentPos + ((c.s_cameraSegment - first) << 10); };
        auto along = [&](std::int32_t a, std::int32_t b) {
            return span != 0 ? a + progress() * (b - a) / span : a;
        };
        if (span != 0) {
            std::int32_t speed =
                (along(getCamPathNodeAngle2(p), getCamPathNodeAngle2(p + 1)) << 12) * 10 / 36;
            moveCamera(scaleProduct(speed, elapsed), 0, false);
        }
        stepPitch(elapsed);
        c.s_cameraHeading = along(getCamPathNodeAngle(p), getCamPathNodeAngle(p + 1));
        c.s_cameraHeight = c.s_cameraHeightBase = along(getCamPathNodeY(p), getCamPathNodeY(p + 1));
        if (c.s_cameraSegment >= last)
            u.s_cameraPathPoint = p + 1;
        return false;
    }
    if (u.s_cameraPath + 1 >= paths->length())
        return true;
    startCameraPath(u.s_cameraPath + 1);
    return false;
}

bool stepCameraOverRacers(std::int32_t elapsed) {
    CameraStatics& c = cameraStatics();
    if (c.s_tourState == kTourDwelling) {
        c.s_tourTimer += elapsed;
        if (c.s_tourTimer >= c.s_tourDwell) {
            c.s_tourRacer += 2;
            c.s_tourState = 0;
        }
        return c.s_tourRacer >= racerCount();
    }
    const cEntity* racer = racerAt(c.s_tourRacer);
    if (!racer)
        return true;
    std::int32_t segment = racer->m_segment;
    std::int32_t position = racer->m_segmentPos - c.s_cameraDistance;
    if (position < 0) {
        position += 1024;
        segment = wrapSegment(segment - 1);
    }
    beginStep();
    moveCamera(-scaleProduct(((kTourSpeedKmh << 12) * 10) / 36, elapsed), 0, false);
    stepPitch(elapsed);
    if (c.s_cameraSegment < segment || (c.s_cameraSegment == segment && c.s_cameraSegmentPos <= position)) {
        c.s_cameraSegment = segment;
        c.s_cameraSegmentPos = position;
        c.s_tourTimer = 0;
        c.s_tourState = kTourDwelling;
    }
    return false;
}

void resetCamera() {
    CameraStatics& c = cameraStatics();
    const cEntity* p = racerStatics().s_playerCar;
    c.s_cameraSegmentPos = 0;
    c.s_cameraSegment = trackStatics().s_segmentCount - 1;
    c.s_cameraHeading = c.s_cameraTrackAngle = c.s_viewTurn = c.s_cameraYaw = 0;
    std::int32_t lateral = p ? p->m_lateral : 0;
    c.s_cameraLateral = lateral < 0 ? lateral : -lateral;
    drivingStatics().s_steerInput = 0;
    drivingStatics().s_steerInput2 = 0;
    c.s_tourState = 0;
    c.s_tourTimer = 0;
    c.s_tourRacer = 1;
    c.s_cameraPitch = segmentSlope(c.s_cameraSegment);
    applyCameraDefaults();
}

void placeCameraBehindPlayer() {
    CameraStatics& c = cameraStatics();
    const cEntity* p = racerStatics().s_playerCar;
    if (!p)
        return;
    c.s_cameraSegment = p->m_segment;
    c.s_cameraSegmentPos = p->m_segmentPos - c.s_cameraDistance;
    if (c.s_cameraSegmentPos < 0) {
        c.s_cameraSegmentPos += 1024;
        c.s_cameraSegment = wrapSegment(c.s_cameraSegment - 1);
    }
    c.s_cameraHeading = c.s_cameraTrackAngle = c.s_viewTurn = c.s_cameraYaw = 0;
    c.s_cameraLateral = p->m_lateral;
    DrivingStatics& d = drivingStatics();
    d.s_steerInput = 0;
    d.s_steerInput2 = 0;
    c.s_cameraPitch = segmentSlope(c.s_cameraSegment);
    if (currentEventType() == EventType::StateJudged) {
        std::int32_t heading =
            kStateJudgedTurn + ((segmentCurveAt(p->m_segment) * (1024 - p->m_segmentPos)) >> 10);
        c.s_cameraLateral = p->m_lateral - ((c.s_cameraDistance * tangent(heading) + 2048) >> 12);
        d.s_steerInput = -4;
        c.s_cameraHeading = c.s_cameraTrackAngle = heading;
    }
    applyCameraDefaults();
}

std::int32_t cameraHeadingAtCar(const cEntity* car) {
    const CameraStatics& c = cameraStatics();
    std::int32_t heading = c.s_cameraYaw + c.s_cameraHeading;
    return car ? heading + curvesBack(car->m_segment, c.s_cameraSegment) : heading;
}

void publishCameraToView() {
    const CameraStatics& c = cameraStatics();
    ViewPassStatics& v = viewPassStatics();
    v.s_cameraSegment = c.s_cameraSegment;
    v.s_cameraSegmentPos = c.s_cameraSegmentPos;
    v.s_cameraLateral = c.s_cameraLateral;
    v.s_cameraHeading = c.s_cameraHeading;
    v.s_cameraYaw = c.s_cameraYaw;
    v.s_cameraHeight = c.s_cameraHeight;
    v.s_cameraFocal = c.s_cameraFocal;
    v.s_cameraPitch = c.s_cameraPitch;
    v.s_cameraPitchOffset = c.s_cameraPitchOffset;
    v.s_cameraLift = c.s_cameraLift;
    v.s_cameraDistance = c.s_cameraDistance;
    v.s_cameraExtraDistance = c.s_cameraExtraDistance;
    v.s_viewHorizonY = c.s_viewHorizonY;
    v.s_defaultHorizonY = c.s_defaultHorizonY;
    v.s_screenCenterX = c.s_screenCenterX;
    v.s_sliceAngleLimit = c.s_sliceAngleLimit;
}

namespace {

std::int32_t camPathValue(std::int32_t i, std::int32_t k) {
    const rt::ObjectArray* paths = trackStatics().s_cameraPaths;
    std::int32_t path = cameraStatics().s_cameraPath;
    if (!paths || path < 0 || path >= paths->length())
        return 0;
    auto* points = static_cast<rt::ShortArray*>(rt::ObjectArray::get(paths, path));
    std::int64_t at = 4 * std::int64_t{i} + k;
    if (!points || at < 0 || at >= points->length())
        return 0;
    return rt::ShortArray::get(points, static_cast<std::int32_t>(at));
}

} // namespace

std::int32_t getCamPathNodeX(std::int32_t i) {
    return camPathValue(i, 0);
}

std::int32_t getCamPathNodeY(std::int32_t i) {
    return camPathValue(i, 1);
}

std::int32_t getCamPathNodeAngle(std::int32_t i) {
    return degreesToAngle(camPathValue(i, 2));
}

std::int32_t getCamPathNodeAngle2(std::int32_t i) {
    return degreesToAngle(camPathValue(i, 3));
}

void releaseCamPath() {
    TrackStatics& t = trackStatics();
    for (std::int32_t i = 0; t.s_cameraPaths && i < t.s_cameraPaths->length(); ++i)
        rt::ObjectArray::set(t.s_cameraPaths, i, nullptr);
    t.s_cameraPaths = nullptr;
}

} // namespace game
