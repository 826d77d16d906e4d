#include "game/race/RaceGuide.h"

#include "game/framework/Keys.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/race/EntityEffects.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceTouch.h"
#include "game/race/RacerData.h"
#include "game/race/cEntity.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

// The item the guide hands over for steps 5 and 6.
constexpr std::int32_t kGuideItem = 4;

// Whether step `step`'s input came this frame. Each step is done by the
// control it teaches, a key or the touch that stands for it: steering left
// and right (the keys or the bands the arrows sit on), stopping the car,
// the race button. Steps 5 and 6 end by the track triggers, 8 and 9 by the
// race.
bool stepDone(std::int32_t step, cEntity* player) {
    RaceGuideStatics& guide = raceGuideStatics();
    switch (step) {
    case 0:
        return isKeyPressed(kSecondLeftKey) || isKeyPressed(kLeftKey) || isPointerOnRaceLeftHalf();
    case 1:
        return isKeyPressed(kSecondRightKey) || isKeyPressed(kRightKey) || isPointerOnRaceRightHalf();
    case 2:
        return player->m_speed == 0;
    case 3:
        return isKeyPressed(kDigit0Key) || isPointerOnRaceButton();
    case 4:
        return player->m_itemTimer >= 1;
    case 5:
    case 6:
        // The item shows in its slot, which is the control that fires it.
        player->m_heldItem = kGuideItem;
        player->m_itemSlot = kGuideItem;
        player->m_itemCharges = 1;
        return false;
    case 7:
        if (player->m_itemCharges >= 1)
            useItemCharge(player, false);
        return player->m_collected - guide.s_guideCollectedBase >= kGuideCollectTarget;
    default:
        return false;
    }
}

} // namespace

RaceGuideStatics& raceGuideStatics() {
    return rt::getStaticClass().statics<RaceGuideStatics>();
}

bool isGuideExitAsked() {
    return getPressedKey() == kGuideExitKey || touchSoftKeys();
}

void leaveGuide() {
    setLoadingTarget(kLoadMenus, State::RaceMenu);
    backToState(State::Loading);
}

void completeGuideStep() {
    eventGoalStatics().s_guideTimer = raceGuideStatics().s_guideStepTime;
}

bool updateGuideSteps(std::int32_t dt) {
    EventGoalStatics& g = eventGoalStatics();
    cEntity* player = racerStatics().s_playerCar;
    if (g.s_guideStep >= kGuideSteps || !player)
        return false;
    if (g.s_guideTimer > 0) {
        g.s_guideTimer -= dt * 256;
        if (g.s_guideTimer < 0) {
            ++g.s_guideStep;
            g.s_guideTimer = 0;
            raceGuideStatics().s_guideCollectedBase = player->m_collected;
        }
        // The last step waits for nothing: once its lessons are done the
        // guided race is over and the guide ends with it.
        if (g.s_guideStep == kGuideLastStep) {
            g.s_guideStep = kGuideSteps;
            return true;
        }
        return false;
    }
    if (isGuideExitAsked()) {
        leaveGuide();
        return false;
    }
    if (stepDone(g.s_guideStep, player))
        completeGuideStep();
    return false;
}

} // namespace game
