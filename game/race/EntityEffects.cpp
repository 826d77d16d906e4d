#include "game/race/EntityEffects.h"

#include "game/framework/CarFrames.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/race/CarPhysics.h"
#include "game/race/DrivingTuning.h"
#include "game/race/EventGoals.h"
#include "game/race/EventType.h"
#include "game/race/Impacts.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceRelease.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"

namespace game {

namespace {

ZoomedAnimPlayer* asPlayer(rt::Object* object) {
    if (!object || (object->classId() != rt::ClassId::ZoomedAnimPlayer &&
                    object->classId() != rt::ClassId::PreZoomedAnimPlayer))
        return nullptr;
    return static_cast<ZoomedAnimPlayer*>(object);
}

// The player's race effect players, which stop themselves at their end,
// and the race's extra effect player, held still on eight frames of ten in
// a race for points.
void advancePlayerEffects(std::int32_t dt) {
    const std::int32_t ms = timeToMs(dt);
    RaceResourceStatics& r = raceResourceStatics();
    for (ZoomedAnimPlayer* player : {r.s_raceFxPlayerA, r.s_raceFxPlayerB})
        if (player)
            player->update(ms);
    ZoomedAnimPlayer* extra = asPlayer(r.s_carAnimPlayer);
    if (!extra || stateStatics().s_state != State::Race)
        return;
    if (currentEventType() == EventType::Points && loopStatics().s_frameCount % 10 <= 7)
        return;
    extra->update(ms);
}

} // namespace

void recoverFromKnock(cEntity* car) {
    car->m_speed = 0;
    car->m_maxSpeed = 0;
    car->m_heading = 0;
    car->m_spinning = 0;
    car->m_knocked = 0;
    car->m_effectTimer = 0;
    if (car->m_effect == CarEffect::FlaggedSpin)
        drivingStatics().s_effectFlag = 0;
    car->m_effect = CarEffect::None;
    stopHudFlash();
}

void updateEffects(cEntity* car, std::int32_t dt) {
    DrivingStatics& d = drivingStatics();
    if (!car->m_knocked) {
        if (car->m_effectTimer > 0) {
            car->m_effectTimer -= dt;
            if (car->m_effectTimer < 1) {
                if (car->m_effect == CarEffect::FlaggedSpin)
                    d.s_oneShotFlag = 0;
                car->m_effect = CarEffect::None;
                car->m_spinning = 0;
            }
        }
    } else {
        car->m_effectTimer = car->m_effectTimer - dt < 0 ? 0 : car->m_effectTimer - dt;
        if (car->m_type == 0) {
            std::int32_t t = 2 * dt < 0 ? 0 : (2 * dt > kRaceOne ? kRaceOne : 2 * dt);
            car->m_speed += mulWrap(t, -car->m_speed / 10) >> 12;
            car->m_heading -= car->m_heading >> 1;
            if (car->m_effectTimer == 0)
                recoverFromKnock(car);
            advanceAnimPlayers(impactStatics().s_crashAnims, timeToMs(dt));
            d.s_raceBoostTimer = 0;
        }
    }
    if (car->m_pushTimer != 0) {
        car->m_lateral += car->m_pushTimer > 0 ? 5 : -5;
        car->m_pushTimer += car->m_pushTimer > 0 ? -1 : 1;
    }
    if (car->m_type == 0)
        advancePlayerEffects(dt);
}

void setState(cEntity* car, CarState state, std::int32_t time) {
    const CarState now = car->m_state;
    if ((state == CarState::Swapped || state == CarState::Hindered) &&
        (now == CarState::Strike || now == CarState::NoContact || now == CarState::Shield ||
         now == CarState::Ghost))
        return;
    if (now == CarState::Ghost && state != CarState::Ghost) {
        car->m_speed = getTopSpeed(car);
        car->m_maxSpeed = car->m_speed;
    }
    if (state == CarState::Strike || state == CarState::NoContact || state == CarState::Ghost) {
        car->m_effectTimer = 10;
        // The state's body animation starts from its first frame.
        drivingStatics().s_steerInput2 = 0;
    }
    if (state == CarState::Swapped && car->m_type == 1 && car->m_speed > kmhToSpeed(100)) {
        std::int32_t cut = car->m_speed >> 2;
        car->m_speed = kmhToSpeed(60) < cut ? kmhToSpeed(60) : cut;
    }
    car->m_state = state;
    car->m_stateTimer = time;
}

void giveItem(cEntity* car, std::int32_t kind) {
    std::int32_t item = kind == 0 ? 3 : (kind == 3 ? 4 : (kind == 6 ? 5 : -1));
    if (item < 0)
        return;
    car->m_heldItem = item;
    car->m_itemCharges = car->m_itemUses;
    car->m_itemUses = 0;
    car->m_itemCooldown = 16384;
}

namespace {

ZoomedAnimPlayer* layerPlayer(const cEntity* car, std::int32_t layer) {
    if (layer < 1 || layer > cEntity::kLayerPlayers)
        return nullptr;
    return asPlayer(car->m_layerPlayers[layer - 1]);
}

// A spent charge's stars and the dropped objects' scatter, each one pass.
constexpr std::int32_t kLayerPassMs = 3000;

} // namespace

void makeEffectLayers(cEntity* car) {
    for (std::int32_t i = 0; i < cEntity::kLayerPlayers; ++i) {
        // Each player is kept in the car before the next is made.
        auto* player = rt::make<ZoomedAnimPlayer>(rt::ClassId::ZoomedAnimPlayer);
        player->reset(false);
        player->m_sprite = car->m_spriteSet;
        car->m_layerPlayers[i] = player;
        car->m_layerModes[i] = kPlainLayerMode;
    }
}

void dropEffectLayers(cEntity* car) {
    for (std::int32_t i = 0; i < cEntity::kLayerPlayers; ++i) {
        car->m_layerPlayers[i] = nullptr;
        car->m_layerModes[i] = kPlainLayerMode;
    }
}

void startEffectLayer(cEntity* car, std::int32_t layer, std::int32_t animation, std::int32_t duration,
                      std::int32_t loops, std::int32_t mode) {
    ZoomedAnimPlayer* player = layerPlayer(car, layer);
    if (!player)
        return;
    player->start(player->m_sprite, animation, duration, loops);
    car->m_layerModes[layer - 1] = mode;
}

bool advanceEffectLayer(cEntity* car, std::int32_t layer, std::int32_t ms) {
    ZoomedAnimPlayer* player = layerPlayer(car, layer);
    if (!player || player->m_stopped)
        return false;
    player->update(ms);
    return player->m_stopped != 0;
}

bool effectLayerPlays(const cEntity* car, std::int32_t layer, std::int32_t animation, std::int32_t mode) {
    const ZoomedAnimPlayer* player = layerPlayer(car, layer);
    return player && player->m_animation == animation && car->m_layerModes[layer - 1] == mode;
}

bool effectLayerRunning(const cEntity* car, std::int32_t layer) {
    const ZoomedAnimPlayer* player = layerPlayer(car, layer);
    return player && !player->m_stopped;
}

void useItemCharge(cEntity* car, bool withEffect) {
    if (withEffect && car->m_itemCharges > 0)
        startEffectLayer(car, kHeldItemLayer, kStarRingAnim, kLayerPassMs, 0, kChargeLayerMode);
    car->m_itemCharges -= 1;
    if (car->m_itemCharges < 1) {
        car->m_heldItem = -1;
        car->m_itemCooldown = 0;
    } else {
        car->m_itemCooldown = 65536;
    }
}

void clearCollected(cEntity* car) {
    if (stateStatics().s_gameMode == GameMode::Guided)
        return;
    if (car->m_collected > 0)
        startEffectLayer(car, kCollectLayer, kCollectDropAnim, kLayerPassMs, 0, kDropLayerMode);
    car->m_collected = 0;
}

void dropCollected(cEntity* car) {
    clearCollected(car);
    car->m_state = CarState::Normal;
    useItemCharge(car, false);
}

void startBoost(cEntity* car, std::int32_t time, std::int32_t flag) {
    car->m_boostTimer = time;
    car->m_nitroFlags[0] = 1;
    car->m_nitroFlags[1] = static_cast<std::int8_t>(flag);
}

void savePrevious(cEntity* car) {
    car->m_prevSegment = car->m_segment;
    car->m_prevLateral = car->m_lateral;
    car->m_prevSegmentPos = car->m_segmentPos;
    car->m_prevLap = car->m_lap;
    car->m_prevSpeed = car->m_speed;
}

std::int32_t countDown(std::int32_t value, std::int32_t dt) {
    if (value < 1)
        return value;
    return value - dt < 0 ? 0 : value - dt;
}

void stopHudFlash() {
    DrivingStatics& d = drivingStatics();
    d.s_hudFlashAnim = -1;
    d.s_hudFlashTime = 0;
    d.s_hudFlashPriority = 100;
}

void clearTrail() {
    DrivingStatics& d = drivingStatics();
    for (std::int32_t& v : rt::IntArray::span(d.s_trail))
        v = 0;
    d.s_trailHead = 0;
    d.s_trailCount = 0;
    d.s_trailTimer = 0;
}

void emitTrail(const cEntity* car, std::int32_t dt, bool on) {
    DrivingStatics& d = drivingStatics();
    d.s_trailTimer += dt;
    if (d.s_trailTimer < d.s_trailInterval)
        return;
    d.s_trailTimer = 0;
    if (!on) {
        if (d.s_trailCount > 0)
            d.s_trailCount -= 1;
        return;
    }
    const std::int32_t slot = 3 * d.s_trailHead;
    rt::IntArray::set(d.s_trail, slot, car->m_segment);
    rt::IntArray::set(d.s_trail, slot + 1, car->m_segmentPos);
    rt::IntArray::set(d.s_trail, slot + 2, car->m_lateral);
    d.s_trailHead = (d.s_trailHead + 1) % kTrailEntries;
    if (d.s_trailCount < kTrailEntries)
        d.s_trailCount += 1;
}

void checkSurface(cEntity* car, std::int32_t dt) {
    if (car->m_height != 0 || car->m_knocked) {
        clearTrail();
        return;
    }
    const DrivingStatics& d = drivingStatics();
    std::int32_t surface = car->m_offRoad == 1 || car->m_offRoad == 2
                               ? roadsideProfileValue(car->m_offRoadSide, car->m_segment, 12)
                               : segmentSurface(car->m_segment);
    bool on;
    if (surface == 2) {
        bool braking = d.s_brakeTimer > d.s_brakeSoundTime - d.s_trailBrakeTime;
        bool sliding = car->m_steerDir == 0 && car->m_maxSpeed < car->m_speed / 2;
        on = car->m_speed > 0 && (braking || sliding);
    } else {
        on = car->m_speed >= 1;
    }
    if (d.s_raceBoostTimer > 0 || car->m_sideContact != 0)
        on = true;
    emitTrail(car, dt, on);
}

} // namespace game
