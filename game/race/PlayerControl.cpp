#include "game/race/PlayerControl.h"

#include "game/data/EventSlots.h"
#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventGoals.h"
#include "game/race/EventType.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/ScreenShake.h"
#include "game/race/StartSequence.h"
#include "game/race/TrackData.h"
#include "game/race/TrackGeometry.h"
#include "game/race/cEntity.h"

namespace game {

namespace {

constexpr std::int32_t kTargetItem = 4;
// 8 degrees.
constexpr std::int32_t kFinishHeading = 45;

std::int32_t clampTo(std::int32_t v, std::int32_t limit) {
    return v > limit ? limit : (v < -limit ? -limit : v);
}
EventType eventType() {
    const EventSlotStatics& e = eventSlotStatics();
    return eventTypeFromNumber(rt::ByteArray::get(e.s_eventType, e.s_currentEvent));
}

// The racer the player's aim takes: the one a place behind. The guide's
// aiming step aims at the guide car wherever it runs: it leads the player
// until the aim takes it, and only then drops behind (`placeGuidedCar`).
cEntity* aimedRacer(const cEntity* car) {
    if (stateStatics().s_gameMode == GameMode::Guided && eventGoalStatics().s_guideStep == kGuideAimStep)
        return racerAt(car->m_racePosition == 0 ? 1 : 0);
    if (car->m_racePosition + 1 >= racerCount())
        return nullptr;
    return racerAt(car->m_racePosition + 1);
}

void takeTarget(cEntity* car) {
    // Not in the guided race unless the guide's step is the aiming one.
    if (stateStatics().s_gameMode == GameMode::Guided && eventGoalStatics().s_guideStep != kGuideAimStep)
        return;
    cEntity* behind = aimedRacer(car);
    if (!behind || behind == car || !behind->m_active || car->m_hasTarget || car->m_heldItem != kTargetItem)
        return;
    car->m_hasTarget = 1;
    car->m_targetFired = 0;
    car->m_targetTime = 0;
    car->m_targetRacer = behind->m_racerIndex;
}

void steerTowards(cEntity* car, std::int32_t dir, std::int32_t dt) {
    DrivingStatics& d = drivingStatics();
    car->m_steerDir = dir;
    if (dir < 0)
        d.s_steerHoldTime = d.s_steerHoldTime < 1 ? d.s_steerHoldTime - dt : 0;
    else
        d.s_steerHoldTime = d.s_steerHoldTime < 0 ? 0 : d.s_steerHoldTime + dt;
    car->m_steerAmount = lerpClamped(car->m_steerAmount, dir * d.s_steerRate, mulWrap(8, dt));
}

// The brake's sound when the button on the screen starts braking a moving car.
constexpr std::int32_t kBrakeTouchSound = 19;

void playBrakeSound() {
    requestSound(kBrakeTouchSound);
}

void brakeOrShift(cEntity* car, bool brake, bool brakeTouched, std::int32_t dt) {
    DrivingStatics& d = drivingStatics();
    bool braking = (brake || d.s_stopGoPenalised) && !car->m_hasTarget && isOnGround(car);
    if (!braking) {
        d.s_brakeHoldTime = 0;
        if (isKeyPressed(kDigit0Key) || isPointerOnRaceButton()) {
            std::int32_t up = getShiftPoint(car, car->m_gear, true);
            if (car->m_jumpKind == 0 && car->m_state != CarState::Ghost)
                car->m_jumpKind = kJumpHop;
            if (car->m_speed >= up && car->m_gear < lastGear(car))
                car->m_gear += 1;
        }
        return;
    }
    // The race clock stands for the system clock: the same input gives the
    // same race.
    d.s_brakeStartTime = raceEntityStatics().s_raceTime;
    d.s_brakeHoldTime += dt;
    if (car->m_driveMode != 1) {
        d.s_brakeTimer = d.s_brakeSoundTime;
        car->m_driveMode = 1;
        if (car->m_speed != 0 && brakeTouched)
            playBrakeSound();
    }
    if (car->m_speed <= d.s_brakeStopSpeed)
        car->m_contactEnd = 1;
}

void driveAfterFinish(cEntity* car, std::int32_t dt) {
    car->m_smoothHeading += (car->m_heading - car->m_smoothHeading) >> 1;
    const EventType type = eventType();
    if (type == EventType::Laps)
        car->m_maxSpeed = gearTopSpeed(car, 3);
    else if (type != EventType::Points && type != EventType::Guided && type >= EventType::Distance &&
             type <= EventType::OpenDistance)
        car->m_maxSpeed = 0;
    car->m_heading = kFinishHeading;
    car->m_heading = divOrZero(mulWrap(getRoadEdgeOffset(car) - car->m_lateral, car->m_heading),
                               trackStatics().s_roadHalfWidth);
    updatePhysics(car, dt, 0);
    if (type != EventType::StateJudged) {
        updateCamera(dt);
        updateSteerFrame(car);
    }
    clearTrail();
    updateGear(car, true);
}

void advanceHudFlash(std::int32_t dt) {
    DrivingStatics& d = drivingStatics();
    if (d.s_hudFlashAnim == -1)
        return;
    d.s_hudFlashTime += dt;
    if (d.s_hudFlashTime <= d.s_hudFlashDuration)
        return;
    if (d.s_hudFlashLoop)
        d.s_hudFlashTime = 0;
    else
        stopHudFlash();
}

void settleAfterContact(cEntity* car) {
    DrivingStatics& d = drivingStatics();
    d.s_settleSteps += 1;
    std::int32_t curve = segmentCurveAt(car->m_segment);
    car->m_smoothHeading += (curve - car->m_smoothHeading) / 4;
    car->m_heading += (curve - car->m_heading) / 4;
    car->m_maxSpeed += 10;
    car->m_speed = car->m_maxSpeed;
    if (d.s_settleSteps > 16) {
        car->m_heading = curve;
        car->m_smoothHeading = curve;
        if (car->m_steerDir == 0)
            car->m_contactSettle = 0;
    }
}

// The three segments ahead each bend less than 2 degrees.
bool straightAhead(const cEntity* car) {
    for (std::int32_t k = 1; k <= 3; ++k) {
        std::int32_t c = segmentCurveAt(car->m_segment + k);
        if (c >= 11 || c <= -11)
            return false;
    }
    return true;
}

} // namespace

bool isOnGround(const cEntity* car) {
    return car->m_height == 0;
}

void updateGear(cEntity* car, bool withShiftTimer) {
    DrivingStatics& d = drivingStatics();
    std::int32_t before = car->m_gear;
    car->m_carFlags[2] = 0;
    if (car->m_speed == 0) {
        car->m_gear = 1;
        car->m_carFlags[0] = car->m_carFlags[1] = 0;
    } else {
        if (car->m_gear < 1) {
            car->m_gear = 1;
            car->m_carFlags[0] = car->m_carFlags[1] = 0;
        }
        const std::int32_t last = lastGear(car);
        while (car->m_gear < last && car->m_speed >= gearTopSpeed(car, car->m_gear))
            car->m_gear += 1;
        while (car->m_gear > 1 && gearTopSpeed(car, car->m_gear - 1) > car->m_speed)
            car->m_gear -= 1;
    }
    if (withShiftTimer) {
        d.s_playerGear = car->m_gear;
        if (car->m_gear != before)
            d.s_shiftTimer = car->m_gear < before ? -1 : 0;
    }
}

std::int32_t getShiftPoint(const cEntity* car, std::int32_t gear, bool up) {
    std::int32_t low = gear < 1 ? 0 : gearTopSpeed(car, gear - 1);
    std::int32_t percent = clampedAt(drivingStatics().s_shiftTable, 2 * gear + (up ? 1 : 0));
    return low + mulWrap(gearTopSpeed(car, gear) - low, percent) / 100;
}

std::int32_t getGearTargetSpeed(const cEntity* car) {
    bool off = car->m_offRoad == 1 || car->m_offRoad == 2;
    std::int32_t p = off ? roadsideProfileValue(car->m_offRoadSide, car->m_segment, 8) : 0;
    std::int32_t v = mulWrap(gearTopSpeed(car, car->m_gear), 100 - p) / 100;
    if (!off && car->m_gear >= lastGear(car))
        v = fixMul32(v, drivingStatics().s_topGearFactor);
    std::int32_t cap =
        mulWrap(getTopSpeed(car), surfaceValue(segmentSurface(car->m_segment), kSurfaceTopColumn)) / 100;
    if (v > cap)
        v = cap;
    if (car->m_carFlags[3])
        v += v >> 4;
    return v;
}

void readPlayerInput(cEntity* car, std::int32_t dt) {
    DrivingStatics& d = drivingStatics();
    // The bottom button brakes once the start's count has run out.
    const bool brakeTouched = isPointerOnBottomButtonInRace() && startSequenceStatics().s_startPhaseTimer < 1;
    bool brake = isKeyHeld(kStarKey) || brakeTouched;
    bool left = steerLeftHeld();
    bool right = steerRightHeld();
    if (car->m_landLock >= 1 || raceFinished())
        brake = left = right = false;
    if (car->m_state == CarState::Swapped) {
        bool swap = left;
        left = right;
        right = swap;
    }
    if (!left && !right) {
        std::int32_t t = 4 * dt < 0 ? 0 : (4 * dt > kRaceOne ? kRaceOne : 4 * dt);
        car->m_steerAmount -= fixMul32(car->m_steerAmount, t);
        car->m_steerHold = 0;
        car->m_steerDir = 0;
    }
    if (!car->m_fallen) {
        if ((left || right) && car->m_speed > d.s_steerMinSpeed) {
            steerTowards(car, left ? -1 : 1, dt);
            applySideMotion(car, dt);
            car->m_side = car->m_steerDir;
        } else {
            d.s_steerHoldTime = 0;
        }
        if (isKeyHeld(kDownKey) || isKeyHeld(kSecondDownKey) || isHudButtonHeld())
            takeTarget(car);
        brakeOrShift(car, brake, brakeTouched, dt);
    } else {
        d.s_steerHoldTime = 0;
    }
    if (d.s_raceBoostTimer > 0)
        d.s_raceBoostTimer = d.s_raceBoostTimer - dt < 0 ? 0 : d.s_raceBoostTimer - dt;
}

void updatePlayerCar(cEntity* car, std::int32_t dt) {
    DrivingStatics& d = drivingStatics();
    advanceHudFlash(dt);
    car->m_landLock = countDown(car->m_landLock, dt);
    d.s_playerAuxTimer = countDown(d.s_playerAuxTimer, dt);
    if (raceFinished()) {
        driveAfterFinish(car, dt);
        return;
    }
    updateGear(car, true);
    if (!car->m_knocked) {
        car->m_driveMode = 2;
        readPlayerInput(car, dt);
        if (!isOnGround(car))
            car->m_maxSpeed = car->m_speed;
        else if (car->m_driveMode == 2 || car->m_driveMode == 4)
            car->m_maxSpeed = getGearTargetSpeed(car);
        else
            car->m_maxSpeed = 0;
        if (car->m_contactActive && car->m_maxSpeed < car->m_speed)
            car->m_maxSpeed = car->m_speed;
    } else {
        car->m_maxSpeed = 0;
    }
    updateSteering(car, dt);
    updatePhysics(car, dt, 0);
    if (car->m_landed) {
        car->m_landLock = d.s_landLockTime;
        requestShake(d.s_shakeTime, 3, 3, 1);
    }
    d.s_brakeTimer = countDown(d.s_brakeTimer, dt);
    if (car->m_contactActive && (car->m_contactEnd || car->m_knocked)) {
        // The race keeps the contact's side: the settle frames lean that way.
        if (car->m_sideContact != 0)
            d.s_settleSide = car->m_sideContact < 0 ? -1 : 1;
        car->m_sideContact = 0;
        car->m_contactActive = 0;
        car->m_contactEnd = 0;
        car->m_contactSettle = 1;
        d.s_settleSteps = 0;
    }
    if (car->m_contactSettle)
        settleAfterContact(car);
    checkSurface(car, dt);
    bool off = car->m_offRoad == 1 || car->m_offRoad == 2;
    if (off && shakeStatics().s_shakeLeft <= 0 && car->m_speed > 0 &&
        roadsideProfileValue(car->m_offRoadSide, car->m_segment, 11) != 0)
        requestShake(d.s_shakeTime, 2, 2, 1);
}

void updateSteering(cEntity* car, std::int32_t dt) {
    const DrivingStatics& d = drivingStatics();
    const std::int32_t top = getTopSpeed(car);
    if (car->m_speed > d.s_steerMinSpeed) {
        std::int32_t rate = car->m_sideContact != 0 ? 2 * d.s_turnRate : d.s_turnRate;
        std::int32_t turn = fixMul32(fixMul32(car->m_steerAmount, rate), dt);
        turn =
            car->m_speed < top / 2 ? scaleSteerLow(turn, car->m_speed) : scaleSteerHigh(turn, car->m_speed);
        car->m_heading += turn;
        std::int32_t curve = segmentCurveAt(car->m_segment);
        if (curve != 0 && top > 0) {
            std::int32_t ratio = static_cast<std::int32_t>((std::int64_t{car->m_speed} << 12) / top);
            car->m_heading += fixMul32(fixMul32(curve, ratio), fixMul32(d.s_driftFactor, dt));
        }
    }
    if (car->m_sideContact != 0) {
        std::int32_t target = car->m_sideContact * d.s_contactHeading;
        car->m_heading += (target - car->m_heading) >> 2;
        applyPlaneMove(car, car->m_segment, car->m_lateral, car->m_segmentPos,
                       car->m_sideContact * fixMul32(d.s_sidePushSpeed, dt), 0);
        if (straightAhead(car)) {
            car->m_contactEnd = 1;
            startBoost(car, kRaceOne, 0);
        }
    }
    car->m_heading = clampTo(car->m_heading, d.s_maxHeading);
    car->m_smoothHeading =
        clampTo(car->m_smoothHeading + ((car->m_heading - car->m_smoothHeading) >> 1), d.s_maxHeading);
    car->m_heading = clampTo(car->m_heading, d.s_maxHeading);
    applySteerSlowdown(car, car->m_heading);
}

void applySideMotion(cEntity* car, std::int32_t dt) {
    if (car->m_sideContact == 0 || car->m_steerDir != -car->m_sideContact)
        return;
    std::int32_t back = fixMul32(drivingStatics().s_sidePushSpeed, dt) / 2;
    applyPlaneMove(car, car->m_segment, car->m_lateral, car->m_segmentPos, -car->m_sideContact * back, 0);
}

void applySteerSlowdown(cEntity* car, std::int32_t angle) {
    DrivingStatics& d = drivingStatics();
    d.s_steerSpeedFactor = kRaceOne;
    d.s_playerGainFactor = kRaceOne;
    d.s_distanceFactor = kRaceOne;
    std::int32_t a = angle < 0 ? -angle : angle;
    if (a == 0)
        return;
    if (a >= 455)
        d.s_steerSpeedFactor = 3686;
    else if (a > 113)
        d.s_steerSpeedFactor = 3686 + mulWrap(a - 113, 410) / 342;
    std::int32_t v = fixMul32(d.s_steerSpeedFactor, car->m_speed);
    std::int32_t most = kmhToSpeed(2);
    car->m_speed = car->m_speed - v > most ? car->m_speed - most : v;
    if (a >= 170) {
        d.s_playerGainFactor = 1228;
        d.s_distanceFactor = 2867;
    } else if (a > 28) {
        d.s_playerGainFactor = 3686;
    }
}

void updateSteerFrame(cEntity* car) {
    DrivingStatics& d = drivingStatics();
    const rt::IntArray* angles = d.s_steerFrameAngles;
    auto angle = [angles](std::int32_t i) { return clampedAt(angles, i); };
    std::int32_t cameraHeading = cameraHeadingAtCar(car);
    std::int32_t a = car->m_steerDir == 0 ? 0 : car->m_smoothHeading - cameraHeading;
    d.s_prevSteerInput = d.s_steerInput;
    d.s_steerInput = 0;
    std::int32_t degrees = mulWrap(segmentCurveAt(car->m_segment), 360) >> 11;
    if (degrees == 0 && a != 0)
        a = a > 0 ? angle(4) : -angle(4);
    if ((degrees < 0 ? -degrees : degrees) < raceFrameStatics().s_sharpCurveLimit) {
        std::int32_t band = car->m_speed > kmhToSpeed(200) ? 3 : (car->m_speed > kmhToSpeed(100) ? 2 : 1);
        a = clampTo(a, angle(band));
    }
    // The body animations' frame counter.
    if (car->m_state == CarState::Ghost) {
        d.s_steerInput2 += 1;
    } else if (car->m_effect == CarEffect::Shake) {
        d.s_steerInput2 = d.s_steerInput2 + 1 > d.s_spinFrameLimit ? 0 : d.s_steerInput2 + 1;
    } else if (car->m_effect == CarEffect::KnockOut || car->m_effect == CarEffect::Spin ||
               car->m_effect == CarEffect::LongSpin || car->m_effect == CarEffect::FlaggedSpin ||
               car->m_state == CarState::Strike) {
        d.s_steerInput2 += 1;
        if (d.s_steerInput2 >= (car->m_type == 0 ? d.s_spinFramesPlayer : d.s_spinFramesOther)) {
            car->m_effectTimer = 10;
            d.s_steerInput2 = 0;
        }
    } else {
        d.s_steerInput2 = 0;
    }
    std::int32_t frame = 0;
    if (a <= -angle(0))
        frame = -4;
    else if (a <= -angle(2))
        frame = -3;
    else if (a <= -angle(3))
        frame = -2;
    else if (a <= -angle(4))
        frame = -1;
    else if (a >= angle(0))
        frame = 4;
    else if (a >= angle(2))
        frame = 3;
    else if (a >= angle(3))
        frame = 2;
    else if (a >= angle(4))
        frame = 1;
    if (car->m_sideContact == -1)
        frame = -4;
    else if (car->m_sideContact == 1)
        frame = 4;
    else if (frame > -2 && frame < 2)
        frame = car->m_steerDir;
    if (frame > d.s_prevSteerInput + 1)
        frame = d.s_prevSteerInput + 1;
    else if (frame < d.s_prevSteerInput - 1)
        frame = d.s_prevSteerInput - 1;
    const std::int32_t limit = car->m_sideContact != 0 ? 4 : 3;
    if (frame > limit) {
        frame = limit;
        if (car->m_sideContact == 1)
            car->m_contactAngle = a;
    } else if (frame < -limit) {
        frame = -limit;
        if (car->m_sideContact == -1)
            car->m_contactAngle = a;
    }
    if (car->m_contactSettle) {
        if (d.s_settleSteps < 4)
            frame = 3 * d.s_settleSide;
        else if (d.s_settleSteps < 8)
            frame = 2 * d.s_settleSide;
        else if (d.s_settleSteps < 12)
            frame = d.s_settleSide;
        else if (d.s_settleSteps > 16)
            frame = 0;
    }
    d.s_steerInput = frame;
}

} // namespace game
