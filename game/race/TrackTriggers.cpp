#include "game/race/TrackTriggers.h"

#include "game/data/SoundRequests.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/Impacts.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/TrackData.h"
#include "game/race/TrackQueries.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "runtime/StaticClass.h"

namespace game {

TriggerStatics& triggerStatics() {
    return rt::getStaticClass().statics<TriggerStatics>();
}

namespace {

constexpr std::int32_t kRecordInts = 4;
constexpr std::int32_t kLaneSpacing = 512;
constexpr std::int32_t kStrikeKind = 1;
constexpr std::int32_t kNoStrikeDriver = 5;
constexpr std::int32_t kGuidedOpponentAhead = 5;

bool jumpPending(const cEntity* e) {
    return e->m_jumpKind != 0;
}
std::int32_t laneCentre(std::int32_t p) {
    return (p - 3) * kLaneSpacing;
}
std::int32_t widthAt(const cEntity* e, std::int32_t i) {
    const rt::IntArray* w = e->m_widthProfile;
    if (!w || w->length() == 0)
        return 0;
    const std::int32_t n = w->length();
    return rt::IntArray::get(w, i < 0 || i >= n ? n - 1 : i);
}

bool bitSet(const rt::IntArray* marks, std::int32_t segment, std::int32_t p) {
    return (intAt(marks, segment) >> p & 1) != 0;
}
void setBit(rt::IntArray* marks, std::int32_t segment, std::int32_t p) {
    setIntAt(marks, segment, intAt(marks, segment) | 1 << p);
}

bool laneOverlap(std::int32_t xl, std::int32_t xr, std::int32_t p) {
    const TrackStatics& t = trackStatics();
    const std::int32_t from = t.s_laneWidth * p - t.s_roadHalfWidth;
    return rangesOverlap(xl, xr, from, from + t.s_laneWidth);
}
bool centredOverlap(std::int32_t xl, std::int32_t xr, std::int32_t centre, std::int32_t half) {
    return rangesOverlap(xl, xr, centre - half, centre + half);
}

// A knock-out through the impacts (`applyImpact`) at `speed`.
void impactKnockOut(cEntity* e, std::int32_t speed) {
    applyImpact(e, ImpactFlag::KnockOut, speed, nullptr);
}

void takeOff(cEntity* e) {
    if (jumpPending(e))
        return;
    e->m_jumpKind = kJumpStruck;
    e->m_airborne = 1;
    e->m_height = 0;
}

// Holds the entity inside the road's edges less its reach.
void keepOnRoad(cEntity* e, std::int32_t left, std::int32_t right) {
    const TrackStatics& t = trackStatics();
    const std::int32_t flags =
        t.s_segmentEdgeFlags ? rt::ByteArray::get(t.s_segmentEdgeFlags, wrapSegment(e->m_segment)) : 0;
    const std::int32_t low = t.s_laneWidth * (flags & 1) - t.s_roadHalfWidth - t.s_roadMargin + left;
    const std::int32_t high = t.s_roadHalfWidth - t.s_laneWidth * (flags >> 1 & 1) + t.s_roadMargin - right;
    std::int32_t lateral = e->m_lateral;
    if (lateral < low)
        lateral = low;
    else if (lateral > high)
        lateral = high;
    if (lateral == e->m_lateral)
        return;
    e->m_lateral = lateral;
    if (isPlayer(e) && e->m_sideContact != 0)
        e->m_contactEnd = 1;
}

// The box found last pushes the entity out to its side.
void boxPush(cEntity* e, std::int32_t left, std::int32_t right, bool bounce) {
    const TriggerStatics& s = triggerStatics();
    const std::int32_t bl = s.s_boxEdgeA < s.s_boxEdgeB ? s.s_boxEdgeA : s.s_boxEdgeB;
    const std::int32_t br = s.s_boxEdgeA < s.s_boxEdgeB ? s.s_boxEdgeB : s.s_boxEdgeA;
    const std::int32_t xl = e->m_lateral - left;
    const std::int32_t xr = e->m_lateral + right;
    ImpactFlag side;
    if (br < 0 && br - xl > 0) {
        e->m_lateral = e->m_prevLateral = br + left;
        side = ImpactFlag::BoxLeft;
    } else if (bl > 0 && xr - bl > 0) {
        e->m_lateral = e->m_prevLateral = bl - right;
        side = ImpactFlag::BoxRight;
    } else {
        return;
    }
    const ImpactStatics& is = impactStatics();
    const std::int32_t heading = e->m_heading < 0 ? -e->m_heading : e->m_heading;
    if (e->m_type != 2) {
        const bool crash = e->m_speed > is.s_impactSpeedLimit && heading > is.s_impactAngleLimit;
        applyImpact(e, crash ? ImpactFlag::Crash : side, e->m_speed, nullptr);
    }
    if (bounce && e->m_type == 2 && e->m_itemSlot == 0) {
        const std::int32_t limit = s.s_bounceAngleLimit;
        const std::int32_t h = -e->m_heading;
        e->m_heading = h > limit ? limit : (h < -limit ? -limit : h);
    }
}

void gateRule(cEntity* e, std::int32_t code, std::int32_t xl, std::int32_t xr) {
    TriggerStatics& s = triggerStatics();
    const std::int32_t segment = wrapSegment(e->m_segment);
    const bool done =
        s.s_gateDone && segment < s.s_gateDone->length() && rt::ByteArray::get(s.s_gateDone, segment) == 1;
    if (done || stateStatics().s_gameMode != GameMode::LapRace)
        return;
    if (jumpPending(e) && s.s_gateKind != 3)
        return;
    const std::int32_t from = ((code & kTriggerFarSide) ? s.s_movingObjectX2 : s.s_movingObjectX) - 128;
    if (!rangesOverlap(xl, xr, from, from + 256))
        return;
    auto markDone = [&] {
        if (s.s_gateDone && segment < s.s_gateDone->length())
            rt::ByteArray::set(s.s_gateDone, segment, 1);
    };
    const bool passes = isPlayer(e) && s.s_gateKind == 3;
    auto pass = [&] {
        s.s_gatePassed = 1;
        requestSound(11);
        restartAnimPlayers(s.s_underCarPlayers);
    };
    if (e->m_state == CarState::Strike || e->m_state == CarState::NoContact ||
        e->m_state == CarState::Ghost) {
        if (passes) {
            pass();
            markDone();
        }
        return;
    }
    if (passes) {
        pass();
        if (e->m_speed > kmhToSpeed(80)) {
            const std::int32_t half = e->m_speed >> 1;
            e->m_speed = e->m_maxSpeed = half > kmhToSpeed(40) ? half : kmhToSpeed(40);
        }
    } else if (s.s_gateKind != 13 || s.s_movingObjectProgress > 2599) {
        impactKnockOut(e, e->m_speed);
    }
    if (s.s_gateKind != 13)
        markDone();
}

void runDynamic(cEntity* e, std::int32_t code, std::int32_t left, std::int32_t right) {
    const cEntity* player = racerStatics().s_playerCar;
    std::int32_t entry = 0;
    if (!player || !isCodeForVariant(code) || getCodeLap(code) != player->m_lap ||
        !findDynamicTrigger(code, entry))
        return;
    if ((entry >> 24 & 0xFF) != 0xFF) {
        if (findObstacleBox(entry & 0xFF, e->m_segment))
            boxPush(e, left, right, false);
        return;
    }
    const std::int32_t xl = e->m_lateral - left;
    const std::int32_t xr = e->m_lateral + right;
    const std::int32_t p = entry >> 16 & 15;
    const std::int32_t guide = eventGoalStatics().s_guideStep;
    switch (entry & 0xFF) {
    case kActionItemBox:
        triggerItemBox(e, xl, xr, p, entry >> 20 & 15);
        break;
    case kActionCoin:
        if (!guidedMode() || guide > 6)
            triggerCoin(e, xl, xr, p, false);
        break;
    case kActionTenCoins:
        if (!guidedMode() || guide > 7)
            triggerCoin(e, xl, xr, p, true);
        break;
    case kActionBoost:
        triggerBoost(e, xl, xr, p);
        break;
    case kActionBump:
        if (!guidedMode() || guide > 7)
            triggerBump(e, xl, xr, p);
        break;
    case kActionRamp:
        triggerRamp(e, xl, xr, p);
        break;
    case kActionHazard:
        triggerHazard(e, xl, xr, p);
        break;
    default:
        break;
    }
}

rt::IntArray*& effects() {
    return zoomPoolStatics().s_poolRecordList;
}

ZoomedAnimPlayer* poolPlayer(std::int32_t slot) {
    rt::ObjectArray* pool = zoomPoolStatics().s_zoomAnimPool;
    if (!pool || slot < 0 || slot >= pool->length())
        return nullptr;
    return static_cast<ZoomedAnimPlayer*>(rt::ObjectArray::get(pool, slot));
}

std::int32_t freePoolSlot() {
    for (std::int32_t i = 0; i < kZoomAnimPoolSize; ++i)
        if (ZoomedAnimPlayer* player = poolPlayer(i); player && !player->m_inUse)
            return i;
    return -1;
}

// Cuts record `index` out of the list; the players' offsets behind it move
// down.
void removeEffect(std::int32_t index) {
    const std::int32_t offset = index * kRecordInts;
    effects() = removeIntRange(effects(), offset, kRecordInts);
    for (std::int32_t i = 0; i < kZoomAnimPoolSize; ++i)
        if (ZoomedAnimPlayer* player = poolPlayer(i); player && player->m_recordOffset > offset)
            player->m_recordOffset -= kRecordInts;
}

void strikeByEffects(cEntity* e) {
    if (e->m_segmentPos <= 400)
        return;
    for (std::int32_t i = 0; i < trackEffectCount(); ++i) {
        const rt::IntArray* list = effects();
        const std::int32_t head = rt::IntArray::get(list, i * kRecordInts);
        if ((head & 0xFFFF) != (e->m_segment & 0xFFFF))
            continue;
        const std::int32_t kind = head >> 24 & 0xFF;
        if (kind == 4 || kind == 5)
            continue;
        const std::int32_t lateral = rt::IntArray::get(list, i * kRecordInts + 1);
        const std::int32_t half = kind <= 1 ? 128 : 1024;
        if (!centredOverlap(e->m_lateral - leftExtent(e), e->m_lateral + rightExtent(e), lateral, half))
            continue;
        if (kind == kStrikeKind) {
            if (e->m_driverKind == kNoStrikeDriver)
                return;
            const std::int32_t position = rt::IntArray::get(list, i * kRecordInts + 2);
            removeEffect(i);
            startRaceEffect(2, e->m_segment, lateral, position, 0);
        }
        if (!untouchable(e)) {
            impactKnockOut(e, 0);
            if (kind == 2 || kind == 3)
                takeOff(e);
        }
        return;
    }
}

} // namespace

bool rangesOverlap(std::int32_t a0, std::int32_t a1, std::int32_t b0, std::int32_t b1) {
    const bool aLonger = std::int64_t{a1} - a0 >= std::int64_t{b1} - b0;
    const std::int32_t l0 = aLonger ? a0 : b0, l1 = aLonger ? a1 : b1;
    const std::int32_t s0 = aLonger ? b0 : a0, s1 = aLonger ? b1 : a1;
    return (l0 < s1 && s1 < l1) || (l0 < s0 && s0 < l1) || (l0 < s0 && s1 < l1);
}

std::int32_t leftExtent(const cEntity* e) {
    return widthAt(e, 5 + drivingStatics().s_steerInput);
}
std::int32_t rightExtent(const cEntity* e) {
    return widthAt(e, 5 - drivingStatics().s_steerInput);
}

bool findObstacleBox(std::int32_t code, std::int32_t segment) {
    (void)segment; // a box stands on the segment whose code names it
    const TrackStatics& t = trackStatics();
    const std::int32_t box = code & 0xFF;
    if (box >= t.s_objectCount || !t.s_objectPoints || box >= t.s_objectPoints->length())
        return false;
    auto* points = static_cast<rt::ShortArray*>(rt::ObjectArray::get(t.s_objectPoints, box));
    if (!points || points->length() < 2)
        return false;
    std::int32_t a = rt::ShortArray::get(points, 0);
    std::int32_t b = rt::ShortArray::get(points, 1);
    if (code & kTriggerFarSide) {
        const std::int32_t mirrored = -a;
        a = -b;
        b = mirrored;
    }
    triggerStatics().s_boxEdgeA = a;
    triggerStatics().s_boxEdgeB = b;
    return true;
}

void resetTrackTriggers() {
    TriggerStatics& s = triggerStatics();
    const std::int32_t segments = trackStatics().s_segmentCount > 0 ? trackStatics().s_segmentCount : 0;
    s.s_itemBoxTaken = rt::newIntArray(segments);
    s.s_coinTaken = rt::newIntArray(segments);
    s.s_gateDone = rt::newByteArray(segments);
    s.s_laneTargets = rt::newIntArray(kLanes);
    for (std::int32_t p = 0; p < kLanes; ++p)
        rt::IntArray::set(s.s_laneTargets, p, kLaneTaken);
    s.s_laneTargetsOn = 0;
    s.s_gatePassed = s.s_itemBoxFlag = s.s_coinFlag = 0;
    s.s_boxEdgeA = s.s_boxEdgeB = 0;
    effects() = nullptr;
    for (std::int32_t i = 0; i < kZoomAnimPoolSize; ++i)
        if (ZoomedAnimPlayer* player = poolPlayer(i); player && player->m_recordOffset >= 0) {
            player->stop();
            player->release();
        }
}

void releaseTrackTriggers() {
    TriggerStatics& s = triggerStatics();
    s.s_itemBoxTaken = nullptr;
    s.s_coinTaken = nullptr;
    s.s_gateDone = nullptr;
    s.s_underCarPlayers = nullptr;
    s.s_movingObjectPlayer = nullptr;
    s.s_movingObjectProgress = 0;
    effects() = nullptr;
}

void advanceMovingObject(std::int32_t ms) {
    TriggerStatics& s = triggerStatics();
    if (!s.s_movingObjectPlayer)
        return;
    s.s_movingObjectPlayer->update(ms);
    s.s_movingObjectProgress = s.s_movingObjectPlayer->m_time;
}

std::int32_t trackEffectCount() {
    return effects() ? effects()->length() / kRecordInts : 0;
}

void startRaceEffect(std::int32_t kind, std::int32_t segment, std::int32_t lateral, std::int32_t position,
                     std::int32_t extra) {
    struct Animation {
        std::int32_t animation, duration;
    };
    static constexpr Animation kAnimations[] = {{34, 4200}, {35, 4200}, {31, 5000}, {28, 4200}};
    std::int32_t slot = 0;
    ZoomedAnimPlayer* player = nullptr;
    if (kind >= 2 && kind <= 5) {
        slot = freePoolSlot();
        if (slot < 0)
            return;
        player = poolPlayer(slot);
        const Animation& a = kAnimations[kind - 2];
        player->start(triggerStatics().s_effectSprite, a.animation, a.duration, 0);
    }
    const std::int32_t index = trackEffectCount();
    effects() = growIntArray(effects(), kRecordInts);
    const std::int32_t values[kRecordInts] = {(segment & 0xFFFF) | (slot & 0xFF) << 16 | (kind & 0xFF) << 24,
                                              lateral, position, extra};
    for (std::int32_t i = 0; i < kRecordInts; ++i)
        rt::IntArray::set(effects(), index * kRecordInts + i, values[i]);
    if (player)
        player->m_recordOffset = index * kRecordInts;
}

void triggerBoost(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p) {
    if (e->m_state == CarState::Ghost || guidedMode() || jumpPending(e) || !laneOverlap(xl, xr, p))
        return;
    e->m_boostTimer = kRaceOne;
    e->m_nitroFlags[0] = 1;
    e->m_nitroFlags[1] = 0;
    if (!isPlayer(e))
        return;
    if (e->m_speed < kmhToSpeed(135))
        e->m_speed = kmhToSpeed(135);
    requestShake(triggerStatics().s_boostShakeKind, 0, 2, 1);
    requestSound(14);
    startHudFlash(kBoostFlashAnim, impactStatics().s_impactTime / 2, false, 999);
}

void triggerHazard(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p) {
    if (e->m_state == CarState::Strike || e->m_state == CarState::Ghost || guidedMode() || jumpPending(e) ||
        e->m_effect == CarEffect::KnockOut || !laneOverlap(xl, xr, p))
        return;
    impactKnockOut(e, e->m_speed);
}

void triggerBump(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p) {
    if (e->m_state == CarState::Ghost || jumpPending(e) || !centredOverlap(xl, xr, laneCentre(p), 160))
        return;
    e->m_jumpKind = kJumpHigh;
}

void triggerRamp(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p) {
    if (!centredOverlap(xl, xr, laneCentre(p), 820))
        return;
    const bool player = isPlayer(e);
    if (player) {
        const std::int32_t rampSpeed = triggerStatics().s_rampSpeed;
        if (e->m_speed < rampSpeed)
            e->m_speed = e->m_maxSpeed = 2 * rampSpeed;
        if (e->m_height > 512)
            return;
    }
    e->m_jumpKind = kJumpTrigger;
    const std::int32_t launch = static_cast<std::int32_t>(std::int64_t{getTopSpeed(e)} * 8 / 10);
    const bool boosted = e->m_boostTimer >= 1;
    const bool slow = player && !boosted && e->m_speed < launch;
    e->m_vSpeed = slow ? 512 << 12 : 1024 << 12;
    if (slow && e->m_height < 1)
        e->m_vSpeed = e->m_speed / 16;
    else if (player && (boosted || !slow) && e->m_speed > kmhToSpeed(150))
        e->m_speed = kmhToSpeed(150);
    e->m_driveMode = 2;
    e->m_knocked = 0;
}

// The guided race's second car, still off the track, comes on 5 segments
// ahead of the player; the two become racers 0 and 1. A car already on
// the track, or a racer list without a second car, is left as it is.
void bringGuidedOpponent(cEntity* player) {
    rt::ObjectArray* racers = raceStatics().s_racers;
    if (!racers || racers->length() < 2)
        return;
    cEntity* other = nullptr;
    for (rt::Object* o : rt::Array::objectElementsAt(racers))
        if (o && o != player && o->classId() == cEntity::kClassId) {
            other = static_cast<cEntity*>(o);
            break;
        }
    if (!other || other->m_active)
        return;
    const std::int32_t count = trackStatics().s_segmentCount;
    const std::int32_t ahead = player->m_segment + kGuidedOpponentAhead;
    // The lap follows across the start line so that the car really is
    // ahead of the player in the ranking.
    const bool wraps = count > 0 && ahead >= count;
    other->m_segment = other->m_prevSegment = count > 0 ? ahead % count : ahead;
    other->m_lap = other->m_prevLap = player->m_lap + (wraps ? 1 : 0);
    other->m_active = 1;
    rt::ObjectArray::set(racers, 0, other);
    rt::ObjectArray::set(racers, 1, player);
    other->m_racePosition = 0;
    player->m_racePosition = 1;
}

void triggerItemBox(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p, std::int32_t q) {
    TriggerStatics& s = triggerStatics();
    if (e->m_type == 2 || (guidedMode() && eventGoalStatics().s_guideStep != 4))
        return;
    e->m_laneTarget = -1;
    setIntAt(s.s_laneTargets, p, kLaneNone);
    if (bitSet(s.s_itemBoxTaken, e->m_segment, p) || !centredOverlap(xl, xr, laneCentre(p), 128))
        return;
    if (isPlayer(e)) {
        s.s_itemBoxFlag = 1;
        requestSound(15);
    }
    if (e->m_itemSlot == -1 && e->m_heldItem == -1) {
        e->m_itemTimer = kItemDrawTime;
        e->m_nextItem = q >= 0 && q <= 8 ? q : -1;
        if (guidedMode())
            e->m_nextItem = 3;
    }
    if (guidedMode() && isPlayer(e))
        bringGuidedOpponent(e);
    setBit(s.s_itemBoxTaken, e->m_segment, p);
}

void triggerCoin(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p, bool ten) {
    TriggerStatics& s = triggerStatics();
    if (e->m_type == 2)
        return;
    if (ten && e->m_jumpKind != kJumpHigh && e->m_jumpKind != kJumpTrigger && e->m_jumpKind != kJumpEdge)
        return;
    if (bitSet(s.s_coinTaken, e->m_segment, p) || !centredOverlap(xl, xr, laneCentre(p), ten ? 250 : 128))
        return;
    if (isPlayer(e)) {
        s.s_coinFlag = 1;
        requestSound(21);
    }
    e->m_collected += ten ? 10 : 1;
    // A ten-coin caught in the air is what the guide's jumping step teaches.
    if (ten && guidedMode() && eventGoalStatics().s_guideStep == kGuideJumpStep)
        completeGuideStep();
    const std::int32_t cap =
        stateStatics().s_gameMode == GameMode::Collection ? currentEventField(1, 10) : 10;
    if (e->m_collected > cap)
        e->m_collected = cap;
    setBit(s.s_coinTaken, e->m_segment, p);
}

void processTrackTriggers(cEntity* e) {
    if (!e || raceStatics().s_raceFinished || e->m_onPath || (guidedMode() && !isPlayer(e)))
        return;
    const std::int32_t left = leftExtent(e);
    const std::int32_t right = rightExtent(e);
    keepOnRoad(e, left, right);
    const TrackStatics& t = trackStatics();
    const std::int32_t k = t.s_triggersPerSegment;
    const std::int32_t segment = wrapSegment(e->m_segment);
    for (std::int32_t slot = 0; t.s_triggerCodes && slot < k; ++slot) {
        const std::int32_t index = segment * k + slot;
        if (index >= t.s_triggerCodes->length())
            break;
        const std::int32_t code = rt::ShortArray::get(t.s_triggerCodes, index) & 0xFFFF;
        const std::int32_t p = code & 15;
        const std::int32_t xl = e->m_lateral - left;
        const std::int32_t xr = e->m_lateral + right;
        switch (code & 0xF000) {
        case kTriggerBoost:
            triggerBoost(e, xl, xr, p);
            break;
        case kTriggerHazard:
            triggerHazard(e, xl, xr, p);
            break;
        case kTriggerBump:
            triggerBump(e, xl, xr, p);
            break;
        case kTriggerRamp:
            triggerRamp(e, xl, xr, p);
            break;
        case kTriggerBox:
            if (findObstacleBox(code, segment) && (code & 0xFF) >= 3)
                boxPush(e, left, right, true);
            else if ((code & 0xFF) == triggerStatics().s_movingObjectId)
                gateRule(e, code, xl, xr);
            break;
        case kTriggerDynamic:
            runDynamic(e, code, left, right);
            break;
        default:
            break;
        }
    }
    strikeByEffects(e);
}

} // namespace game
