#pragma once
// The timed effects of a car (a knock, the effect states of `m_state`, the
// sideways push of a contact), the items it holds and the objects it has
// collected, the surface check after the player's physics with its trail,
// and the small integer operations of the race on a car.
//
// The layer animations these operations start (collect, drop, the held
// item) are painted by the car painter; here only the fields change.
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
// Effect layer `layer` (1..7) of `car` starts `animation` of its sprite,
// `duration` ms a pass, `loops` passes (0 once, -1 endless); nothing while
// the car has no player for that layer.
void startEffectLayer(cEntity* car, std::int32_t layer, std::int32_t animation, std::int32_t duration,
                      std::int32_t loops);
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
