#pragma once
// The race's screen shake: an impact, a landing or a wall shakes the
// picture by moving the screen graphics' origin, swinging from side to side
// and fading over its time. A shake gives way only to one at least as
// strong; a finished race takes the shake back at once.
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

struct ShakeStatics {
    // The shake: its length, the time left (0 none), the amplitudes in
    // pixels, the sign flipped each step, the strength (also its
    // precedence) and the offset now applied to the screen graphics.
    std::int32_t s_shakeDuration = 0;
    std::int32_t s_shakeLeft = 0;
    std::int32_t s_shakeAmpX = 0;
    std::int32_t s_shakeAmpY = 0;
    std::int32_t s_shakeSign = 1;
    std::int32_t s_shakeStrength = 0;
    std::int32_t s_shakeX = 0;
    std::int32_t s_shakeY = 0;

    RT_NO_REFERENCE_FIELDS(ShakeStatics, rt::NoReferenceBase)
};

ShakeStatics& shakeStatics();

// Starts a shake unless the race is finished or a stronger one runs; one of
// equal strength replaces it.
void requestShake(std::int32_t duration, std::int32_t ampX, std::int32_t ampY, std::int32_t strength);
// One race step of the shake: the screen graphics (when there is one) is
// moved to the new offset; a finished race or a shake of no duration ends
// it and takes the offset back.
void updateShake(std::int32_t dt);
// Moves the screen graphics from the current shake offset to (x, y).
void setShakeOffset(std::int32_t x, std::int32_t y);

} // namespace game
