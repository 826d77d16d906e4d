#include "game/race/ScreenShake.h"

#include "game/framework/LoopStatics.h"
#include "game/race/RaceKernel.h"
#include "game/race/RaceState.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/StaticClass.h"

namespace game {

ShakeStatics& shakeStatics() {
    return rt::getStaticClass().statics<ShakeStatics>();
}

void requestShake(std::int32_t duration, std::int32_t ampX, std::int32_t ampY, std::int32_t strength) {
    ShakeStatics& u = shakeStatics();
    if (raceStatics().s_raceFinished || (u.s_shakeLeft >= 1 && u.s_shakeStrength > strength))
        return;
    u.s_shakeDuration = duration;
    u.s_shakeAmpX = ampX;
    u.s_shakeAmpY = ampY;
    u.s_shakeStrength = strength;
    u.s_shakeSign = 1;
    u.s_shakeLeft = duration;
}

void setShakeOffset(std::int32_t x, std::int32_t y) {
    ShakeStatics& u = shakeStatics();
    if (Graphics* g = loopStatics().s_graphics)
        g->translate(x - u.s_shakeX, y - u.s_shakeY);
    u.s_shakeX = x;
    u.s_shakeY = y;
}

void updateShake(std::int32_t dt) {
    ShakeStatics& u = shakeStatics();
    if (raceStatics().s_raceFinished || (u.s_shakeLeft > 0 && u.s_shakeDuration == 0)) {
        u.s_shakeLeft = 0;
        setShakeOffset(0, 0);
        return;
    }
    if (u.s_shakeLeft <= 0)
        return;
    // The strength times the time left can pass 2^19, so the scale goes
    // through 64 bits; the duration is not 0 here.
    auto f = static_cast<std::int32_t>(((std::int64_t{u.s_shakeStrength} * u.s_shakeLeft) << 12) /
                                       u.s_shakeDuration);
    setShakeOffset(mulWrap(fixMul64(u.s_shakeAmpX, f), u.s_shakeSign),
                   mulWrap(fixMul64(u.s_shakeAmpY, f), u.s_shakeSign));
    u.s_shakeSign = -u.s_shakeSign;
    u.s_shakeLeft -= dt;
    if (u.s_shakeLeft < 1)
        setShakeOffset(0, 0);
}

} // namespace game
