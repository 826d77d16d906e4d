#include "game/race/Blink.h"

#include "game/race/RaceKernel.h"
#include "runtime/StaticClass.h"

namespace game {

BlinkStatics& blinkStatics() {
    return rt::getStaticClass().statics<BlinkStatics>();
}

void startBlink(std::int32_t period) {
    BlinkStatics& u = blinkStatics();
    u.s_blinkPeriod = period;
    u.s_blinkTimer = 2 * period;
    u.s_blinkLoop = 1;
}

bool isBlinkOn() {
    const BlinkStatics& u = blinkStatics();
    if (u.s_blinkLoop)
        return u.s_blinkTimer > u.s_blinkPeriod;
    if (u.s_blinkTimer < 1)
        return false;
    return (divOrZero(u.s_blinkTimer, u.s_blinkPeriod) & 1) == 0;
}

bool advanceBlinkTimer(std::int32_t dt) {
    BlinkStatics& u = blinkStatics();
    u.s_blinkTimer -= dt;
    if (u.s_blinkTimer >= 0)
        return false;
    if (u.s_blinkLoop) {
        u.s_blinkTimer += 2 * u.s_blinkPeriod;
        return false;
    }
    u.s_blinkTimer = 0;
    return true;
}

} // namespace game
