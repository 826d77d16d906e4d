#include "game/race/RaceFrame.h"

#include "classlib/lang/System.h"
#include "game/data/EventSlots.h"
#include "game/data/SoundRequests.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/Touch.h"
#include "game/race/Blink.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceObjects.h"
#include "game/race/RacePhase.h"
#include "game/race/RacePlacement.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/TrackData.h"
#include "game/race/TrackGeometry.h"
#include "game/race/TrackQueries.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"

#include <cstdio>

namespace game {

RaceFrameStatics& raceFrameStatics() {
    return rt::getStaticClass().statics<RaceFrameStatics>();
}

namespace {

// A race time (seconds, 4096 = 1.0) as M:SS.mmm.
std::string raceTimeText(std::int32_t time) {
    const std::int64_t ms = time < 0 ? 0 : (std::int64_t{time} * 1000 + 2048) >> 12;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

constexpr std::int32_t kWonSound = 6;
constexpr std::int32_t kLostSound = 7;
constexpr std::int32_t kEventObjectInts = 6;
constexpr std::int32_t kEventObjectMark = 5;

// The run-time mark of each of the current event's objects (the sixth of
// its six ints; the loader leaves it 0).
void clearEventObjectMarks() {
    const EventSlotStatics& slots = eventSlotStatics();
    const EventStatics& events = eventStatics();
    if (!slots.s_eventTrack || !slots.s_eventVariant || !events.s_eventObjects)
        return;
    std::int32_t track = rt::ByteArray::get(slots.s_eventTrack, slots.s_currentEvent);
    std::int32_t variant = rt::ByteArray::get(slots.s_eventVariant, slots.s_currentEvent);
    if (track < 0 || track >= events.s_eventObjects->length())
        return;
    auto* variants = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(events.s_eventObjects, track));
    if (!variants || variant < 0 || variant >= variants->length())
        return;
    auto* objects = static_cast<rt::IntArray*>(rt::ObjectArray::get(variants, variant));
    for (std::int32_t i = kEventObjectMark; objects && i < objects->length(); i += kEventObjectInts)
        rt::IntArray::set(objects, i, 0);
}

// The time a still-running car would need for the rest of the race at
// 200 km/h.
std::int32_t estimatedRemainingTime(const cEntity* car) {
    const RaceStatics& race = raceStatics();
    std::int64_t segments =
        std::int64_t{race.s_laps - car->m_lap + 1} * trackStatics().s_segmentCount - car->m_segment + 1;
    std::int64_t remaining = segments * kSegmentLength - car->m_segmentPos;
    std::int64_t r = ((remaining * 10) >> 10) << 12;
    std::int64_t speed = kmhToSpeed(200);
    return static_cast<std::int32_t>((2 * (r << 12) / speed + 1) >> 1);
}

void keepRaceClocks(cEntity* player) {
    RaceStatics& race = raceStatics();
    RaceFrameStatics& f = raceFrameStatics();
    if (race.s_raceFinished) {
        if (player->m_prevLap == player->m_lap || player->m_prevLap != race.s_laps)
            return;
        for (std::int32_t i = 0; i < racerCount(); ++i)
            if (const cEntity* car = racerAt(i); car && car->m_lap <= race.s_laps)
                addIntAt(f.s_racerTimes, car->m_racerIndex, estimatedRemainingTime(car));
        for (std::int32_t i = 0; i < racerCount(); ++i)
            if (const cEntity* car = racerAt(i))
                addIntAt(f.s_racerTimes, car->m_racerIndex, mulWrap(car->m_racePosition, 50));
        return;
    }
    for (std::int32_t i = 0; i < racerCount(); ++i)
        if (const cEntity* car = racerAt(i); car && car->m_lap <= race.s_laps)
            addIntAt(f.s_racerTimes, car->m_racerIndex, race.s_raceFrameTime);
    std::int32_t lap = player->m_lap < race.s_laps ? player->m_lap : race.s_laps;
    addIntAt(f.s_lapTimes, (player->m_lap == 0 ? 1 : lap) - 1, race.s_raceFrameTime);

    if (player->m_lap != player->m_prevLap && player->m_lap >= 2) {
        std::int32_t i = player->m_lap - 2;
        if (i >= race.s_laps)
            i = race.s_laps - 1;
        std::int32_t lapTime = intAt(f.s_lapTimes, i);
        f.s_lastLapDelta = lapTime - f.s_bestLapTime;
        if (f.s_bestLapTime > lapTime)
            f.s_bestLapTime = lapTime;
        f.s_lapShowTimer = f.s_lapShowTime;
    }
}

// The steering, pedal and gear-box statics of the player's control, the
// head-up flash and the brake trail, as a first start finds them.
void clearDrivingRun() {
    DrivingStatics& d = drivingStatics();
    d.s_steerInput = d.s_prevSteerInput = d.s_steerInput2 = 0;
    d.s_steerHoldTime = d.s_brakeHoldTime = d.s_brakeStartTime = d.s_brakeTimer = 0;
    d.s_settleSteps = 0;
    d.s_settleSide = 1;
    d.s_playerGear = 0;
    d.s_playerGainFactor = DrivingStatics{}.s_playerGainFactor;
    d.s_shiftTimer = -1;
    stopHudFlash();
    d.s_hudFlashDuration = 0;
    d.s_hudFlashLoop = 0;
    clearTrail();
}

// The camera's constants, its angles 0 and the player's car shown; the
// set-up's placement moves it from there.
void resetCameraRun() {
    applyCameraDefaults();
    CameraStatics& c = cameraStatics();
    c.s_cameraHeading = c.s_cameraYaw = c.s_cameraPitch = c.s_cameraTargetHeading = 0;
    // The pull-back and the segment the last step ended in belong to the
    // last run.
    c.s_pullBackTime = c.s_pullBackGear = c.s_cameraPrevSegment = 0;
}

} // namespace

void resetRaceRun() {
    RaceStatics& race = raceStatics();
    race.s_raceFinished = 0;
    setupEntryByType();
    if (race.s_gridOrder) {
        for (std::int32_t place = 0; place < race.s_gridOrder->length() && place < racerCount(); ++place) {
            std::int32_t wanted = rt::IntArray::get(race.s_gridOrder, place);
            for (std::int32_t j = place; j < racerCount(); ++j) {
                cEntity* car = racerAt(j);
                if (car && car->m_racerIndex == wanted) {
                    rt::Object* held = rt::ObjectArray::get(race.s_racers, place);
                    rt::ObjectArray::set(race.s_racers, place, car);
                    rt::ObjectArray::set(race.s_racers, j, held);
                    break;
                }
            }
        }
    }
    race.s_gridOrder = rt::newIntArray(racerCount());
    std::int32_t highestIndex = 0;
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        cEntity* car = racerAt(i);
        rt::IntArray::set(race.s_gridOrder, i, car ? car->m_racerIndex : -1);
        if (car && car->m_racerIndex + 1 > highestIndex)
            highestIndex = car->m_racerIndex + 1;
    }
    placeRacersOnGrid();
    clearEventObjectMarks();
    RaceFrameStatics& f = raceFrameStatics();
    std::int32_t tables = highestIndex > racerCount() ? highestIndex : racerCount();
    f.s_racerTimes = rt::newIntArray(tables);
    f.s_lapTimes = rt::newIntArray(race.s_laps > 0 ? race.s_laps : 0);
    f.s_bestLapTime = INT32_MAX;
    f.s_lastLapDelta = 0;
    f.s_lapShowTimer = 0;
    f.s_sharpCurveAhead = 0;
    f.s_raceOver = 0;
    raceEntityStatics().s_raceTime = 0;
    resetTimingPoints(tables);
    if (cEntity* player = racerStatics().s_playerCar) {
        player->m_active = 1;
        player->m_gear = 1;
    }
    clearDrivingRun();
    resetCameraRun();
    f.s_finalPosition = 0;
    // The track trace's last answer belongs to the last run.
    trackGeometryStatics().s_traceX = trackGeometryStatics().s_traceZ = 0;
    RaceEntityStatics& entity = raceEntityStatics();
    entity.s_playerSegment = entity.s_playerLateral = entity.s_playerSegmentPos = 0;
    entity.s_playerSpeedDelta = entity.s_prevPlayerSpeedDelta = 0;
    ShakeStatics& u = shakeStatics();
    u.s_shakeDuration = u.s_shakeLeft = u.s_shakeAmpX = u.s_shakeAmpY = u.s_shakeStrength = 0;
    setShakeOffset(0, 0);
    resetOpponents();
}

std::string raceOverText() {
    const RaceFrameStatics& f = raceFrameStatics();
    const cEntity* player = racerStatics().s_playerCar;
    if (!player)
        return "race over: no player";
    std::int32_t winnerTime = intAt(f.s_racerTimes, player->m_racerIndex);
    for (std::int32_t i = 0; i < racerCount(); ++i)
        if (const cEntity* car = racerAt(i); car && car->m_racePosition == 0)
            winnerTime = intAt(f.s_racerTimes, car->m_racerIndex);
    const std::int32_t laps = raceStatics().s_laps;
    const std::int32_t done = player->m_lap - 1 < laps ? player->m_lap - 1 : laps;
    std::string line = "race over: place " + std::to_string(player->m_racePosition + 1) + " of " +
                       std::to_string(racerCount()) + ", time " +
                       raceTimeText(intAt(f.s_racerTimes, player->m_racerIndex)) + ", laps " +
                       std::to_string(done < 0 ? 0 : done);
    // The player's own best lap: `s_bestLapTime` starts at the track's
    // reference time, which a slow run never beats.
    std::int32_t best = INT32_MAX;
    for (std::int32_t lap = 0; lap < done; ++lap)
        if (const std::int32_t t = intAt(f.s_lapTimes, lap); t < best)
            best = t;
    if (best != INT32_MAX)
        line += ", best lap " + raceTimeText(best);
    return line + ", winner " + raceTimeText(winnerTime);
}

void finishRace() {
    RaceFrameStatics& f = raceFrameStatics();
    f.s_raceOver = 1;
    if (const cEntity* player = racerStatics().s_playerCar)
        f.s_finalPosition = player->m_racePosition;
    stopMusic();
    requestSound(raceStatics().s_raceResult == 1 ? kWonSound : kLostSound);
    touchStatics().s_leftSoftKey = -1;
    touchStatics().s_rightSoftKey = -1;
    startBlink(cameraStatics().s_blinkStartPeriod);
    startFinishAnimation();
}

void updateRace() {
    RaceStatics& race = raceStatics();
    race.s_raceFrameTime = frameMsToTime(loopStatics().s_frameMs);
    cEntity* player = racerStatics().s_playerCar;
    if (!player)
        return;
    const bool finishing =
        !race.s_raceFinished &&
        applyFinishRule(player, race.s_raceFrameTime, lib::java_lang_System::currentTimeMillis());
    if (finishing)
        finishRace();
    keepRaceClocks(player);
    if (finishing)
        host::logLine(host::LogCategory::Game, raceOverText());
    if (!race.s_raceFinished)
        raceEntityStatics().s_raceTime += race.s_raceFrameTime;
    raceStep(race.s_raceFrameTime);
    updateHudIntro(race.s_raceFrameTime);
    randomizeSpeedLines();
    if (race.s_raceFinished)
        player->m_heading = 0;
}

void updateRaceEntities(std::int32_t step) {
    cEntity* player = racerStatics().s_playerCar;
    if (player)
        player->update(step);
    updateRacePhase();
    for (std::int32_t i = 0; i < racerCount(); ++i)
        if (cEntity* car = racerAt(i); car && car != player)
            car->update(step);
    updateTimedEvent();
    rt::ObjectArray* pool = raceStatics().s_raceObjects;
    std::int32_t count = pool ? pool->length() : 0;
    // Kind 11 objects carry no effects and fire no triggers.
    constexpr std::int32_t kInertKind = 11;
    for (std::int32_t i = 0; i < count; ++i) {
        auto* object = static_cast<cEntity*>(rt::ObjectArray::get(pool, i));
        if (!object || !object->m_active)
            continue;
        updateRaceObject(object, step);
        if (object->m_itemSlot != kInertKind)
            updateEffects(object, step);
    }
    for (std::int32_t i = 0; i < count; ++i) {
        auto* object = static_cast<cEntity*>(rt::ObjectArray::get(pool, i));
        if (!object || !object->m_active || object->m_effect != CarEffect::None)
            continue;
        if (object->m_itemSlot != kInertKind)
            processTrackTriggers(object);
        if (object->m_active)
            hitRacersWithObject(object);
    }
}

void updateSlipstream() {
    cEntity* player = racerStatics().s_playerCar;
    if (!player)
        return;
    player->m_carFlags[3] = 0;
    const cEntity* ahead = nullptr;
    for (std::int32_t i = 0; i < racerCount() && player->m_racePosition > 0; ++i)
        if (const cEntity* car = racerAt(i); car && car->m_racePosition == player->m_racePosition - 1)
            ahead = car;
    if (!ahead)
        return;
    std::int32_t count = trackStatics().s_segmentCount;
    std::int64_t dx = std::int64_t{player->m_lateral} - ahead->m_lateral;
    dx = dx < 0 ? -dx : dx;
    std::int32_t d = ahead->m_segment - player->m_segment;
    if (d > count / 2 || d < -(count / 2))
        d = d <= 0 ? d + count : d - count;
    std::int64_t gap = (std::int64_t{d} << kSegmentShift) - player->m_segmentPos + ahead->m_segmentPos;
    if (gap > 0 && gap < raceFrameStatics().s_slipstreamRange && dx < straightHalfWidth(player))
        player->m_carFlags[3] = 1;
}

void raceStep(std::int32_t dt) {
    std::int32_t step = dt < kMaxRaceStep ? dt : kMaxRaceStep;
    RaceFrameStatics& f = raceFrameStatics();
    const RaceStatics& race = raceStatics();
    cEntity* player = racerStatics().s_playerCar;
    f.s_sharpCurveAhead = 0;
    if (player && segmentCurveAt(player->m_segment) != 0) {
        std::int64_t sum = getCurveSum(player->m_segment);
        if ((sum < 0 ? -sum : sum) > f.s_sharpCurveLimit)
            f.s_sharpCurveAhead = 1;
    }
    // The gate moves before the cars meet it.
    advanceMovingObject(timeToMs(step));
    updateRaceEntities(step);
    // The effect pool's players count milliseconds.
    if (zoomPoolStatics().s_zoomAnimPool)
        updateZoomAnimPool(timeToMs(step));
    if (!race.s_raceFinished && currentEventType() != EventType::StateJudged) {
        updateCamera(step);
        if (player)
            player->m_trackSection = getTrackSection(player->m_segment, player->m_trackSection);
    }
    if (!race.s_raceFinished)
        rankRacers();
    updateSlipstream();
    updateShake(step);
}

void randomizeSpeedLines() {
    for (auto& line : raceFrameStatics().s_speedLines) {
        line[0] = raceRandom(2048);
        line[1] = raceRandom(50);
    }
}

} // namespace game
