#pragma once
// The player's car: the game keys turned into steering, brake, shifts and
// the target; the speed the car is driven towards; the automatic gearbox;
// the steering and heading update, the sideways motion of a contact, the
// steering frame the painter shows, the steering slow-down; and the drive
// by itself after the finish. docs/driving.md gives the steering's design.
//
// Keys: brake 16; left 3 or 10; right 4 or 12; shift up and hop 6; target
// 2 or 14; nitro 8 or 1; items 11 or 5; item bar 15. The touch areas of the
// race screen come with the head-up display.
//
// Game thread only.
#include <cstdint>

namespace game {

class cEntity;

void updatePlayerCar(cEntity* car, std::int32_t dt);
void readPlayerInput(cEntity* car, std::int32_t dt);
bool isOnGround(const cEntity* car);
// The automatic gearbox; `withShiftTimer` for the player's car.
void updateGear(cEntity* car, bool withShiftTimer);
std::int32_t getShiftPoint(const cEntity* car, std::int32_t gear, bool up);
std::int32_t getGearTargetSpeed(const cEntity* car);
void updateSteering(cEntity* car, std::int32_t dt);
void applySideMotion(cEntity* car, std::int32_t dt);
void updateSteerFrame(cEntity* car);
void applySteerSlowdown(cEntity* car, std::int32_t angle);

} // namespace game
