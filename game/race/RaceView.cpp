#include "game/race/RaceView.h"

#include "game/framework/LoopStatics.h"
#include "game/race/HudState.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceState.h"
#include "game/race/ViewPass.h"

namespace game {

State pictureState() {
    const State state = stateStatics().s_state;
    switch (state) {
    case State::PauseMenu:
    case State::RaceOptions:
    case State::RaceHelp:
    case State::ExitQuestion:
    case State::QuitRaceQuestion:
    case State::RestartQuestion:
        return raceMenuStatics().s_pausedState;
    default:
        return state;
    }
}

bool isHudPictured() {
    const State state = pictureState();
    return state == State::RaceCountdown || (state == State::Race && !raceStatics().s_raceFinished);
}

void raceHudViewPass() {
    if (pictureState() == State::RaceCountdown)
        updateHudIntro(loopStatics().s_frameMs);
    if (isHudPictured())
        hudViewPass();
}

void raceHudClosingPass() {
    if (isHudPictured())
        hudClosingPass();
}

void runRaceViewPass() {
    publishCameraToView();
    runViewPass();
    raceHudViewPass();
}

void finishRaceViewPass() {
    finishViewPass();
    raceHudClosingPass();
}

} // namespace game
