#pragma once
// Track triggers: what is fixed to a segment and acts on a car or race
// object passing over it. Each step a racer and each active race object
// is first held between the road's edges, then the trigger codes of its
// segment run in slot order: boost pads, hazard strips, bumps, ramps,
// obstacle boxes and gates, and the dynamic codes of the current event
// (item boxes, coins and the same actions, each from its lap); last, the
// race effects lying on the track (`s_trackEffects`) strike it.
//
// A trigger code (16 bits): kind in bits 12..15; the lane p in bits 0..3
// (lane centre (p - 3) * 512); kind 0x1000 a box or gate number in the low
// byte with bit 0x800 for the gate's far side (and a mirrored box); kind
// 0x2000 an index into the event's dynamic table in the low byte and the
// event variant in bits 8..11. A dynamic entry with top byte 0xFF is an
// action: type in bits 0..7, first lap in bits 12..14 (bit 15 every lap),
// lane in bits 16..19, item in bits 20..23; any other entry names an
// obstacle box by its low byte.
//
// The obstacle box of number b is object b of the track's object table:
// its first point pair is the box's lateral extent (mirrored to the other
// side of the centre line under bit 0x800), and it stands on the segment
// that carries the code.
//
// `s_trackEffects` is the effect pool's record list (ZoomPlayers.h): four
// ints per record ([0] segment | pool slot << 16 | kind << 24, lateral,
// position, extra). A record of kinds 2 to 5 holds a pool player and goes
// when that player ends; kinds 0 and 1 hold none and stay until struck.
// While every pool player is busy no record of kinds 2 to 5 is added, so
// the list stays within the pool's 40 records with a player.
//
// Game thread only.
#include "game/sprite/ZoomPlayers.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

inline constexpr std::int32_t kTriggerBox = 0x1000;
inline constexpr std::int32_t kTriggerDynamic = 0x2000;
inline constexpr std::int32_t kTriggerBoost = 0x4000;
inline constexpr std::int32_t kTriggerBump = 0x5000;
inline constexpr std::int32_t kTriggerRamp = 0x7000;
inline constexpr std::int32_t kTriggerHazard = 0xA000;
inline constexpr std::int32_t kTriggerFarSide = 0x800;
// Dynamic action types.
inline constexpr std::int32_t kActionItemBox = 1;
inline constexpr std::int32_t kActionCoin = 2;
inline constexpr std::int32_t kActionBoost = 3;
inline constexpr std::int32_t kActionBump = 7;
inline constexpr std::int32_t kActionRamp = 8;
inline constexpr std::int32_t kActionTenCoins = 10;
inline constexpr std::int32_t kActionHazard = 11;
// The item draw an item box starts: 2 s.
inline constexpr std::int32_t kItemDrawTime = 8192;
// A jump started by a struck effect or race object.
inline constexpr std::int32_t kJumpStruck = 6;
// A lane without a lane mark, and a lane mark already taken.
inline constexpr std::int32_t kLaneNone = -9999;
inline constexpr std::int32_t kLaneTaken = -99999;
inline constexpr std::int32_t kLanes = 16;

struct TriggerStatics {
    // Per segment, bit p: the item box or coin of lane p is taken.
    rt::IntArray* s_itemBoxTaken = nullptr;
    rt::IntArray* s_coinTaken = nullptr;
    // The moving gate of the event: its number, its lateral positions for
    // codes without and with the far-side bit, its kind (3 or 13), the
    // segments whose gate is done, and the progress value that a gate of
    // kind 13 compares with 2599: the time of its player, which plays the
    // gate's animation over and over and paints the gate (null: no gate).
    std::int32_t s_movingObjectId = -1;
    std::int32_t s_movingObjectX = 0;
    std::int32_t s_movingObjectX2 = 0;
    std::int32_t s_gateKind = 3;
    rt::ByteArray* s_gateDone = nullptr;
    std::int32_t s_movingObjectProgress = 0;
    ZoomedAnimPlayer* s_movingObjectPlayer = nullptr;
    // Five ZoomedAnimPlayer drawn under the player's car, restarted when the
    // player passes a gate of kind 3; null on tracks without them.
    rt::ObjectArray* s_underCarPlayers = nullptr;
    // The last obstacle box found: its two lateral edges.
    std::int32_t s_boxEdgeA = 0;
    std::int32_t s_boxEdgeB = 0;
    // Set for the player this step: a gate passed, an item box and a coin
    // taken (read and cleared by the head-up display).
    std::int8_t s_gatePassed = 0;
    std::int8_t s_itemBoxFlag = 0;
    std::int8_t s_coinFlag = 0;
    // Per lane: the lateral position the view pass marked for an item box
    // still standing, kLaneNone for a lane whose box a car reached,
    // kLaneTaken once a computer car took the mark; and whether any mark
    // was left.
    rt::IntArray* s_laneTargets = nullptr;
    std::int8_t s_laneTargetsOn = 0;
    // Tuning: a player below 100 km/h on a ramp is raised to twice that; a
    // dropped object turns back from a box at most 30 degrees off the road;
    // a boost pad shakes the screen 0.3 s; the sprite of the track effects.
    std::int32_t s_rampSpeed = 113777;
    std::int32_t s_bounceAngleLimit = 171;
    std::int32_t s_boostShakeKind = 1229;
    std::int32_t s_effectSprite = 0;

    RT_REFERENCE_FIELDS(TriggerStatics, rt::NoReferenceBase, s_itemBoxTaken, s_coinTaken, s_gateDone,
                        s_movingObjectPlayer, s_underCarPlayers, s_laneTargets)
};

TriggerStatics& triggerStatics();

// Per-segment marks cleared for a new run, the track effects dropped.
void resetTrackTriggers();
// What the released race leaves nothing of: the per-segment marks, sized by
// its track, the gate track's under-car animations and the track effects.
void releaseTrackTriggers();
void processTrackTriggers(cEntity* e);
// The gate's player advances `ms`, and the gate's progress is its time.
void advanceMovingObject(std::int32_t ms);
// Appends a track effect; kinds 2 to 5 take and start a free pool player
// and are not added while none is free.
void startRaceEffect(std::int32_t kind, std::int32_t segment, std::int32_t lateral, std::int32_t position,
                     std::int32_t extra);
// The number of track effect records.
std::int32_t trackEffectCount();

// The actions, on e covering xl..xr, for lane p.
void triggerBoost(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p);
void triggerHazard(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p);
void triggerBump(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p);
void triggerRamp(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p);
void triggerItemBox(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p, std::int32_t q);
void triggerCoin(cEntity* e, std::int32_t xl, std::int32_t xr, std::int32_t p, bool ten);

// Of two spans, the longer (a when both are as long) holds an end of the
// other strictly inside, or the whole other strictly inside.
bool rangesOverlap(std::int32_t a0, std::int32_t a1, std::int32_t b0, std::int32_t b1);
// Whether `code` names an obstacle box standing on `segment`; its edges go
// to s_boxEdgeA and s_boxEdgeB.
bool findObstacleBox(std::int32_t code, std::int32_t segment);
// The car's left and right reach by the steering frame.
std::int32_t leftExtent(const cEntity* e);
std::int32_t rightExtent(const cEntity* e);

} // namespace game
