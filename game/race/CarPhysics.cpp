#include "game/race/CarPhysics.h"

#include "game/data/SoundRequests.h"
#include "game/framework/Keys.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/Impacts.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceObjects.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTouch.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/TrackData.h"
#include "game/race/TrackGeometry.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"

namespace game {

namespace {

constexpr std::int32_t kJumpTriggerLow = 6;

bool inRaceState() {
    return stateStatics().s_state == State::Race;
}
bool shakeRunning() {
    return shakeStatics().s_shakeLeft > 0;
}
bool onRoad(const cEntity* car) {
    return car->m_offRoad == 0 || car->m_offRoad == 3;
}
bool slipstream(const cEntity* car) {
    return car->m_carFlags[3] != 0;
}
// ((s * 360 >> 11) + 25) * 4 / 100 applied to `rate`: the slope in degrees
// shifts the rate by 4 % a degree.
std::int32_t slopeScaled(std::int32_t rate, std::int32_t segment) {
    std::int32_t degrees = mulWrap(segmentHeightValue(segment), 360) >> 11;
    return mulWrap(mulWrap(rate, degrees + 25), 4) / 100;
}

void clearTrackTriggerFlags() {
    TrackStatics& t = trackStatics();
    for (rt::ByteArray* flags : {t.s_segmentFlagsA, t.s_segmentFlagsB})
        for (std::int8_t& f : rt::ByteArray::span(flags))
            f = 0;
}

void lapUp(cEntity* car) {
    car->m_lap += 1;
    if (isPlayer(car))
        clearTrackTriggerFlags();
}

// The nitro of the player's keys: every collected object at once.
void fireNitro(cEntity* car) {
    std::int32_t n = itemValue(car->m_driverKind, 2, 1);
    std::int32_t time = mulWrap(mulWrap(car->m_collected, n), 9830) / 10;
    car->m_state = CarState::Nitro;
    car->m_stateTimer = time;
    car->m_nitroFlags[0] = 1;
    car->m_nitroFlags[1] = 1;
    car->m_speed = mulWrap(car->m_speed, 115) / 100;
    car->m_maxSpeed = mulWrap(car->m_maxSpeed, 115) / 100;
    car->m_boostTimer = time;
    if (isPlayer(car)) {
        requestShake(drivingStatics().s_shakeTime, 6, 6, 2);
        requestSound(14);
        startHudFlash(kBoostFlashAnim, impactStatics().s_impactTime / 2, false, 999);
    }
    car->m_collected = 0;
}

void advanceItemBar(cEntity* car) {
    DrivingStatics& d = drivingStatics();
    if (car->m_itemSlot == 12)
        d.s_oneShotFlag = 0;
    car->m_itemSlot = car->m_itemSlot + 1 > 8 ? 0 : car->m_itemSlot + 1;
    car->m_itemUses = itemValue(car->m_driverKind, car->m_itemSlot, 0);
    if (car->m_itemUses > 1)
        car->m_itemCooldown = itemValue(car->m_driverKind, car->m_itemSlot, 2);
}

// Step 5: a computer car's rates.
void computerRates(cEntity* car, std::int32_t& acc, std::int32_t& gain) {
    if (car->m_knocked) {
        car->m_speed = 0;
        car->m_maxSpeed = 0;
    }
    acc = mulWrap(car->m_aiTuning[1], acc) / 100;
    const std::int32_t count = trackStatics().s_segmentCount;
    if ((car->m_lap == 1 && car->m_segment < (count >> 3)) || car->m_lap == 0) {
        std::int32_t racers = racerCount();
        gain = gain + gain / 2 - divOrZero(mulWrap(car->m_racePosition, gain / 2), racers);
    }
    gain = applyStateFactors(car, mulWrap(car->m_aiTuning[2], gain) / 100);
    if (car->m_jumpKind == 0 && car->m_state != CarState::Ghost && !car->m_fallen && !raceFinished() &&
        (car->m_itemSlot != -1 || car->m_heldItem != -1) && car->m_itemCooldown == 0)
        (void)useItem(car);
}

// Step 6: the player's keys and rates.
void playerRates(cEntity* car, std::int32_t dt, std::int32_t& gain) {
    DrivingStatics& d = drivingStatics();
    if (car->m_boostTimer < 1 && segmentHeightValue(car->m_segment) < 0)
        car->m_boostTimer = 1;
    if (segmentHeightValue(car->m_segment) > 0 || steerLeftHeld() ||
        (steerRightHeld() && car->m_boostTimer < 1)) {
        gain = mulWrap(gain, 8) / 10;
        if (d.s_gainHalved)
            gain /= 2;
    }
    gain = applyStateFactors(car, gain);
    if ((isKeyHeld(kSecondUpKey) || isKeyPressed(kUpKey) || isPointerOnHudPanel()) && inRaceState() &&
        car->m_state != CarState::Ghost && car->m_collected >= 1 &&
        stateStatics().s_gameMode != GameMode::Collection)
        fireNitro(car);
    if (d.s_itemBarEnabled && isKeyPressed(kDigit9Key))
        advanceItemBar(car);
    if ((isKeyPressed(kSelectKey) || isKeyPressed(kFireKey) || isPressOnItemSlot()) && canUseItem(car))
        (void)useItem(car);
    gain = fixMul32(d.s_playerGainFactor, gain);
    const std::int32_t top = lastGear(car);
    if (car->m_maxSpeed != 0 && car->m_steerDir != 0 && car->m_boostTimer <= 0 && car->m_gear == top) {
        std::int32_t low = gearTopSpeed(car, top - 1);
        if (car->m_speed >= low + (gearTopSpeed(car, top) - low) / 2) {
            std::int32_t slowed = fixMul32(car->m_speed, d.s_steerSlowdown);
            car->m_maxSpeed = slowed < low + 1 ? low + 1 : slowed;
        }
    }
    if (car->m_speed == 0 && isKeyReleased(kStarKey) && !raceFinished())
        requestSound(12);
    if (d.s_shiftTimer >= 0) {
        d.s_shiftTimer += dt;
        if (car->m_maxSpeed <= car->m_speed || d.s_shiftTimer > d.s_shiftTimerLimit)
            d.s_shiftTimer = -1;
    }
}

// Step 7.
void changeSpeed(cEntity* car, std::int32_t dt, std::int32_t acc, std::int32_t gain) {
    DrivingStatics& d = drivingStatics();
    if (car->m_maxSpeed == 0) {
        car->m_speedStep = -fixMul32(acc, dt);
        if (isPlayer(car) && d.s_brakeHoldTime != 0) {
            if (d.s_brakeHoldTime > d.s_brakeHoldMax)
                d.s_brakeHoldTime = d.s_brakeHoldMax;
            std::int32_t ramp = divOrZero(mulWrap(d.s_brakeHoldGain, car->m_speedStep), d.s_brakeHoldMax);
            car->m_speedStep += fixMul32(ramp, d.s_brakeHoldTime);
        }
        std::int32_t speed = car->m_speed + car->m_speedStep;
        std::int32_t top = getTopSpeed(car);
        car->m_speed = speed > top ? top : (speed < 0 ? 0 : speed);
    } else if (car->m_maxSpeed < car->m_speed) {
        std::int32_t step = fixMul32(acc, dt) >> 2;
        car->m_speedStep = step;
        if (segmentCurveAt(car->m_segment) == 0 || (car->m_sideContact != 0 && car->m_offRoad != 2))
            car->m_speed -= step;
        else if (isPlayer(car) && car->m_steerDir != 0)
            car->m_speed -= step + (step >> 1) + (step >> 2);
        else
            car->m_speed -= step + (step >> 2);
        if (car->m_speed < car->m_maxSpeed)
            car->m_speed = car->m_maxSpeed;
    } else {
        std::int32_t speed = car->m_speed + (mulWrap(gain, dt) >> 4);
        car->m_speed = speed > car->m_maxSpeed ? car->m_maxSpeed : speed;
    }
}

// Step 8.
void runTimers(cEntity* car, std::int32_t dt) {
    if (car->m_boostTimer > 0) {
        car->m_boostTimer -= dt;
        if (car->m_boostTimer < 0)
            car->m_boostTimer = 0;
    }
    if (car->m_stateTimer > 0) {
        car->m_stateTimer -= dt;
        if (car->m_stateTimer < 1) {
            car->m_stateTimer = 0;
            if (car->m_state == CarState::Ghost || car->m_state == CarState::Nitro) {
                car->m_speed = getTopSpeed(car);
                car->m_maxSpeed = car->m_speed;
            }
            car->m_state = CarState::Normal;
            car->m_stateAnim = 0;
        }
    }
}

// Steps 9 and 10; answers the height value before the move.
std::int32_t move(cEntity* car, std::int32_t dt) {
    DrivingStatics& d = drivingStatics();
    std::int32_t before;
    if (isPlayer(car)) {
        if (car->m_speed >= gearTopSpeed(car, lastGear(car)))
            requestShake(d.s_shakeTime, 1, 1, 1);
        if (car->m_effect == CarEffect::Weave && car->m_spinning)
            car->m_speed = 0;
        car->m_prevStepDistance = car->m_stepDistance;
        car->m_stepDistance = fixMul32(scaleProduct(car->m_speed, dt), d.s_distanceFactor);
        before = segmentHeightValue(car->m_segment);
        moveOnTrack(car, car->m_stepDistance);
        car->m_groundHeight = segmentHeightValue(car->m_segment);
        if (car->m_state == CarState::SlowedPlayer && ++d.s_state128Steps > 30) {
            car->m_state = CarState::Slowed;
            car->m_stateTimer = 19660;
            d.s_state128Steps = 0;
        }
        return before;
    }
    std::int32_t speed = car->m_state == CarState::Slowed ? car->m_speed >> 1 : car->m_speed;
    car->m_prevStepDistance = car->m_stepDistance;
    car->m_stepDistance = scaleProduct(speed, dt);
    std::int32_t drift = fixMul32(car->m_stepDistance, sinFx(car->m_heading));
    std::int32_t forward = fixMul32(car->m_stepDistance, cosFx(car->m_heading));
    if ((car->m_effect == CarEffect::Weave || car->m_effect == CarEffect::LongSpin ||
         car->m_effect == CarEffect::FlaggedSpin) &&
        car->m_spinning) {
        if (car->m_effect == CarEffect::Weave)
            drift += tent(car->m_effectTimer, 300, 36864);
        forward = 0;
        car->m_speed = 0;
    }
    car->m_lateral += drift;
    before = segmentHeightValue(car->m_segment);
    moveOnTrack(car, forward);
    car->m_groundHeight = segmentHeightValue(car->m_segment);
    return before;
}

// Steps 11 to 13.
void jumpAndLand(cEntity* car, std::int32_t dt, std::int32_t before) {
    if (car->m_jumpKind != kJumpTrigger && car->m_height == 0) {
        std::int32_t next = segmentSurface(car->m_segment + 1);
        if (next == kSurfaceGap)
            car->m_jumpKind = kJumpEdge;
        else if (next == kSurfaceRamp)
            car->m_jumpKind = kJumpRamp;
        if (before - car->m_groundHeight > drivingStatics().s_crestDrop && car->m_stepDistance > 0 &&
            car->m_state != CarState::Ghost)
            car->m_jumpKind = kJumpCrest;
    }
    if (!car->m_airborne)
        car->m_airborne = car->m_jumpKind != 0 ? 1 : 0;
    if (isPlayer(car) && car->m_speed > 0 && segmentSurface(car->m_segment) == kSurfaceRough &&
        !shakeRunning() && car->m_spriteSet != kLagSpriteSet)
        requestShake(1000, 2, 2, 1);

    car->m_landed = 0;
    const bool gapHere = segmentSurface(car->m_segment) == kSurfaceGap;
    if (car->m_height == 0) {
        if (!car->m_fallen &&
            (car->m_forceFall || (gapHere && segmentSurface(car->m_segment - 1) != kSurfaceGap)))
            startFall(car);
        if (car->m_airborne) {
            if (isPlayer(car) && car->m_jumpKind != kJumpTriggerLow && inRaceState())
                requestSound(13);
            std::int32_t up = car->m_jumpKind == kJumpHigh                                      ? 1024
                              : (car->m_jumpKind == kJumpCrest || car->m_jumpKind == kJumpRamp) ? 768
                                                                                                : 512;
            car->m_vSpeed = up << 12;
            car->m_height = fixMul32(car->m_vSpeed >> 12, dt);
            car->m_peakHeight = car->m_height;
        }
        return;
    }
    car->m_height += fixMul32(car->m_vSpeed >> 12, dt);
    if (car->m_height > car->m_peakHeight)
        car->m_peakHeight = car->m_height;
    std::int32_t gravity = car->m_jumpKind == kJumpTrigger ? 1800 : 2200;
    if (isPlayer(car) && car->m_driverKind == 2 && car->m_jumpKind == kJumpTrigger)
        gravity /= 2;
    car->m_vSpeed -= mulWrap(gravity, dt);
    if (car->m_height >= 1)
        return;
    if (car->m_forceFall || gapHere)
        startFall(car);
    car->m_landed = 1;
    car->m_airborne = 0;
    car->m_jumpKind = 0;
    if (car->m_vSpeed < -(1200 << 12) && car->m_groundHeight == 0) {
        car->m_height = 1;
        car->m_vSpeed = -car->m_vSpeed / 3;
    } else {
        car->m_vSpeed = 0;
        car->m_height = 0;
    }
}

} // namespace

std::int32_t sinFx(std::int32_t angle) {
    std::int64_t s, c;
    sinCosUnits(angle, s, c);
    return static_cast<std::int32_t>((s + (1 << 17)) >> 18);
}

std::int32_t cosFx(std::int32_t angle) {
    std::int64_t s, c;
    sinCosUnits(angle, s, c);
    return static_cast<std::int32_t>((c + (1 << 17)) >> 18);
}

std::int32_t lastGear(const cEntity* car) {
    return car->m_stats ? car->m_stats->length() - 1 : 0;
}

std::int32_t gearTopSpeed(const cEntity* car, std::int32_t gear) {
    return clampedAt(car->m_stats, gear);
}

std::int32_t getTopSpeed(const cEntity* car) {
    return mulWrap(gearTopSpeed(car, lastGear(car)), racerStatics().s_speedPercent) / 100;
}

std::int32_t segmentHeightValue(std::int32_t segment) {
    std::int32_t slope = intAt(trackStatics().s_segmentHeight, wrapSegment(segment));
    return divOrZero(slope << 12, drivingStatics().s_heightScale);
}

std::int32_t segmentSurface(std::int32_t segment) {
    return rt::ByteArray::get(trackStatics().s_segmentAttributes, 2 * wrapSegment(segment) + 1) & 0xFF;
}

std::int32_t roadsideProfileValue(std::int32_t side, std::int32_t segment, std::int32_t field) {
    const TrackStatics& t = trackStatics();
    const rt::IntArray* rows = side == 2 ? t.s_segmentLaneProfileA : t.s_segmentLaneProfileB;
    std::int32_t row = intAt(rows, wrapSegment(segment));
    return intAt(t.s_sideProfiles, row * kSideProfileInts + field);
}

std::int32_t getAcceleration(const cEntity* car) {
    std::int32_t g = onRoad(car) ? surfaceValue(segmentSurface(car->m_segment), kSurfaceGripColumn)
                                 : roadsideProfileValue(car->m_offRoadSide, car->m_segment, 9);
    std::int32_t t = clampedAt(car->m_gearTable, car->m_gear);
    std::int32_t low = car->m_gear < 2 ? 0 : gearTopSpeed(car, car->m_gear - 1);
    std::int32_t high = gearTopSpeed(car, car->m_gear);
    std::int32_t span = mulWrap(t, g);
    if (span == 0)
        return 1;
    std::int32_t a = divOrZero(mulWrap(high - low, 1600), span);
    a = slopeScaled(a, car->m_segment);
    if (onRoad(car))
        a = fixMul32(drivingStatics().s_accelFactor, a);
    if (isPlayer(car) && slipstream(car))
        a = a + (a >> 4);
    return a == 0 ? 1 : a;
}

std::int32_t getBraking(const cEntity* car) {
    std::int32_t drag = onRoad(car) ? surfaceValue(segmentSurface(car->m_segment), kSurfaceDragColumn)
                                    : roadsideProfileValue(car->m_offRoadSide, car->m_segment, 10);
    std::int32_t b = car->m_driveMode == 3 ? 32000 : car->m_defValues[1];
    std::int32_t r = slopeScaled(mulWrap(100 - drag, b) / 100, car->m_segment);
    return onRoad(car) ? fixMul32(drivingStatics().s_brakeFactor, r) : r;
}

bool steerLeftHeld() {
    return isKeyHeld(kLeftKey) || isKeyHeld(kSecondLeftKey) || isPointerOnRaceLeftHalf();
}

bool steerRightHeld() {
    return isKeyHeld(kRightKey) || isKeyHeld(kSecondRightKey) || isPointerOnRaceRightHalf();
}

bool canUseItem(const cEntity* car) {
    return car->m_jumpKind == 0 && car->m_state != CarState::Ghost && !car->m_fallen && !raceFinished();
}

std::int32_t tent(std::int32_t t, std::int32_t amplitude, std::int32_t period) {
    std::int32_t half = period >> 1;
    return t <= half ? divOrZero(mulWrap(amplitude, t), half)
                     : divOrZero(mulWrap(amplitude, period - t), half);
}

std::int32_t scaleProduct(std::int32_t a, std::int32_t b) {
    return (((fixMul32(a, b) / 10) << 10) + 2048) >> 12;
}

void startHudFlash(std::int32_t kind, std::int32_t duration, bool loop, std::int32_t priority) {
    DrivingStatics& d = drivingStatics();
    if (d.s_hudFlashAnim != -1 && d.s_hudFlashPriority <= priority)
        return;
    d.s_hudFlashAnim = kind;
    d.s_hudFlashDuration = duration;
    d.s_hudFlashLoop = loop ? 1 : 0;
    d.s_hudFlashPriority = priority;
    d.s_hudFlashTime = 0;
}

void startFall(cEntity* car) {
    car->m_fallen = 1;
    dropCollected(car);
    std::int32_t side = trackStatics().s_roadHalfWidth * 6 / 5;
    car->m_fallLateral = car->m_lateral < 1 ? -side : side;
    car->m_fallStep = 0;
    car->m_forceFall = 0;
}

void updatePhysics(cEntity* car, std::int32_t dt, std::int32_t flag) {
    (void)flag;
    if (dt < 1)
        dt = 1;
    if (car->m_fallen) {
        // A fallen car only plays out the drop of what it collected.
        advanceEffectLayer(car, kCollectLayer, timeToMs(raceStatics().s_raceFrameTime));
        return;
    }
    if (car->m_onPath) {
        followPath(car);
        return;
    }
    car->m_prevLateral = car->m_lateral;
    car->m_prevSegmentPos = car->m_segmentPos;
    car->m_prevSegment = car->m_segment;
    car->m_prevLap = car->m_lap;
    car->m_prevSpeed = car->m_speed;
    updateItem(car, dt);

    std::int32_t acc = getBraking(car);
    std::int32_t gain = getAcceleration(car);
    if (car->m_boostTimer > 0 || drivingStatics().s_raceBoostTimer > 0) {
        acc = mulWrap(acc, 4);
        gain = mulWrap(gain, 16);
    }
    if (car->m_type == 1)
        computerRates(car, acc, gain);
    else if (isPlayer(car))
        playerRates(car, dt, gain);

    changeSpeed(car, dt, acc, gain);
    runTimers(car, dt);
    std::int32_t before = move(car, dt);
    jumpAndLand(car, dt, before);
    updateRoadside(car);
    // The gate's animations under the player's car play once from each
    // gate passed; each stops itself at its end.
    if (isPlayer(car))
        advanceAnimPlayers(triggerStatics().s_underCarPlayers, timeToMs(dt));
}

void moveOnTrack(cEntity* car, std::int32_t distance) {
    advanceOnTrack(car, car->m_segment, distance, false, car->m_state == CarState::Ghost);
}

std::int32_t advanceOnTrack(cEntity* car, std::int32_t segment, std::int32_t distance, bool simple,
                            bool flag) {
    (void)flag;
    if (isPlayer(car) && !simple) {
        applyPlaneMove(car, car->m_segment, car->m_lateral, car->m_segmentPos,
                       fixMul32(distance, sinFx(car->m_heading)), fixMul32(distance, cosFx(car->m_heading)));
        return distance;
    }
    std::int32_t d = distance;
    if (d != 0) {
        std::int32_t curve = segmentCurveAt(segment);
        std::int32_t c = curve < 0 ? -curve : curve;
        std::int32_t swept = c - mulWrap(1024 - d, c) / 1024;
        if (swept != 0) {
            // 64 bits: the radius of a gentle bend is far beyond 2^31 / 4096.
            std::int64_t r =
                ((((std::int64_t{drivingStatics().s_curveRadiusScale} * d) << 12) / swept) + 2048) >> 12;
            std::int64_t s = curve > 0 ? car->m_lateral : -car->m_lateral;
            if (r + s != 0)
                d = static_cast<std::int32_t>(r * d / (r + s));
        }
    }
    const std::int32_t count = trackStatics().s_segmentCount;
    car->m_segmentPos += d;
    while (car->m_segmentPos >= kSegmentLength) {
        car->m_segmentPos -= kSegmentLength;
        car->m_segment += 1;
        if (car->m_segment >= count) {
            car->m_segment = 0;
            lapUp(car);
        }
    }
    while (car->m_segmentPos < 0) {
        car->m_segmentPos += kSegmentLength;
        car->m_segment -= 1;
        if (car->m_segment < 0) {
            car->m_segment = count > 0 ? count - 1 : 0;
            car->m_lap -= 1;
        }
    }
    return d;
}

void updateRoadside(cEntity* car) {
    car->m_offRoad = 0;
    std::int32_t steer = isPlayer(car) ? drivingStatics().s_steerInput : 0;
    std::int32_t left = car->m_lateral - clampedAt(car->m_widthProfile, 5 + steer);
    std::int32_t right = car->m_lateral + clampedAt(car->m_widthProfile, 5 - steer);
    std::int32_t leftEdge = leftRoadLimit(car->m_segment);
    std::int32_t rightEdge = rightRoadLimit(car->m_segment);
    std::int32_t flags = rt::ByteArray::get(trackStatics().s_segmentEdgeFlags, wrapSegment(car->m_segment));
    std::int32_t shoulder = trackStatics().s_roadMargin;
    if (left < leftEdge) {
        car->m_offRoadSide = 1;
        car->m_offRoad = right < leftEdge ? 2 : 1;
        if ((flags & 8) && left >= leftEdge - shoulder)
            car->m_offRoad = 3;
    } else if (right > rightEdge) {
        car->m_offRoadSide = 2;
        car->m_offRoad = left > rightEdge ? 2 : 1;
        if ((flags & 4) && right <= rightEdge + shoulder)
            car->m_offRoad = 3;
    }
}

void applyPlaneMove(cEntity* car, std::int32_t fromSegment, std::int32_t fromLateral, std::int32_t fromPos,
                    std::int32_t dLateral, std::int32_t dDistance) {
    TrackPoint to = moveInPlane(fromSegment, fromLateral, fromPos, dLateral, dDistance);
    car->m_segment = to.segment;
    car->m_lateral = to.lateral;
    car->m_segmentPos = to.position;
    const std::int32_t count = trackStatics().s_segmentCount;
    std::int32_t sum = 0;
    if (to.segment != fromSegment && count > 0) {
        std::int32_t d = to.segment - fromSegment;
        if (d > count / 2)
            d -= count;
        else if (d < -(count / 2))
            d += count;
        std::int32_t k = fromSegment;
        for (; d > 0; --d) {
            if (++k >= count) {
                k = 0;
                lapUp(car);
            }
            sum += segmentCurveAt(k);
        }
        // Backwards the heading leaves the line of each segment it goes back
        // out of.
        for (; d < 0; ++d) {
            sum -= segmentCurveAt(k);
            if (--k < 0) {
                k = count - 1;
                car->m_lap -= 1;
            }
        }
    }
    const std::int32_t limit = drivingStatics().s_maxHeading;
    auto clamp = [limit](std::int32_t v) { return v > limit ? limit : (v < -limit ? -limit : v); };
    if (car->m_sideContact != 0) {
        car->m_heading += sum;
        car->m_smoothHeading += sum;
    } else {
        car->m_heading = clamp(car->m_heading + sum);
        car->m_smoothHeading = clamp(car->m_heading + sum);
    }
    if (to.wall) {
        std::int32_t h = getWallAngle(car);
        if (car->m_lateral > 0)
            h = -h;
        car->m_heading = h;
        car->m_smoothHeading = h >> 1;
    }
}

std::int32_t getWallAngle(const cEntity* car) {
    const DrivingStatics& d = drivingStatics();
    if (car->m_speed < d.s_wallSpeedLow || d.s_wallSpeedHigh <= d.s_wallSpeedLow)
        return d.s_wallAngleSlow;
    if (car->m_speed > d.s_wallSpeedHigh)
        return d.s_wallAngleFast;
    return d.s_wallAngleSlow +
           divOrZero(mulWrap(d.s_wallAngleFast - d.s_wallAngleSlow, car->m_speed - d.s_wallSpeedLow),
                     d.s_wallSpeedHigh - d.s_wallSpeedLow);
}

void followPath(cEntity* car) {
    if (car->m_height < kPathHeight) {
        car->m_height += 64;
        return;
    }
    car->m_height += car->m_height < 400 ? 2 : -2;
    if (car->m_lateral < 0)
        car->m_lateral = car->m_lateral + 48 > 0 ? 0 : car->m_lateral + 48;
    else if (car->m_lateral > 0)
        car->m_lateral = car->m_lateral - 48 < 0 ? 0 : car->m_lateral - 48;
    if (car->m_lateral == 0) {
        car->m_fallLateral = car->m_screenY;
        car->m_onPath = 0;
    }
}

std::int32_t getCellSurface(const cEntity* car, std::int32_t segment, bool roadside) {
    const std::int32_t count = trackStatics().s_segmentCount;
    if (segment >= count)
        segment -= count;
    if (roadside && (car->m_offRoad == 1 || car->m_offRoad == 2))
        return roadsideProfileValue(car->m_offRoadSide, segment, 12);
    return segmentSurface(segment);
}

std::int32_t easeInRange(std::int32_t x, std::int32_t lo, std::int32_t hi, std::int32_t depth) {
    if (hi <= lo)
        return kRaceOne;
    x = x < lo ? lo : (x > hi ? hi : x);
    std::int32_t c = cosFx(static_cast<std::int32_t>(std::int64_t{x - lo} * 1024 / (std::int64_t{hi} - lo)));
    std::int32_t v = (mulWrap((kRaceOne - c) / 2, depth) + mulWrap(kRaceOne - depth, kRaceOne)) / kRaceOne;
    return v < kRaceOne - depth ? kRaceOne - depth : (v > kRaceOne ? kRaceOne : v);
}

std::int32_t scaleSteerLow(std::int32_t v, std::int32_t speed) {
    (void)speed;
    return fixMul32(v, drivingStatics().s_steerLowFactor);
}

std::int32_t scaleSteerHigh(std::int32_t v, std::int32_t speed) {
    (void)speed;
    return fixMul32(v, drivingStatics().s_steerHighFactor);
}

} // namespace game
