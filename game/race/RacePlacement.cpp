#include "game/race/RacePlacement.h"

#include "game/data/SoundRequests.h"
#include "game/framework/CarFrames.h"
#include "game/race/CarPhysics.h"

#include "game/framework/States.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventGoals.h"
#include "game/race/Impacts.h"
#include "game/race/RaceEntity.h"
#include "game/race/RaceGuide.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceObjects.h"
#include "game/race/RaceState.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/sprite/ZoomPlayers.h"

namespace game {

namespace {

constexpr std::int32_t kGridPosition = 512;
constexpr std::int32_t kGridSpacing = -1024;
constexpr std::int32_t kStateJudgedLateral = 500;
constexpr std::int32_t kAimedKind = 3;
constexpr std::int32_t kHitSound = 11;
constexpr std::int32_t kKnockedJumpKind = 6;
// A knock-out by a race object plays this animation once on the struck
// car's fifth effect layer.
constexpr std::int32_t kKnockOutAnimationMs = 4200;
// 100 s: the camera follows a homing hit's target this long.
constexpr std::int32_t kHomingTargetTime = 100 << 12;

std::int32_t topSpeed(const cEntity* car) {
    std::int32_t steps = car->m_stats ? car->m_stats->length() : 0;
    if (steps == 0)
        return 0;
    return static_cast<std::int32_t>(std::int64_t{rt::IntArray::get(car->m_stats, steps - 1)} *
                                     racerStatics().s_speedPercent / 100);
}

// A race object's hit: the knock-out, with the burst animation when
// `withEffect`, and a car on the ground thrown up.
void knockOutByObject(cEntity* r, bool withEffect) {
    applyImpact(r, ImpactFlag::KnockOut, 0, nullptr);
    if (withEffect)
        startEffectLayer(r, kKnockOutLayer, kKnockOutBurstAnim, kKnockOutAnimationMs, 0);
    if (!r->m_airborne) {
        r->m_airborne = 1;
        r->m_height = 0;
        r->m_jumpKind = kKnockedJumpKind;
    }
}

void hitSoundFor(const cEntity* object) {
    const cEntity* player = racerStatics().s_playerCar;
    if (player && object->m_owner == player->m_racerIndex)
        requestSound(kHitSound);
}

// An aimed object reaches its target; answers true (the object retires).
void aimedHit(cEntity* object, cEntity* r) {
    cEntity* player = racerStatics().s_playerCar;
    if (object->m_homing && player)
        player->m_targetTime = kHomingTargetTime;
    hitSoundFor(object);
    if (stateStatics().s_gameMode != GameMode::Guided) {
        if (!untouchable(r))
            knockOutByObject(r, true);
    } else {
        EventGoalStatics& g = eventGoalStatics();
        if (g.s_guideStep == 5 || g.s_guideStep == 6) {
            if (!untouchable(r))
                knockOutByObject(r, false);
            if ((g.s_guideStep == 5) != (object->m_homing != 0))
                completeGuideStep();
        }
    }
    r->m_targeted = 0;
    retire(object);
    object->m_active = 0;
}

// The effect layers' animations stopped at their first frame, their passes
// counted afresh.
void rewindEffectLayers(cEntity* car) {
    for (rt::Object* layer : car->m_layerPlayers)
        if (layer && (layer->classId() == rt::ClassId::ZoomedAnimPlayer ||
                      layer->classId() == rt::ClassId::PreZoomedAnimPlayer)) {
            auto* player = static_cast<ZoomedAnimPlayer*>(layer);
            player->restart();
            player->stop();
        }
}

} // namespace

std::int32_t resetOnTrack(cEntity* car, std::int32_t lap, std::int32_t segment, std::int32_t position,
                          std::int32_t lateral, std::int32_t offset, std::int32_t heading) {
    car->m_heldItem = -1;
    car->m_itemCharges = 0;
    car->m_itemUses = 0;
    car->m_state = CarState::Normal;
    car->m_effect = CarEffect::None;
    car->m_stateTimer = car->m_effectTimer = car->m_boostTimer = car->m_itemTimer = car->m_pushTimer = 0;
    car->m_itemCooldown = car->m_steerHold = car->m_landLock = 0;
    car->m_hasTarget = 0;
    car->m_targetRacer = -1;
    car->m_collected = 0;
    car->m_sideContact = 0;
    car->m_contactActive = car->m_contactEnd = car->m_contactSettle = car->m_contactFlag = 0;
    car->m_speed = car->m_prevSpeed = car->m_speedStep = 0;
    car->m_stepDistance = car->m_prevStepDistance = 0;
    car->m_spinning = car->m_knocked = car->m_airborne = 0;
    car->m_height = car->m_vSpeed = 0;
    // What the last run left in the steering, the jump, the nitro, the
    // item offer and the computer driver's mode and route would steer a
    // restarted run away from the first start's.
    car->m_smoothHeading = car->m_steerDir = car->m_steerAmount = 0;
    car->m_peakHeight = car->m_groundHeight = car->m_jumpKind = 0;
    car->m_landed = car->m_holdLine = 0;
    car->m_nitroFlags[0] = car->m_nitroFlags[1] = 0;
    car->m_offeredItem = car->m_offerTimer = 0;
    car->m_aiMode = 0;
    car->m_routeStart = car->m_routeMode = 0;
    car->m_routeBlocker = nullptr;
    // The car has no place on screen until the next view pass gives one.
    car->m_screenX = car->m_screenY = car->m_screenScale = car->m_screenGroundY = car->m_roadSlice = 0;
    rewindEffectLayers(car);
    car->m_lap = car->m_prevLap = lap;
    car->m_segment = car->m_prevSegment = segment;
    car->m_segmentPos = car->m_prevSegmentPos = position;
    car->m_lateral = car->m_prevLateral = lateral;
    car->m_heading = heading;
    advanceOnTrack(car, segment, offset);
    car->m_driveMode = 2;
    car->m_gear = 1;
    car->m_maxSpeed = topSpeed(car);
    car->m_active = stateStatics().s_gameMode == GameMode::Guided ? 0 : 1;
    car->m_side = raceRandom(2) == 0 ? 1 : -1;
    car->m_trackSection = getTrackSection(car->m_segment, 0);
    return 0;
}

void placeRacersOnGrid() {
    const TrackStatics& t = trackStatics();
    const EventGoalStatics& g = eventGoalStatics();
    std::int32_t last = t.s_segmentCount > 0 ? t.s_segmentCount - 1 : 0;
    std::int32_t start = last;
    std::int32_t spacing = 0;
    std::int32_t n = racerCount();
    std::int32_t edges = t.s_segmentEdgeFlags && t.s_segmentEdgeFlags->length() > 0
                             ? rt::ByteArray::get(t.s_segmentEdgeFlags, 0)
                             : 0;
    std::int32_t centre = ((edges & 1) - ((edges >> 1) & 1)) * (t.s_roadHalfWidth / 2);
    std::int32_t q = n > 1 ? t.s_roadHalfWidth / 4 : 0;
    switch (currentEventType()) {
    case EventType::Distance:
    case EventType::OpenDistance:
        start = g.s_targetStart;
        break;
    case EventType::Collection:
    case EventType::StopAndGo:
        break;
    case EventType::Score:
        start = g.s_scoreStart;
        break;
    case EventType::Section:
    case EventType::StopZone:
    case EventType::SecondSection:
    case EventType::Sprint:
        start = currentEventField(6, 0);
        break;
    case EventType::StateJudged:
        start = currentEventField(6, 0);
        centre = 0;
        q = kStateJudgedLateral;
        break;
    default:
        spacing = kGridSpacing;
        break;
    }
    for (std::int32_t i = 0; i < n; ++i) {
        cEntity* car = racerAt(i);
        if (!car)
            continue;
        resetOnTrack(car, 0, start, kGridPosition, i % 2 == 0 ? centre + q : centre - q, mulWrap(i, spacing),
                     0);
        car->m_racePosition = i;
    }
    if (cEntity* player = racerStatics().s_playerCar)
        player->m_racerIndex = n - 1;
}

void hitRacersWithObject(cEntity* object) {
    std::int32_t kind = object->m_itemSlot;
    if (kind != kAimedKind && kind != 0 && kind != 6)
        return;
    for (std::int32_t i = 0; i < racerCount(); ++i) {
        cEntity* r = racerAt(i);
        if (!r || r->m_racerIndex == object->m_owner)
            continue;
        std::int64_t apart = std::int64_t{object->m_segment} - r->m_segment;
        if (apart >= 2 || apart <= -2)
            continue;
        std::int64_t reach = std::int64_t{straightHalfWidth(r)} + straightHalfWidth(object);
        std::int64_t dx = std::int64_t{object->m_lateral} - r->m_lateral;
        bool touches = (dx < 0 ? -dx : dx) < reach;
        if (kind == kAimedKind) {
            if (r->m_racerIndex == object->m_targetIndex && (touches || object->m_homing)) {
                aimedHit(object, r);
                return;
            }
            continue;
        }
        if (!touches)
            continue;
        if (!untouchable(r)) {
            if (r->m_heldItem == -1)
                knockOutByObject(r, true);
            else
                useItemCharge(r, true);
        }
        hitSoundFor(object);
        retire(object);
        return;
    }
}

} // namespace game
