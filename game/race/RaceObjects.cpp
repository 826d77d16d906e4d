#include "game/race/RaceObjects.h"

#include "game/data/SoundRequests.h"
#include "game/framework/CarFrames.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/ComputerDriver.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventGoals.h"
#include "game/race/Impacts.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceKernel.h"
#include "game/race/RacePhase.h"
#include "game/race/RacePlacement.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"

namespace game {

RaceObjectStatics& raceObjectStatics() {
    return rt::getStaticClass().statics<RaceObjectStatics>();
}

namespace {

constexpr std::int32_t kMarkerInts = 4;
constexpr std::int32_t kObjectWidths[12] = {100, 97, 93, 87, 82, 120, 82, 87, 93, 97, 100, 240};
constexpr std::int32_t kAimedBack = 10;
constexpr std::int32_t kMarkerReach = 15;
constexpr std::int32_t kMaxLateralMove = 200;
// The effect layers' passes, in milliseconds.
constexpr std::int32_t kStrikeLayerMs = 3000;
constexpr std::int32_t kSwappedLayerMs = 1536;
constexpr std::int32_t kShieldLayerMs = 3000;
constexpr std::int32_t kCastLayerMs = 3000;
constexpr std::int32_t kSpeedGlowLayerMs = 6000;
constexpr std::int32_t kTargetLayerMs = 1000;
constexpr std::int32_t kStrikeSound = 11;

std::int32_t percent(std::int32_t v, std::int32_t p) {
    return static_cast<std::int32_t>(std::int64_t{v} * p / 100);
}
// 1..10 from the shared Random.
std::int32_t getRandomTen() {
    return raceRandom(10) + 1;
}

// A car leaving the ghost state gets its top speed back.
void leaveGhost(cEntity* car) {
    if (car->m_state == CarState::Ghost)
        car->m_speed = car->m_maxSpeed = getTopSpeed(car);
}

rt::IntArray* markers() {
    RaceObjectStatics& s = raceObjectStatics();
    if (!s.s_playerMarkers)
        s.s_playerMarkers = rt::newIntArray(kPlayerMarkers * kMarkerInts);
    return s.s_playerMarkers;
}

bool validMarker(std::int32_t index) {
    return index >= 0 && index < kPlayerMarkers;
}

// The object is behind the player's car.
bool behindPlayer(const cEntity* object) {
    const cEntity* p = playerCar();
    return p && carGap(object, p) < 0;
}

// The cast of item 5 reaching the others: each racer but the caster and
// those of driver kind 2 gets the strike on its struck layer, the player's
// car only one time in five; the strike lands when that layer ends.
void strikeOthers(const cEntity* user) {
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        cEntity* other = racerAt(i);
        if (!other || other == user || other->m_driverKind == 2)
            continue;
        if (isPlayer(other) && getRandomTen() < 9)
            continue;
        startEffectLayer(other, kStruckLayer, kStarRingAnim, kStrikeLayerMs, 0, kStruckLayerMode);
    }
}

// The strike of item 5 landing on `car` as its struck layer ends.
void landStrike(cEntity* car) {
    if (isPlayer(car))
        requestSound(kStrikeSound);
    if (car->m_state == CarState::Strike || car->m_state == CarState::Ghost ||
        car->m_state == CarState::NoContact || car->m_state == CarState::Shield)
        return;
    setState(car, CarState::Swapped, mulWrap(itemValue(car->m_driverKind, 5, 1), 6144));
    startEffectLayer(car, kStateLayer, kStarRingAnim, kSwappedLayerMs, -1, kPlainLayerMode);
}

// What the end of the item layer's animation does: the shield falls, the
// untouchable glow leaves the car untouchable for a while, a cast strikes
// the others.
void endItemLayer(cEntity* car) {
    if (effectLayerPlays(car, kItemLayer, kShieldAnim, kPlainLayerMode)) {
        setState(car, CarState::Normal, 0);
    } else if (effectLayerPlays(car, kItemLayer, kSpeedGlowAnim, kCastLayerMode)) {
        setState(car, CarState::NoContact, mulWrap(itemValue(car->m_driverKind, 7, 1), 18432));
    } else if (effectLayerPlays(car, kItemLayer, kStarRingAnim, kCastLayerMode)) {
        strikeOthers(car);
    }
}

// The effect layers advance by the race frame's time; the ends of the
// struck and item layers act.
void advanceEffectLayers(cEntity* car) {
    const std::int32_t ms = timeToMs(raceStatics().s_raceFrameTime);
    advanceEffectLayer(car, kStateLayer, ms);
    advanceEffectLayer(car, kCollectLayer, ms);
    advanceEffectLayer(car, kKnockOutLayer, ms);
    const bool struckEnded = advanceEffectLayer(car, kStruckLayer, ms);
    const bool itemEnded = advanceEffectLayer(car, kItemLayer, ms);
    advanceEffectLayer(car, kTargetLayer, ms);
    advanceEffectLayer(car, kHeldItemLayer, ms);
    if (struckEnded && effectLayerPlays(car, kStruckLayer, kStarRingAnim, kStruckLayerMode))
        landStrike(car);
    if (itemEnded)
        endItemLayer(car);
}

void slowOthers(cEntity* user) {
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        cEntity* other = racerAt(i);
        if (!other || other == user || other->m_state == CarState::Strike ||
            other->m_state == CarState::Shield || other->m_state == CarState::Ghost)
            continue;
        other->m_state = isPlayer(other) ? CarState::SlowedPlayer : CarState::Slowed;
        other->m_stateTimer = isPlayer(other) ? 78640 : 19660;
    }
}

// The shield of `CarState::Shield`: a counter steps through the shield's eight
// phases, and every car that touches the shielded one is pushed away
// sideways, 5 units a step for eight steps.
void shieldStep(cEntity* car) {
    car->m_stateCounter = (car->m_stateCounter + 1) & 7;
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        cEntity* other = racerAt(i);
        if (!other || other == car || other->m_knocked || other->m_state == CarState::NoContact ||
            other->m_pushTimer != 0 || !checkEntityContact(car, other, false))
            continue;
        other->m_pushTimer = other->m_lateral >= car->m_lateral ? 8 : -8;
    }
}

void placeObject(cEntity* object, const cEntity* owner) {
    object->m_type = 2;
    resetOnTrack(object, owner->m_lap, owner->m_segment, owner->m_segmentPos, owner->m_lateral,
                 owner->m_stepDistance, 0);
    object->m_knocked = object->m_spinning = 0;
    object->m_jumpKind = 0;
    object->m_airborne = 0;
    object->m_onPath = 0;
    object->m_targetIndex = -1;
    object->m_lateralRate = 0;
}

std::int32_t clampHeadingValue(std::int32_t h) {
    const std::int32_t limit = drivingStatics().s_maxHeading;
    return h > limit ? limit : (h < -limit ? -limit : h);
}

// The lateral move that closes on the target over the gap left: all of
// the difference once the object is level with it, never more than 200.
std::int32_t closingMove(cEntity* object, const cEntity* target) {
    const std::int64_t dLateral = std::int64_t{target->m_lateral} - object->m_lateral;
    const std::int64_t gap = carGap(target, object);
    std::int64_t move = dLateral;
    if (gap > object->m_stepDistance && gap > 0)
        move = dLateral * object->m_stepDistance / gap;
    move = move > kMaxLateralMove ? kMaxLateralMove : (move < -kMaxLateralMove ? -kMaxLateralMove : move);
    object->m_lateralRate = static_cast<std::int32_t>(move);
    return object->m_lateralRate;
}

} // namespace

// --- Items -----------------------------------------------------------------

std::int32_t drawItem(const cEntity* car, std::int32_t table, std::int32_t row) {
    (void)car;
    const rt::ObjectArray* tables = drivingStatics().s_itemWeights;
    if (!tables || tables->length() == 0)
        return -1;
    table = table < 0 ? 0 : (table >= tables->length() ? tables->length() - 1 : table);
    auto* rows = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(tables, table));
    if (!rows || rows->length() == 0)
        return -1;
    row = row < 0 ? 0 : (row >= rows->length() ? rows->length() - 1 : row);
    auto* weights = static_cast<rt::ByteArray*>(rt::ObjectArray::get(rows, row));
    std::int32_t total = 0;
    for (std::int32_t i = 0; weights && i < weights->length() && i < kItemSlots; ++i)
        total += rt::ByteArray::get(weights, i) > 0 ? rt::ByteArray::get(weights, i) : 0;
    if (total < 1) {
        host::logf(host::LogCategory::Game, "race: item weights %d row %d are all 0: no item", table, row);
        return -1;
    }
    const std::int32_t r = raceRandom(99) + 1;
    std::int32_t slot = -1;
    for (std::int32_t sum = 0; sum < r;) {
        slot = slot + 1 >= kItemSlots ? 0 : slot + 1;
        const std::int32_t w = slot < weights->length() ? rt::ByteArray::get(weights, slot) : 0;
        sum += w > 0 ? w : 0;
    }
    return slot;
}

std::int32_t drawItemForCar(cEntity* car) {
    return drawItem(car, isPlayer(car) ? 0 : 1, car->m_racePosition);
}

void updateItem(cEntity* car, std::int32_t dt) {
    if (car->m_itemTimer < 1) {
        if (car->m_itemCooldown > 0) {
            car->m_itemCooldown -= dt;
            if (car->m_itemCooldown < 1)
                car->m_itemCooldown = 0;
        }
        car->m_itemTimer = 0;
        return;
    }
    if (car->m_itemTimer == kItemDrawTime && isPlayer(car))
        requestSound(16);
    car->m_itemTimer -= dt;
    if (car->m_itemTimer > 0) {
        car->m_itemSlot = car->m_itemSlot + 1 >= kItemSlots ? 0 : car->m_itemSlot + 1;
        return;
    }
    if (isPlayer(car))
        requestSound(17);
    std::int32_t item = car->m_nextItem;
    car->m_nextItem = -1;
    if (item == -1)
        item = drawItemForCar(car);
    car->m_itemSlot = item;
    if (item < 0)
        return;
    car->m_itemUses = itemValue(car->m_driverKind, item, 0);
    if (car->m_itemUses > 1)
        car->m_itemCooldown = itemValue(car->m_driverKind, item, 2);
    if (car->m_state != CarState::Ghost && (item == 0 || item == 3 || item == 6)) {
        // The item becomes the held one: the slot is free for the next box.
        giveItem(car, item);
        car->m_itemSlot = -1;
        car->m_offeredItem = item;
        car->m_offerTimer = raceObjectStatics().s_offerTime;
    }
}

std::int32_t fireItem(cEntity* car) {
    std::int32_t kind;
    switch (car->m_heldItem) {
    case 3:
        kind = kObjectDropped;
        break;
    case 4:
        if (guidedMode() && (eventGoalStatics().s_guideStep == 4 || eventGoalStatics().s_guideStep == 6))
            return 0;
        kind = kObjectAimed;
        break;
    case 5:
        kind = kObjectThrown;
        break;
    default:
        return 0;
    }
    spawnEntity(kind, car, 0, false);
    useItemCharge(car, true);
    if (isPlayer(car))
        requestSound(18);
    return 1;
}

std::int32_t useItem(cEntity* car) {
    if (fireItem(car))
        return 1;
    if (car->m_itemTimer > 0) {
        car->m_itemTimer = 50;
        return 0;
    }
    const std::int32_t item = car->m_itemSlot;
    if (car->m_itemUses <= 0 || item < 0)
        return 0;
    const bool player = isPlayer(car);
    if (player && item != 1 && item != 2 && item != 4 && item != 8)
        requestSound(18);
    const std::int32_t d = itemValue(car->m_driverKind, item, 1);
    switch (item) {
    case 0:
    case 3:
    case 6:
        giveItem(car, item);
        break;
    case 1:
        if (player && !raceFinished())
            requestSound(23);
        leaveGhost(car);
        car->m_effectTimer = 10;
        car->m_state = CarState::Strike;
        car->m_stateTimer = mulWrap(d, 18432);
        break;
    case 2:
        leaveGhost(car);
        car->m_state = CarState::Nitro;
        car->m_stateTimer = car->m_boostTimer = mulWrap(d, 9830);
        car->m_maxSpeed = percent(car->m_maxSpeed, 115);
        car->m_speed = percent(car->m_speed, 115);
        car->m_nitroFlags[0] = car->m_nitroFlags[1] = 1;
        if (player) {
            if (ZoomedAnimPlayer* burst = raceResourceStatics().s_raceFxPlayerA)
                burst->restart();
            requestSound(14);
            startHudFlash(kBoostFlashAnim, impactStatics().s_impactTime / 2, false, 999);
        }
        break;
    case 4:
        startEffectLayer(car, kItemLayer, kShieldAnim, kShieldLayerMs, 2, kPlainLayerMode);
        if (player && !raceFinished())
            requestSound(22);
        leaveGhost(car);
        car->m_state = CarState::Shield;
        car->m_stateTimer = mulWrap(d, 18432);
        break;
    case 5:
        startEffectLayer(car, kItemLayer, kStarRingAnim, kCastLayerMs, 0, kCastLayerMode);
        break;
    case 7:
        startEffectLayer(car, kItemLayer, kSpeedGlowAnim, kSpeedGlowLayerMs, 0, kCastLayerMode);
        car->m_maxSpeed = percent(car->m_maxSpeed, 105);
        car->m_speed = percent(car->m_speed, 105);
        break;
    case 8:
        car->m_lateral = 0;
        if (player && !raceFinished())
            requestSound(4);
        leaveGhost(car);
        car->m_effectTimer = 10;
        car->m_state = CarState::Ghost;
        car->m_stateTimer = mulWrap(d, 19660);
        car->m_speed = car->m_maxSpeed = percent(getTopSpeed(car), 130);
        car->m_boostTimer = mulWrap(d, 9830);
        car->m_nitroFlags[0] = car->m_nitroFlags[1] = 1;
        break;
    case 13:
        slowOthers(car);
        break;
    default:
        break;
    }
    car->m_itemUses -= 1;
    if (car->m_itemUses < 1) {
        car->m_offeredItem = item;
        car->m_itemSlot = -1;
        car->m_offerTimer = raceObjectStatics().s_offerTime;
    } else {
        car->m_itemCooldown = itemValue(car->m_driverKind, item, 2);
    }
    return 1;
}

// --- The pool --------------------------------------------------------------

cEntity* getFreeRaceObject() {
    rt::ObjectArray* pool = raceStatics().s_raceObjects;
    if (!pool || pool->length() == 0)
        return nullptr;
    for (std::int32_t i = 0; i < pool->length(); ++i)
        if (auto* object = static_cast<cEntity*>(rt::ObjectArray::get(pool, i)); object && !object->m_active)
            return object;
    auto* first = static_cast<cEntity*>(rt::ObjectArray::get(pool, 0));
    if (first)
        retire(first, false);
    return first;
}

void retire(cEntity* e, bool burst) {
    if (!e)
        return;
    if (e->m_type != 2) {
        e->m_active = 0;
        return;
    }
    if (e->m_offeredItem != -1) {
        freePlayerMarker(e->m_offeredItem);
        e->m_offeredItem = -1;
    }
    if (e->m_itemSlot == kObjectAimed)
        if (cEntity* target = findRacerByIndex(e->m_targetIndex))
            target->m_targeted = 0;
    if (burst && e->m_itemSlot == kObjectThrown && stateStatics().s_state == State::Race)
        startRaceEffect(3, e->m_segment, e->m_lateral, e->m_segmentPos, 0);
    e->m_active = 0;
}

void retireAllObjects() {
    rt::ObjectArray* pool = raceStatics().s_raceObjects;
    for (std::int32_t i = 0; pool && i < pool->length(); ++i)
        if (auto* object = static_cast<cEntity*>(rt::ObjectArray::get(pool, i)); object && object->m_active)
            retire(object);
}

cEntity* findTargetAhead(const cEntity* object) {
    const cEntity* owner = findRacerByIndex(object->m_owner);
    if (!owner)
        return nullptr;
    for (std::int32_t place = owner->m_racePosition - 1; place >= 0; --place)
        if (cEntity* car = carAtPlace(place); car && car->m_segment >= object->m_segment)
            return car;
    return nullptr;
}

void aimAt(cEntity* object, cEntity* target) {
    if (!target)
        return;
    if (isPlayer(target)) {
        const std::int32_t back = object->m_segment - kAimedBack;
        object->m_segment = object->m_prevSegment = back < 0 ? 0 : back;
    }
    startEffectLayer(target, kTargetLayer, kStarRingAnim, kTargetLayerMs, -1, kTargetLayerMode);
    target->m_targeted = 1;
    object->m_targetIndex = target->m_racerIndex;
}

cEntity* spawnEntity(std::int32_t kind, cEntity* owner, std::int32_t targetMode, bool homing) {
    cEntity* object = getFreeRaceObject();
    if (!object || !owner)
        return nullptr;
    placeObject(object, owner);
    object->m_widthProfile = rt::newIntArray(12);
    for (std::int32_t i = 0; i < 12; ++i)
        rt::IntArray::set(object->m_widthProfile, i, kObjectWidths[i]);
    object->m_homing = homing ? 1 : 0;
    object->m_fixed = targetMode != 0 ? 1 : 0;
    object->m_active = 1;
    object->m_itemSlot = kind;
    object->m_offeredItem = -1;
    object->m_itemTimer = 40960;
    object->m_owner = owner->m_racerIndex;
    object->m_height = 0;
    const std::int32_t ownHeading = owner->m_type == 1 ? segmentCurveAt(object->m_segment) : owner->m_heading;
    switch (kind) {
    case kObjectThrown:
        object->m_spriteSet = 38;
        object->m_heading = ownHeading;
        break;
    case kObjectDropped: {
        object->m_spriteSet = 36;
        object->m_itemTimer = 20480;
        object->m_heading = ownHeading;
        const cEntity* p = playerCar();
        if (p && carGap(object, p) < 0 && carGap(object, p) > -kMarkerReach * kSegmentLength) {
            object->m_offeredItem = allocPlayerMarker();
            setPlayerMarker(object->m_offeredItem, object->m_lateral - p->m_lateral, 0);
        }
        break;
    }
    case kObjectAimed: {
        cEntity* target = nullptr;
        if (guidedMode())
            target = racerAt(racerAt(0) == playerCar() ? 1 : 0);
        else if (targetMode == kTargetBehindOwner)
            target = carAtPlace(owner->m_racePosition + 1);
        aimAt(object, target);
        object->m_spriteSet = 37;
        object->m_height = 150;
        break;
    }
    default:
        break;
    }
    if (kind == kObjectDropped || kind == kObjectThrown) {
        object->m_heading = clampHeadingValue(object->m_heading);
        object->m_speed = kObjectSpeed;
    }
    return object;
}

// --- The timed event -------------------------------------------------------

void updateTimedEvent() {
    updatePlayerMarkers();
    if (guidedMode())
        return;
    RaceObjectStatics& s = raceObjectStatics();
    cEntity* p = playerCar();
    const std::int64_t now = raceNowMs();
    const bool armed = p && 2 * p->m_racePosition < racerCount() && !raceFinished() &&
                       p->m_lap != raceStatics().s_laps && stateStatics().s_state == State::Race;
    if (!armed) {
        s.s_timedEventTick = now;
        return;
    }
    if (now - s.s_timedEventTick <= kTimedEventMs)
        return;
    const bool aimed = raceRandom(10) > 6;
    const std::int32_t first = p->m_racePosition + 1;
    const std::int32_t place = first < racerCount() ? first + raceRandom(racerCount() - first) : racerCount();
    if (!aimed) {
        if (cEntity* car = carAtPlace(place); car && car->m_active) {
            spawnEntity(kObjectDropped, car, 0, false);
            s.s_timedEventTick = now;
        }
        return;
    }
    if (cEntity* car = carAtPlace(p->m_racePosition + 1)) {
        cEntity* object = spawnEntity(kObjectAimed, car, 0, false);
        if (object) {
            aimAt(object, p);
            object->m_offeredItem = allocPlayerMarker();
            setPlayerMarker(object->m_offeredItem, object->m_lateral - p->m_lateral, 1);
        }
        s.s_timedEventTick = now;
    }
}

// --- Objects on the track --------------------------------------------------

void updateRaceObject(cEntity* object, std::int32_t dt) {
    if (!object->m_fixed)
        object->m_itemTimer = object->m_itemTimer - dt > 0 ? object->m_itemTimer - dt : 0;
    if (object->m_itemTimer == 0) {
        retire(object);
        return;
    }
    const cEntity* p = playerCar();
    if (object->m_itemSlot == kObjectAimed && object->m_targetIndex == -1) {
        const cEntity* owner = findRacerByIndex(object->m_owner);
        if (owner && carGap(object, owner) >= kSegmentLength) {
            if (cEntity* target = findTargetAhead(object)) {
                aimAt(object, target);
                if (target == p && behindPlayer(object) && object->m_offeredItem == -1) {
                    object->m_offeredItem = allocPlayerMarker();
                    setPlayerMarker(object->m_offeredItem, object->m_lateral - p->m_lateral, 1);
                }
            }
        }
    }
    const std::int32_t kind = object->m_itemSlot;
    if (kind != kObjectDropped && kind != kObjectAimed && kind != kObjectThrown && kind != kObjectFollower)
        return;
    moveRaceObject(object, dt);
    if (!object->m_active || (kind != kObjectDropped && kind != kObjectAimed) ||
        object->m_offeredItem == -1 || !p)
        return;
    if (behindPlayer(object)) {
        movePlayerMarker(object->m_offeredItem, object->m_lateral - p->m_lateral);
    } else {
        freePlayerMarker(object->m_offeredItem);
        object->m_offeredItem = -1;
    }
}

void moveRaceObject(cEntity* object, std::int32_t dt) {
    if (object->m_effect != CarEffect::None) {
        retire(object);
        return;
    }
    const std::int32_t kind = object->m_itemSlot;
    cEntity* target = object->m_targetIndex != -1 ? findRacerByIndex(object->m_targetIndex) : nullptr;
    std::int32_t sideways = 0;
    auto stepDistance = [&] {
        object->m_stepDistance =
            fixMul32(scaleProduct(object->m_speed, dt), drivingStatics().s_distanceFactor);
    };
    if (kind == kObjectDropped || kind == kObjectThrown) {
        stepDistance();
        sideways = fixMul32(object->m_stepDistance, sinFx(object->m_heading));
    } else if (target && (kind == kObjectAimed || kind == kObjectFollower)) {
        if (kind == kObjectAimed) {
            if (target->m_state == CarState::NoContact) {
                retire(object);
                if (object->m_fixed)
                    if (cEntity* p = playerCar())
                        p->m_targetTime = 100 << 12;
                return;
            }
            object->m_speed = object->m_fixed ? 0 : kObjectSpeed;
        } else {
            object->m_speed = target->m_speed + kmhToSpeed(20);
        }
        stepDistance();
        sideways = closingMove(object, target);
    } else {
        object->m_speed = kObjectSpeed;
        stepDistance();
    }
    const std::int32_t segmentBefore = object->m_segment;
    savePrevious(object);
    object->m_lateral += sideways;
    if (kind == kObjectDropped || kind == kObjectThrown) {
        const TrackStatics& t = trackStatics();
        const std::int32_t flags =
            t.s_segmentEdgeFlags && t.s_segmentCount > 0
                ? rt::ByteArray::get(t.s_segmentEdgeFlags, wrapSegment(object->m_segment))
                : 0;
        const std::int32_t low = t.s_laneWidth * (flags & 1) - t.s_roadHalfWidth - t.s_roadMargin;
        const std::int32_t high = t.s_roadHalfWidth - t.s_laneWidth * (flags >> 1 & 1) + t.s_roadMargin;
        if (object->m_lateral < low || object->m_lateral > high) {
            if (kind == kObjectThrown) {
                retire(object);
                return;
            }
            object->m_lateral = object->m_lateral < low ? low : high;
            object->m_heading = clampHeadingValue(-object->m_heading);
        }
    }
    moveOnTrack(object, object->m_stepDistance);
    if (kind == kObjectAimed && target && carGap(object, target) > 0) {
        object->m_lap = target->m_lap;
        object->m_segment = target->m_segment;
        object->m_segmentPos = target->m_segmentPos;
    }
    if ((kind == kObjectDropped || kind == kObjectThrown) && object->m_segment != segmentBefore) {
        const std::int32_t count = trackStatics().s_segmentCount;
        std::int32_t d = object->m_segment - segmentBefore;
        if (d > count / 2)
            d -= count;
        else if (d < -(count / 2))
            d += count;
        std::int32_t sum = 0;
        for (std::int32_t i = 1; i <= (d < 0 ? -d : d); ++i)
            sum += d > 0 ? segmentCurveAt(segmentBefore + i) : -segmentCurveAt(segmentBefore - i + 1);
        object->m_heading = clampHeadingValue(object->m_heading + sum);
    }
    RaceObjectStatics& s = raceObjectStatics();
    s.s_trailToggle ^= 1;
    if (s.s_trailToggle == 0)
        return;
    if (kind == kObjectAimed && !object->m_fixed)
        startRaceEffect(4, object->m_segment, object->m_lateral, object->m_segmentPos, object->m_height);
    else if (kind == kObjectThrown)
        startRaceEffect(5, object->m_segment, object->m_lateral, object->m_segmentPos, object->m_height);
}

// --- State factors ---------------------------------------------------------

std::int32_t applyStateFactors(cEntity* car, std::int32_t rate) {
    const cEntity* p = playerCar();
    if (p && car != p && (p->m_state == CarState::Ghost || p->m_state == CarState::Nitro))
        rate = 0;
    if (car->m_state == CarState::Ghost)
        car->m_speed = car->m_maxSpeed = percent(getTopSpeed(car), 130);
    else if (car->m_state == CarState::Nitro)
        car->m_speed = car->m_maxSpeed = percent(getTopSpeed(car), 115);
    if (car->m_state == CarState::Slowed || car->m_state == CarState::Swapped)
        rate /= 2;
    if (car->m_state == CarState::Strike)
        car->m_stateCounter = car->m_stateCounter >= 2 ? 0 : car->m_stateCounter + 1;
    else if (car->m_state == CarState::Shield)
        shieldStep(car);
    advanceEffectLayers(car);
    return rate;
}

// --- Markers ---------------------------------------------------------------

std::int32_t allocPlayerMarker() {
    rt::IntArray* m = markers();
    for (std::int32_t i = 0; i < kPlayerMarkers; ++i)
        if (rt::IntArray::get(m, i * kMarkerInts) != 1)
            return i;
    return -1;
}

void setPlayerMarker(std::int32_t index, std::int32_t dx, std::int32_t kind) {
    if (!validMarker(index))
        return;
    rt::IntArray* m = markers();
    rt::IntArray::set(m, index * kMarkerInts, 1);
    rt::IntArray::set(m, index * kMarkerInts + 1, kind);
    rt::IntArray::set(m, index * kMarkerInts + 2, fixMul32(dx, raceObjectStatics().s_markerScale));
    rt::IntArray::set(m, index * kMarkerInts + 3, raceObjectStatics().s_markerLineA);
}

void movePlayerMarker(std::int32_t index, std::int32_t dx) {
    if (validMarker(index))
        rt::IntArray::set(markers(), index * kMarkerInts + 2,
                          fixMul32(dx, raceObjectStatics().s_markerScale));
}

void freePlayerMarker(std::int32_t index) {
    if (validMarker(index))
        rt::IntArray::set(markers(), index * kMarkerInts, 0);
}

void updatePlayerMarkers() {
    const RaceObjectStatics& s = raceObjectStatics();
    rt::IntArray* m = markers();
    for (std::int32_t i = 0; i < kPlayerMarkers; ++i) {
        if (rt::IntArray::get(m, i * kMarkerInts) != 1)
            continue;
        const std::int32_t line = rt::IntArray::get(m, i * kMarkerInts + 3);
        rt::IntArray::set(m, i * kMarkerInts + 3,
                          line == s.s_markerLineA ? s.s_markerLineB : s.s_markerLineA);
    }
}

bool overlapsSideways(const cEntity* car, const cEntity* other, std::int32_t reachRight,
                      std::int32_t reachLeft, bool doubled) {
    const std::int32_t w = intAt(car->m_widthProfile, 5) * (doubled ? 2 : 1);
    if (other->m_onPath)
        return false;
    if (car->m_lateral == other->m_lateral)
        return true;
    if (other->m_lateral < car->m_lateral)
        return car->m_prevLateral < other->m_prevLateral || car->m_lateral - w < other->m_lateral + reachLeft;
    return car->m_prevLateral > other->m_prevLateral || car->m_lateral + w > other->m_lateral - reachRight;
}

// --- Set-up ----------------------------------------------------------------

void resetOpponents() {
    retireAllObjects();
    RaceObjectStatics& s = raceObjectStatics();
    s.s_playerMarkers = rt::newIntArray(kPlayerMarkers * kMarkerInts);
    s.s_timedEventTick = raceNowMs();
    s.s_trailToggle = 0;
    resetRacePhase();
    resetTrackTriggers();
}

} // namespace game
