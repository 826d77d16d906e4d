#pragma once

// What lies on and around a car's body: the player's car as a whole (its
// extra animation, the screen flash, the wheel layers, the body, the head-up
// overlay at the car), the state and effect layers of any car, the held
// item above it, the crash animation, and the two questions the car
// painters share: whether a car goes through the zoomed cache and which
// special body frame the steering gives.
//
// Positions are screen pixels; scales fixed point with 4096 = 1.0; a scaled
// offset is (offset x `m_screenScale` + 2048) >> 12. Painters only read the
// race (CarPainting.h). Threads: the game thread only.

#include <cstdint>

namespace game {

class cEntity;

// The body frames of a spinning car, by the body animation's counter taken
// modulo the table's length.
inline constexpr std::int32_t kSpinFramesPlayer[] = {2, 3, 5, 7, 8, 2, 3, 5, 7, 8};
inline constexpr std::int32_t kSpinFramesOther[] = {2, 5, 8, 8, 5, 2};

// The rounded fixed-point product offset x scale.
std::int32_t scaledOffset(std::int32_t offset, std::int32_t scale);
// Outside 1.0 +/- 1/32 (both bounds inside): drawn through the zoomed cache.
bool needsZoom(const cEntity* car);
// The steering overlay frame of the player's car, -1 none.
std::int32_t getSteerFrame(const cEntity* car);
// Whether the screen flash darkens this frame.
bool isFlashShown();

void paintPlayerCar(const cEntity* car, std::int32_t x, std::int32_t y);
void paintStateEffects(const cEntity* car);
void paintHeldItem(const cEntity* car);
void paintAiHeldItem(const cEntity* car);
void paintCarAnim(const cEntity* car, std::int32_t x, std::int32_t y);

} // namespace game
