#pragma once
// `cEntity`: one car or race object of the race world: the player's car
// (type 0), a computer-driven car (type 1) or a pooled race object (type 2).
// Every field of the class is declared here, once, for the physics, the
// drivers, the race objects and the painters alike; each group says who
// owns it.
//
// Units: fx is fixed point with 4096 = 1.0; angles are 2048 units to the
// full circle; positions along the track are a segment and a position of
// 0..1023 in it.
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace game {

// The state word `m_state`: one value at a time, compared for equality.
// State changes go through `setState` (EntityEffects.h) or the item that
// starts them, and each state ends when `m_stateTimer` runs out.
enum class CarState : std::int32_t {
    Normal = 0,
    // Strikes the cars it touches (an item's strike).
    Strike = 1,
    // Neither this car nor the others test contacts against it.
    NoContact = 4,
    // Strikes the cars it touches too, at 130% of its top speed: no item is
    // used, the track's triggers pass it by, its body plays the state's
    // animation, and leaving it gives the top speed back.
    Ghost = 32,
    // A computer car moving at half speed.
    Slowed = 64,
    // The player's car slowed by another's item; becomes `Slowed` after 30
    // steps.
    SlowedPlayer = 128,
    // The player's steering keys swapped; a fast computer car entering it is
    // slowed down.
    Swapped = 256,
    // An effect state that, like `Swapped`, is refused while the car is in
    // `Strike`, `NoContact`, `Shield` or `Ghost`.
    Hindered = 512,
    Shield = 1024,
    Nitro = 2048,
    // Nitro flames drawn in the second palette.
    RecolouredNitro = 4096,
    // Knocked out of control by an impact.
    KnockedOut = 16384,
};

// The effect of an impact that holds the car (`m_effect`), one at a time
// while `m_effectTimer` runs; each is also the impact flag that starts it
// (`ImpactFlag`, Impacts.h).
enum class CarEffect : std::int32_t {
    None = 0,
    // A computer car stops and weaves across the road; the player's car
    // stops.
    Weave = 256,
    // The car shakes between two views, drawn zoomed and without a shadow.
    Shake = 512,
    // A short spin.
    Spin = 1024,
    // A long spin on the spot.
    LongSpin = 2048,
    // A long spin on the spot, drawn zoomed; its end clears the race's
    // one-shot animation flag.
    FlaggedSpin = 4096,
    // Knocked out: the effect layers stopped, the speed cut, the held item
    // dropped.
    KnockOut = 16384,
};

class cEntity : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::cEntity;
    static constexpr std::int32_t kLayerPlayers = 7;
    static constexpr std::int32_t kDefValues = 8;
    static constexpr std::int32_t kAiTuning = 7;

    // Every field zero, false or null.
    cEntity()
        : Object(kClassId) {}
    // A new entity as the race makes one: `type` set, its working pair made,
    // and the index fields that mean "none" at -1.
    static cEntity* cEntityWithType(std::int32_t type);
    // The same with type -1, not yet set.
    static cEntity* cEntityWithType() { return cEntityWithType(-1); }

    // One simulation step of `dt` seconds (fx): `updateRaceEntity`
    // (RaceEntity.h).
    virtual void update(std::int32_t dt);

    // Identity and kind.
    std::int32_t m_racerIndex = 0;
    std::int32_t m_type = 0;
    std::int8_t m_active = 0;
    std::int32_t m_aiStep = 0;
    std::int8_t m_contactFlag = 0;
    // Width profile: element 5 the half-width going straight, its
    // neighbours those while steering.
    rt::IntArray* m_widthProfile = nullptr;
    // From the racer definition: [8], [7], [9], [10], the two shared car
    // constants, [11], 0. [1] is the braking value and [3] the weight.
    std::int32_t m_defValues[kDefValues] = {};
    // Per-gear top speeds (the last the car's top speed) and acceleration
    // times (a 0 entry becomes 5000).
    rt::IntArray* m_stats = nullptr;
    rt::IntArray* m_gearTable = nullptr;
    std::int32_t m_gear = 0;
    std::int8_t m_carFlags[4] = {};
    std::int32_t m_driveMode = 0;
    // Motion (fx).
    std::int32_t m_speed = 0;
    std::int32_t m_prevSpeed = 0;
    std::int32_t m_maxSpeed = 0;
    std::int32_t m_speedStep = 0;
    std::int32_t m_stepDistance = 0;
    std::int32_t m_prevStepDistance = 0;
    std::int32_t m_heading = 0;
    std::int32_t m_smoothHeading = 0;
    std::int32_t m_steerDir = 0;
    std::int32_t m_side = 0;
    std::int32_t m_sideContact = 0;
    std::int8_t m_contactActive = 0;
    std::int8_t m_contactEnd = 0;
    std::int8_t m_contactSettle = 0;
    std::int32_t m_steerHold = 0;
    std::int32_t m_steerAmount = 0;
    // Position on the track.
    std::int32_t m_segment = 0;
    std::int32_t m_prevSegment = 0;
    std::int32_t m_lateral = 0;
    std::int32_t m_prevLateral = 0;
    std::int32_t m_segmentPos = 0;
    std::int32_t m_prevSegmentPos = 0;
    std::int32_t m_pushTimer = 0;
    std::int32_t m_height = 0;
    std::int32_t m_peakHeight = 0;
    std::int32_t m_lap = 0;
    std::int32_t m_prevLap = 0;
    // On screen, set by the road projection.
    std::int32_t m_screenX = 0;
    std::int32_t m_screenY = 0;
    std::int32_t m_screenScale = 0;
    std::int32_t m_groundHeight = 0;
    std::int32_t m_vSpeed = 0;
    std::int8_t m_landed = 0;
    std::int32_t m_offRoad = 0;
    std::int32_t m_offRoadSide = 0;
    // Effects and states.
    std::int8_t m_spinning = 0;
    std::int8_t m_knocked = 0;
    std::int8_t m_noMirror = 0;
    std::int32_t m_effectTimer = 0;
    CarEffect m_effect = CarEffect::None;
    std::int32_t m_landLock = 0;
    // The lean of a side contact: +10 pushed right, -10 pushed left.
    std::int32_t m_lean = 0;
    // The small counter of `CarState::Strike` (0, 1, 2, 0, ...) and the shield's step
    // of `CarState::Shield`.
    std::int32_t m_stateCounter = 0;
    std::int32_t m_stateAnim = 0;
    std::int32_t m_fallStep = 0;
    std::int8_t m_fallen = 0;
    std::int32_t m_racePosition = 0;
    // The racer definition row of the car.
    std::int32_t m_carType = 0;
    std::int32_t m_aiTuning[kAiTuning] = {};
    // Animation players of the effect layers 1 to 7 (EntityEffects.h names
    // them), made with the car for a race and dropped with it; and the mode
    // each layer's animation was started with, which decides what its end
    // does.
    rt::Object* m_layerPlayers[kLayerPlayers] = {};
    std::int32_t m_layerModes[kLayerPlayers] = {};
    // Targets and items.
    std::int8_t m_hasTarget = 0;
    std::int32_t m_targetRacer = 0;
    rt::IntArray* m_pair = nullptr;
    std::int32_t m_itemSlot = 0;
    std::int32_t m_heldItem = 0;
    std::int32_t m_itemCharges = 0;
    std::int32_t m_collected = 0;
    std::int32_t m_itemUses = 0;
    std::int32_t m_boostTimer = 0;
    std::int8_t m_nitroFlags[2] = {};
    CarState m_state = CarState::Normal;
    std::int32_t m_stateTimer = 0;
    std::int32_t m_itemCooldown = 0;
    std::int32_t m_trackSection = 0;
    std::int8_t m_onPath = 0;
    std::int32_t m_fallLateral = 0;
    // The racer.
    std::int32_t m_driverKind = 0;
    std::int32_t m_spriteSet = 0;
    std::int32_t m_bodyPalette = 0;
    rt::String* m_name = nullptr;
    // Computer driver.
    std::int32_t m_aiMode = 0;
    std::int32_t m_laneTarget = 0;
    std::int8_t m_insideLine = 0;
    std::int8_t m_holdLine = 0;
    std::int8_t m_airborne = 0;
    std::int32_t m_jumpKind = 0;
    std::int8_t m_forceFall = 0;
    // Car painting and its effect layers.
    std::int8_t m_targeted = 0;
    std::int32_t m_roadSlice = 0;
    std::int32_t m_screenGroundY = 0;
    std::int32_t m_animCounter = 0;
    std::int32_t m_animFrameCount = 0;
    std::int32_t m_animFrameModulo = 0;
    // Route manoeuvres round a slower car.
    std::int32_t m_routeStart = 0;
    cEntity* m_routeBlocker = nullptr;
    std::int32_t m_routeMode = 0;
    std::int32_t m_contactAngle = 0;
    // Race objects, and the item offer of the player's car.
    std::int32_t m_itemTimer = 0;
    std::int8_t m_fixed = 0;
    std::int8_t m_homing = 0;
    std::int32_t m_owner = 0;
    std::int32_t m_targetIndex = 0;
    std::int32_t m_offeredItem = 0;
    std::int32_t m_offerTimer = 0;
    std::int32_t m_lateralRate = 0;
    // The item the next finished draw gives, -1 none.
    std::int32_t m_nextItem = 0;
    // The camera's target sequence.
    std::int8_t m_targetFired = 0;
    std::int32_t m_targetTime = 0;
    // Definition field 2 of a computer racer.
    std::int32_t m_defField2 = 0;

    RT_REFERENCE_FIELDS(cEntity, Object, m_widthProfile, m_stats, m_gearTable, m_layerPlayers[0],
                        m_layerPlayers[1], m_layerPlayers[2], m_layerPlayers[3], m_layerPlayers[4],
                        m_layerPlayers[5], m_layerPlayers[6], m_pair, m_name, m_routeBlocker)
};

// The player's car (type 0).
inline bool isPlayer(const cEntity* e) {
    return e->m_type == 0;
}

// In a state that a race object's or a trigger's knock-out passes by: the
// strike, no contact or the ghost.
inline bool untouchable(const cEntity* e) {
    return e->m_state == CarState::Strike || e->m_state == CarState::NoContact ||
           e->m_state == CarState::Ghost;
}

// Element 5 of the width profile: the half-width going straight; 0 without
// one.
inline std::int32_t straightHalfWidth(const cEntity* e) {
    return e->m_widthProfile && e->m_widthProfile->length() > 5 ? rt::IntArray::get(e->m_widthProfile, 5) : 0;
}

} // namespace game
