#include "game/race/ComputerDriver.h"

#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventGoals.h"
#include "game/race/Impacts.h"
#include "game/race/PlayerControl.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceObjects.h"
#include "game/race/RacePhase.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"

namespace game {

DriverStatics& driverStatics() {
    return rt::getStaticClass().statics<DriverStatics>();
}

namespace {

constexpr std::int32_t kTuningRows[kAiTuningRows][kAiTuningColumns] = {
    {0, 92, 100, 100, 30, 90, 118}, {1, 91, 100, 96, 25, 88, 115}, {2, 90, 96, 93, 20, 86, 112},
    {3, 89, 94, 90, 15, 84, 110},   {4, 88, 92, 88, 10, 82, 108},
};
// A car 4 segments behind the player when placed up.
constexpr std::int32_t kPlaceBehind = 4;
// The guided race: its second car waits this many segments ahead of the
// player, or, as the player's target, this many behind and half a segment
// on; past the guide's aiming steps the player's target time is set.
constexpr std::int32_t kGuidedAhead = 6;
constexpr std::int32_t kGuidedBehind = 3;
constexpr std::int32_t kGuidedBehindOffset = 512;
constexpr std::int32_t kGuidedAimSteps = 6;
constexpr std::int32_t kGuidedTargetTime = 100 << 12;
constexpr std::int32_t kInsideLineChance = 10;

// The edge flags of `segment`'s place on the ring; 0 on a ring without
// segments or without flags. A flag table shorter than the ring is read past
// its end, which reports the fault (`leftRoadLimit` and `rightRoadLimit`,
// TrackGeometry.h, read it quietly, and segment 0's flags on a ring without
// segments).
std::int32_t ringEdgeFlags(std::int32_t segment) {
    const TrackStatics& t = trackStatics();
    if (!t.s_segmentEdgeFlags || t.s_segmentCount < 1)
        return 0;
    return rt::ByteArray::get(t.s_segmentEdgeFlags, wrapSegment(segment));
}

// 25 units per step at top speed, scaled down with the speed; 0 for a car
// without a top speed.
std::int32_t sidestep(const cEntity* car, std::int32_t times) {
    return mulWrap(times, divOrZero(mulWrap(car->m_speed, 25), getTopSpeed(car)));
}

std::int32_t moveTowards(std::int32_t from, std::int32_t to, std::int32_t step) {
    if (step < 0)
        step = -step;
    if (from < to)
        return to - from < step ? to : from + step;
    return from - to < step ? to : from - step;
}

// The car goes to `segments` behind the player's segment on the player's
// lap, at the player's position in it.
void placeBehindPlayer(cEntity* car, const cEntity* p, std::int32_t segments) {
    const std::int32_t count = trackStatics().s_segmentCount;
    std::int32_t segment = p->m_segment - segments;
    std::int32_t lap = p->m_lap;
    if (segment < 0) {
        segment += count;
        lap -= 1;
    }
    car->m_segment = car->m_prevSegment = segment;
    car->m_lap = car->m_prevLap = lap;
    car->m_segmentPos = car->m_prevSegmentPos = p->m_segmentPos;
}

// The next car behind the player in the ranking.
bool nextBehindPlayer(const cEntity* car, const cEntity* p) {
    return car->m_racePosition == p->m_racePosition + 1;
}

// The speed the car aims for by its mode, from its own pace `own` and the
// player's speed.
std::int32_t catchUpTarget(const cEntity* car, std::int32_t own, std::int32_t playerSpeed, std::int32_t d) {
    const std::int32_t k = driverStatics().s_aiDifficulty;
    switch (car->m_aiMode) {
    case kAiModeHeld: {
        if (d <= 0)
            return own;
        // Held towards the player's speed, but never below the same share of
        // its own pace: a car ahead waits for a player who drives, not for
        // one who crawls on the sand.
        const std::int32_t percent = car->m_aiTuning[3] + 4 * (k - 1);
        const std::int32_t held = divOrZero(mulWrap(playerSpeed, percent), 100);
        const std::int32_t floor = divOrZero(mulWrap(own, percent), 100);
        return held < floor ? floor : (held < own ? held : own);
    }
    case kAiModePushed: {
        if (d >= 0)
            return own;
        const std::int32_t pushed = divOrZero(mulWrap(playerSpeed, car->m_aiTuning[4] + 4 * (k - 1)), 100);
        return pushed > own ? pushed : own;
    }
    case kAiModeRacePace: {
        const std::int32_t share = raceRandom(car->m_aiTuning[5] + 1);
        return own + divOrZero(mulWrap(playerSpeed - own, share), 100);
    }
    default:
        return own;
    }
}

// A fallen car, after its fall, goes to the first segment after its own
// that is not a gap, at most a lap on.
void recoverFromFall(cEntity* car) {
    const std::int32_t count = trackStatics().s_segmentCount;
    for (std::int32_t i = 1; i <= count; ++i) {
        const std::int32_t segment = car->m_segment + i;
        if (segmentSurface(segment) == kSurfaceGap)
            continue;
        if (segment >= count)
            car->m_lap += 1;
        car->m_segment = wrapSegment(segment);
        car->m_lateral = car->m_fallLateral;
        car->m_speed = car->m_maxSpeed = car->m_heading = 0;
        car->m_aiMode = kAiModeRecovered;
        car->m_fallen = 0;
        dropCollected(car);
        car->m_onPath = 1;
        return;
    }
    host::logLine(host::LogCategory::Game,
                  "race: a fallen computer car found no segment without a gap; it stays");
}

void keepLine(cEntity* car) {
    const std::int32_t curve = segmentCurveAt(car->m_segment);
    const std::int32_t before = segmentCurveAt(car->m_segment - 1);
    if (curve != 0 && before == 0)
        car->m_insideLine = raceRandom(100) < kInsideLineChance ? 1 : 0;
    else if (curve == 0 && before != 0)
        car->m_insideLine = 0;
    const std::int32_t left = getLeftLimit(car);
    const std::int32_t right = getRightLimit(car);
    if (car->m_insideLine && curve != 0) {
        // A positive curvature bends left: its inside is the left edge.
        const std::int32_t step = sidestep(car, 2);
        const std::int32_t reach = 2 * straightHalfWidth(car);
        const std::int32_t next = curve > 0 ? car->m_lateral - step : car->m_lateral + step;
        if (next - reach >= left && next + reach <= right)
            car->m_lateral = next;
    }
    if (car->m_lateral < left + kEdgeKeep)
        car->m_lateral = left + kEdgeKeep;
    if (car->m_lateral > right - kEdgeKeep)
        car->m_lateral = right - kEdgeKeep;
}

} // namespace

void initDriverTables() {
    rt::IntArray* table = rt::newIntArray(kAiTuningRows * kAiTuningColumns);
    for (std::int32_t r = 0; r < kAiTuningRows; ++r)
        for (std::int32_t c = 0; c < kAiTuningColumns; ++c)
            rt::IntArray::set(table, r * kAiTuningColumns + c, kTuningRows[r][c]);
    driverStatics().s_aiTuningTable = table;
}

void setupAiDriver(cEntity* car, std::int32_t index) {
    car->m_type = 1;
    (void)applyRacerDefinition(getRecordShort(car->m_carType, 0), car);
    car->m_active = 1;
    car->m_aiStep = 0;
    setAiTuning(car, index);
}

void setAiTuning(cEntity* car, std::int32_t index) {
    const std::int32_t r = magnitudeMod(index, kAiTuningRows) * kAiTuningColumns;
    const rt::IntArray* t = driverStatics().s_aiTuningTable;
    const std::int32_t columns[6] = {1, 2, 3, 5, 6, 4};
    for (std::int32_t i = 0; i < 6; ++i)
        car->m_aiTuning[i] = intAt(t, r + columns[i]);
}

void pickLaneTarget(cEntity* car) {
    TriggerStatics& s = triggerStatics();
    if (!s.s_laneTargetsOn || !s.s_laneTargets)
        return;
    car->m_laneTarget = -1;
    for (std::int32_t p = 0; p < s.s_laneTargets->length(); ++p) {
        const std::int32_t mark = rt::IntArray::get(s.s_laneTargets, p);
        if (mark == kLaneTaken)
            continue;
        if (mark != kLaneNone)
            car->m_laneTarget = mark;
        rt::IntArray::set(s.s_laneTargets, p, kLaneTaken);
        return;
    }
}

void updateCatchUp(cEntity* car, std::int32_t dt) {
    (void)dt;
    cEntity* p = playerCar();
    if (!p || !car->m_active || car->m_height != 0 || car->m_knocked || car->m_fallen || car->m_onPath ||
        car->m_jumpKind != 0 || car->m_effect == CarEffect::KnockOut || p->m_hasTarget)
        return;
    const std::int32_t top = getTopSpeed(p);
    const std::int32_t playerSpeed = p->m_speed < top ? p->m_speed : top;
    const std::int32_t d = carGap(car, p);
    const std::int32_t progress = phaseOfProgress(p);
    const std::int32_t limit = progress <= 1 ? 3 : (progress == 2 ? 1 : 0);
    const std::int32_t k = driverStatics().s_aiDifficulty;
    const std::int32_t count = trackStatics().s_segmentCount;
    if (p->m_racePosition <= limit) {
        if (isBehindPlayer(car)) {
            car->m_aiMode = kAiModeRacePace;
            if (d < -8192) {
                car->m_aiMode = kAiModePushed;
                if (d < -6144 && p->m_segment > 6 && nextBehindPlayer(car, p))
                    placeBehindPlayer(car, p, kPlaceBehind);
            }
        } else {
            car->m_aiMode = k <= 1 ? kAiModeHeld : kAiModeRacePace;
        }
    }
    if (carGap(car, p) < -(count * kSegmentLength / 2) && p->m_segment > 6)
        placeBehindPlayer(car, p, kPlaceBehind);
    if (car->m_aiMode != -1)
        car->m_maxSpeed = catchUpTarget(car, car->m_maxSpeed, playerSpeed, carGap(car, p));
}

std::int32_t probeCarAhead(cEntity* car) {
    cEntity* ahead = nullptr;
    for (std::int32_t i = 0; i < racerCount() && car->m_racePosition > 0; ++i)
        if (cEntity* other = racerAt(i);
            other && other != car && other->m_racePosition == car->m_racePosition - 1)
            ahead = other;
    if (!ahead)
        return -1;
    std::int32_t gap = carGap(ahead, car);
    gap = gap < 0 ? -gap : gap;
    if (gap >= 5 * kSegmentLength || gap < 1)
        return -1;
    if (car->m_type == 1 && ahead->m_type == 0)
        car->m_holdLine = 1;
    if (gap >= 512 || car->m_speed <= ahead->m_speed || ahead->m_type == 0) {
        const std::int32_t side = testSideContact(car, ahead);
        if (side != -1)
            car->m_routeBlocker = ahead;
        return side;
    }
    car->m_routeBlocker = ahead;
    return 2;
}

void updateRoute(cEntity* car, std::int32_t dt) {
    car->m_routeMode = -1;
    const std::int32_t r = probeCarAhead(car);
    if (r != -1) {
        car->m_laneTarget = -1;
        car->m_routeStart = car->m_segment;
        car->m_routeMode = r;
        if (r == 0 || r == 1) {
            const cEntity* p = playerCar();
            const bool sameFlag = p && car->m_contactFlag == p->m_contactFlag;
            const bool right = (r == 1) == sameFlag;
            const std::int32_t step = divOrZero(mulWrap(dt, 25), 100);
            car->m_lateral += right ? step : -step;
            const std::int32_t m = trackStatics().s_laneWidth / 10;
            const std::int32_t low = getLeftLimit(car) + m;
            const std::int32_t high = getRightLimit(car) - m;
            car->m_lateral = car->m_lateral < low ? low : (car->m_lateral > high ? high : car->m_lateral);
        } else if (car->m_routeBlocker && car->m_maxSpeed > car->m_routeBlocker->m_speed) {
            // Close behind a slower car: follow at its speed until a side opens.
            car->m_maxSpeed = car->m_routeBlocker->m_speed;
        }
        if (car->m_holdLine) {
            car->m_speed -= kmhToSpeed(50);
            if (car->m_speed < 0)
                car->m_speed = 0;
        }
        return;
    }
    if (const cEntity* blocker = car->m_routeBlocker) {
        if (car->m_segment < blocker->m_segment ||
            (car->m_segment == blocker->m_segment && car->m_segmentPos <= blocker->m_segmentPos + 100)) {
            car->m_routeMode = 3;
            car->m_routeStart = -1;
        } else {
            car->m_routeBlocker = nullptr;
        }
    }
    if (car->m_segment < car->m_routeStart)
        car->m_routeMode = 3;
    if (car->m_segment > car->m_routeStart || car->m_segment == 0) {
        car->m_routeMode = -1;
        car->m_routeStart = -1;
    }
    if (car->m_routeMode == -1)
        car->m_routeStart = -1;
}

bool placeGuidedCar(cEntity* car) {
    cEntity* p = playerCar();
    if (!p || p == car)
        return false;
    const std::int32_t step = eventGoalStatics().s_guideStep;
    if (step > kGuidedAimSteps) {
        if (p->m_hasTarget) {
            p->m_targetTime = kGuidedTargetTime;
            p->m_hasTarget = 0;
            p->m_targetRacer = -1;
        }
        car->m_active = 0;
        return true;
    }
    if ((p->m_hasTarget || step == kGuidedAimSteps) && p->m_targetRacer == car->m_racerIndex) {
        std::int32_t segment = wrapSegment(p->m_segment - kGuidedBehind);
        std::int32_t position = p->m_segmentPos + kGuidedBehindOffset;
        // A position past the segment's end is carried into the next one,
        // so the car never stands outside 0..1023.
        if (position >= kSegmentLength) {
            position -= kSegmentLength;
            segment = wrapSegment(segment + 1);
        }
        car->m_segment = car->m_prevSegment = segment;
        car->m_segmentPos = car->m_prevSegmentPos = position;
        car->m_speed = p->m_speed;
        if (p->m_segment >= kGuidedBehind)
            car->m_lap = car->m_prevLap = p->m_lap;
        car->m_lateral = car->m_prevLateral = 0;
    }
    if (step > 3 && !p->m_hasTarget) {
        car->m_segment = car->m_prevSegment = wrapSegment(p->m_segment + kGuidedAhead);
        car->m_segmentPos = car->m_prevSegmentPos = p->m_segmentPos;
        car->m_lateral = car->m_prevLateral = p->m_lateral;
    }
    return false;
}

void updateAiCar(cEntity* car, std::int32_t dt) {
    if (!car->m_active)
        return;
    if (stateStatics().s_gameMode == GameMode::Guided && placeGuidedCar(car))
        return;
    if (car->m_fallen) {
        if (++car->m_fallStep >= kFallSteps)
            recoverFromFall(car);
        return;
    }
    if (raceStatics().s_raceFinished) {
        if (const cEntity* p = playerCar())
            car->m_maxSpeed = car->m_speed = p->m_speed;
        updatePhysics(car, dt, 0);
        return;
    }
    if (car->m_knocked) {
        updatePhysics(car, dt, 0);
        return;
    }
    updateGear(car, false);
    car->m_maxSpeed = divOrZero(mulWrap(getGearTargetSpeed(car), car->m_aiTuning[0]), 100);
    updateCatchUp(car, dt);
    car->m_holdLine = 0;
    updateRoute(car, 100);
    updatePhysics(car, dt, 1);
    if (car->m_onPath)
        return;
    if (car->m_laneTarget != -1) {
        car->m_lateral = moveTowards(car->m_lateral, car->m_laneTarget, sidestep(car, 4));
        return;
    }
    pickLaneTarget(car);
    if (car->m_holdLine)
        return;
    keepLine(car);
}

std::int32_t getLeftLimit(const cEntity* car) {
    const TrackStatics& t = trackStatics();
    return -t.s_roadHalfWidth + ((ringEdgeFlags(car->m_segment) & 1) ? t.s_laneWidth : 0);
}

std::int32_t getRightLimit(const cEntity* car) {
    const TrackStatics& t = trackStatics();
    return t.s_roadHalfWidth - ((ringEdgeFlags(car->m_segment) & 2) ? t.s_laneWidth : 0);
}

std::int32_t getRouteZone(const cEntity* car) {
    // The zones are the first sets of the track's start and end ranges.
    const TrackStatics& t = trackStatics();
    const rt::IntArray* a = t.s_startRanges;
    const rt::IntArray* b = t.s_endRanges;
    if (!a || !b || a->length() < 4 || b->length() < 2)
        return 0;
    const std::int32_t segment = car->m_segment;
    if (segment >= rt::IntArray::get(a, 2) && segment <= rt::IntArray::get(b, 0))
        return -1;
    if (segment < rt::IntArray::get(a, 3))
        return 0;
    return segment <= rt::IntArray::get(b, 1) ? 1 : 0;
}

bool isBehindPlayer(const cEntity* car) {
    const cEntity* p = playerCar();
    return p && car->m_racePosition > p->m_racePosition;
}

} // namespace game
