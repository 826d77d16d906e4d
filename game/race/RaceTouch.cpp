#include "game/race/RaceTouch.h"

#include "game/framework/HudFrames.h"
#include "game/framework/MenuFrames.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/RaceIconFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/EventGoals.h"
#include "game/race/HudState.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "runtime/Array.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

// The side of the race button and its rectangle's top.
std::int32_t raceButtonSide() {
    return spriteFrameHeight(kRaceTouchSprite, kActionButtonFrame);
}

std::int32_t raceButtonTop(std::int32_t side) {
    if (stateStatics().s_gameMode == GameMode::Guided)
        return screenHeight() - spriteFrameHeight(kMenuItemSprite, kAnswerFrame) - side;
    return screenHeight() - side - 10;
}

} // namespace

RaceTouchStatics& raceTouchStatics() {
    return rt::getStaticClass().statics<RaceTouchStatics>();
}

bool isPointerOnRaceLeftHalf() {
    if (stateStatics().s_state != State::Race || isPointerOnRaceButton() || isPointerOnHudPanel())
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
    if (player->m_driveMode != kHeldButtonDriveMode && stateStatics().s_gameMode != GameMode::Guided)
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

bool isPointerOnRaceButton() {
    if (!isInRace())
        return false;
    std::int32_t side = raceButtonSide();
    return isHeldPointInRect(15, raceButtonTop(side), side, side);
}

bool isPointerOnRaceRightHalf() {
    if (!isInRace() || isPointerOnRaceButton())
        return false;
    std::int32_t side = raceButtonSide();
    return isHeldPointInRect(screenWidth() / 2, screenHeight() / 2 - side / 2, screenWidth() / 2, side);
}

bool isPointerOnHudPanel() {
    if (touchStatics().s_pauseButtonUsed)
        return false;
    bool guided = stateStatics().s_gameMode == GameMode::Guided;
    // Of the guided race's events, only a section keeps the panel touchable.
    if (guided && isInRace()) {
        if (currentEventType() != EventType::Section)
            return false;
    }
    std::int32_t frameW = spriteFrameWidth(kHudNumberSprite, kHudPanelSizeFrame);
    std::int32_t frameH = spriteFrameHeight(kHudNumberSprite, kHudPanelSizeFrame);
    return isHeldPointInRect(0, guided ? 67 : 90, 2 * frameW,
                             spriteFrameHeight(kCoinSprite, kCoinPlateFrame) + 2 * frameH);
}

bool isPointerOnBottomButton() {
    std::int32_t w = spriteFrameWidth(kMenuItemSprite, kSoftKeyFrameOff);
    std::int32_t h = spriteFrameHeight(kMenuItemSprite, kSoftKeyFrameOff);
    return isLatchedPointInRect(screenWidth() / 2 - w / 2, screenHeight() - h, w, h);
}

bool isPointerOnBottomButtonInRace() {
    if (!isInRace())
        return false;
    std::int32_t w = spriteFrameWidth(kMenuItemSprite, kSoftKeyFrameOff);
    std::int32_t h = spriteFrameHeight(kMenuItemSprite, kSoftKeyFrameOff);
    return isHeldPointInRect(screenWidth() / 2 - w / 2, screenHeight() - h, w, h);
}

void buildPauseButtonZone() {
    TouchStatics& touch = touchStatics();
    if (touch.s_pauseZone)
        return;
    std::int32_t side = spriteFrameWidth(kMenuItemSprite, kPauseFrameOff);
    touch.s_pauseZone = makeRect(screenWidth() - side, 0, side, side);
}

bool touchRaceStartButtons() {
    const State state = stateStatics().s_state;
    if (state != State::RaceCountdown && state != State::Race)
        return false;
    buildPauseButtonZone();
    TouchStatics& touch = touchStatics();
    touch.s_pauseFrame = isPointerInRectArray(touch.s_pauseZone) ? kPauseFrame : kPauseFrameOff;
    if (!isPressInRectArray(touch.s_pauseZone))
        return false;
    touch.s_pauseButtonUsed = 1;
    pushState(State::PauseMenu);
    return true;
}

bool isPressOnItemSlot() {
    rt::IntArray* zone = touchStatics().s_hudButtonZone;
    return zone && !raceTouchStatics().s_raceControlsOff && isInRace() && isPressInRectArray(zone);
}

void buildHudButtonZones() {
    TouchStatics& touch = touchStatics();
    if (!touch.s_hudButtonZone)
        touch.s_hudButtonZone = makeRect(540, 375, spriteFrameWidth(kRaceIconSprite, kItemSlotFrame),
                                         spriteFrameHeight(kRaceIconSprite, kItemSlotFrame));
}

} // namespace game
