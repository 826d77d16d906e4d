#include "game/racepaint/SpeedLines.h"

#include "game/framework/FixedPoint.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/race/RaceFrame.h"
#include "game/race/RacerData.h"
#include "game/race/ScreenShake.h"
#include "game/race/TrackData.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RoadsideView.h"
#include "game/sprite/Drawing.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/checks.h"

namespace game {

namespace {

constexpr std::int32_t kQuarterTurn = 512;
// The outer ends lie 20 x 16 = 320 px from the centre.
constexpr std::int32_t kOuterReach = 20;
// Directions whose lines point into the road's lower half take the grey.
constexpr std::int32_t kGreyFrom = 624;
constexpr std::int32_t kGreyTo = 1416;

std::int32_t fxRound(std::int32_t a) {
    return (a + 2048) >> 12;
}

} // namespace

SpeedLine speedLine(std::int32_t i, bool sideContact) {
    SpeedLine line;
    const bool odd = (i & 1) != 0;
    if (i < 0 || i >= kSpeedLines || (odd && !sideContact))
        return line;
    const std::int32_t a = raceFrameStatics().s_speedLines[i][0];
    const std::int32_t s = cos(a - kQuarterTurn) * 16;
    const std::int32_t c = cos(a) * 16;
    const std::int32_t length = (raceFrameStatics().s_speedLines[i][1] + 60) / 10;
    const bool grey = a >= kGreyFrom && a <= kGreyTo;
    if (odd)
        line.colour = grey ? 0xFF7200 : 0xFF5400;
    else
        line.colour = grey ? 0xD0CCC8 : 0xFFFFFF;
    const RoadsideViewStatics& v = roadsideView();
    line.outerX = v.s_screenCenterX + fxRound(s * kOuterReach);
    line.outerY = v.s_viewHorizonY + fxRound(c * kOuterReach);
    line.innerX = v.s_screenCenterX + fxRound(length * s) - v.s_roadBend;
    line.innerY = v.s_viewHorizonY + fxRound(length * c);
    line.drawn = true;
    return line;
}

void paintSpeedLines() {
    const cEntity* player = racerStatics().s_playerCar;
    if (roadsideView().s_weatherMode == kParticleWeather || !player || player->m_boostTimer <= 0)
        return;
    platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (!g) {
        rt::reportNullPointer();
        return;
    }
    const ShakeStatics& u = shakeStatics();
    const std::int32_t width = config().s_gameScreenWidth;
    const std::int32_t height = config().s_gameScreenHeight;
    clipRect(g, 1 - u.s_shakeX, 1 - u.s_shakeY, width - 2, height - 2);
    for (std::int32_t i = 0; i < kSpeedLines; ++i) {
        const SpeedLine line = speedLine(i, player->m_sideContact != 0);
        if (!line.drawn)
            continue;
        g->setColor(line.colour);
        drawLine(line.outerX, line.outerY, line.innerX, line.innerY);
    }
    setClip(g, -u.s_shakeX, -u.s_shakeY, width, height);
}

} // namespace game
