#pragma once
// The timed effects of a car (a knock, the effect states of `m_state`, the
// sideways push of a contact), the items it holds and the objects it has
// collected, the surface check after the player's physics with its trail,
// and the small integer operations of the race on a car.
//
// The layer animations these operations start (collect, drop, the held
// item) are painted by the car painter; here they are made, started and
// advanced.
//
// Game thread only.
#include "game/race/cEntity.h"

#include <cstdint>

namespace game {

void updateEffects(cEntity* car, std::int32_t dt);
// The car comes back from a knock: stopped, straight, the overlay reset.
void recoverFromKnock(cEntity* car);
// Sets `m_state` and `m_stateTimer`; refuses `Swapped` and `Hindered` over
// `Strike`, `NoContact`, `Shield` and `Ghost`, gives the top speed back when
// leaving `Ghost`, cuts a fast computer car entering `Swapped`.
void setState(cEntity* car, CarState state, std::int32_t time);
// Kind 0, 3, 6 give items 3, 4, 5.
void giveItem(cEntity* car, std::int32_t kind);
void useItemCharge(cEntity* car, bool withEffect);

// The effect layers of a car, as the painter draws them.
enum EffectLayer : std::int32_t {
    // The state's own animation (steering swapped).
    kStateLayer = 1,
    // An item the car uses: the shield, the untouchable glow, a cast.
    kItemLayer = 2,
    // A cast of another car landing on this one.
    kStruckLayer = 3,
    // The collected objects dropped.
    kCollectLayer = 4,
    kKnockOutLayer = 5,
    // An aimed object locked on the car.
    kTargetLayer = 6,
    // A charge of the held item spent.
    kHeldItemLayer = 7,
};
// The mode a layer's animation starts with: what its end does.
enum EffectLayerMode : std::int32_t {
    kPlainLayerMode = 0,
    kCastLayerMode = 1,
    kStruckLayerMode = 2,
    kDropLayerMode = 2,
    kTargetLayerMode = 3,
    kChargeLayerMode = 6,
};
// The seven layer players of a car, stopped, on the car's sprite set
// (`m_spriteSet`); its animations are the `CarLayerAnim` ones.
void makeEffectLayers(cEntity* car);
void dropEffectLayers(cEntity* car);
// Layer `layer` (1..7) of `car` starts `animation` of its sprite,
// `duration` ms a pass, `loops` passes (0 once, -1 endless), in `mode`;
// nothing while the car has no player for that layer.
void startEffectLayer(cEntity* car, std::int32_t layer, std::int32_t animation, std::int32_t duration,
                      std::int32_t loops, std::int32_t mode = kPlainLayerMode);
// Layer `layer` advances `ms`; true when its animation ended with it.
bool advanceEffectLayer(cEntity* car, std::int32_t layer, std::int32_t ms);
// Whether layer `layer` plays `animation` in `mode` (also once it ended:
// the player keeps what it played).
bool effectLayerPlays(const cEntity* car, std::int32_t layer, std::int32_t animation, std::int32_t mode);
bool effectLayerRunning(const cEntity* car, std::int32_t layer);
void clearCollected(cEntity* car);
void dropCollected(cEntity* car);
void startBoost(cEntity* car, std::int32_t time, std::int32_t flag);

void savePrevious(cEntity* car);
// A value below 1 stays; otherwise value - dt, not below 0.
std::int32_t countDown(std::int32_t value, std::int32_t dt);
void stopHudFlash();

// After the player's physics: the trail by the surface under the car.
void checkSurface(cEntity* car, std::int32_t dt);
// The trail ring: lays an entry every trail interval while `on`, lets one
// fade per interval while not.
void emitTrail(const cEntity* car, std::int32_t dt, bool on);
void clearTrail();

} // namespace game
