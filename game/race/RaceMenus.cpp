#include "game/race/RaceMenus.h"

#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/race/HudState.h"
#include "game/race/RaceState.h"
#include "runtime/StaticClass.h"

namespace game {

RaceMenuStatics& raceMenuStatics() {
    return rt::getStaticClass().statics<RaceMenuStatics>();
}

std::int32_t pictureState() {
    const std::int32_t state = stateStatics().s_state;
    switch (state) {
    case kPauseMenuState:
    case kRaceOptionsState:
    case kRaceHelpState:
    case kExitQuestionState:
    case kQuitRaceQuestionState:
    case kRestartQuestionState:
        return raceMenuStatics().s_pausedState;
    default:
        return state;
    }
}

bool isHudPictured() {
    const std::int32_t state = pictureState();
    return state == kRaceCountdownState || (state == kRaceState && !raceStatics().s_raceFinished);
}

void raceHudViewPass() {
    if (pictureState() == kRaceCountdownState)
        updateHudIntro(loopStatics().s_frameMs);
    if (isHudPictured())
        hudViewPass();
}

void raceHudClosingPass() {
    if (isHudPictured())
        hudClosingPass();
}

} // namespace game
