#include "game/race/RaceTouch.h"

#include "game/framework/HudFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/HudState.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "runtime/StaticClass.h"

namespace game {

RaceTouchStatics& raceTouchStatics() {
    return rt::getStaticClass().statics<RaceTouchStatics>();
}

bool isPointerOnRaceLeftHalf() {
    if (stateStatics().s_state != kRaceState || isPointerOnRaceButton() || isPointerOnHudPanel())
        return false;
    const std::int32_t width = config().s_gameScreenWidth;
    const std::int32_t height = config().s_gameScreenHeight;
    const std::int32_t h = spriteFrameHeight(kRaceTouchSprite, kActionButtonFrame);
    return isHeldPointInRect(0, height / 2 - h / 2, width / 2, h);
}

bool isHudButtonHeld() {
    RaceTouchStatics& s = raceTouchStatics();
    cEntity* player = racerStatics().s_playerCar;
    if (s.s_raceControlsOff || !player)
        return false;
    if (player->m_driveMode != kHeldButtonDriveMode && stateStatics().s_gameMode != kGuideGameMode)
        return false;
    buildHudButtonZones();
    if (!isHeldPointInRectArray(touchStatics().s_hudButtonZone))
        return false;
    if (++s.s_hudButtonFrames < kHudButtonHoldFrames)
        return false;
    s.s_hudButtonFrames = 0;
    player->m_driveMode = -1;
    return true;
}

} // namespace game
