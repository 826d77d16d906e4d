#include "game/race/RaceView.h"

#include "game/framework/States.h"
#include "game/race/RaceCamera.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceMenus.h"
#include "game/race/RaceSeams.h"
#include "game/race/ViewPass.h"

namespace game {

void runRaceViewPass() {
    publishCameraToView();
    runViewPass();
    raceHudViewPass();
}

void paintRaceState() {
    runRaceViewPass();
    raceSeams().painter();
    finishViewPass();
    raceHudClosingPass();
}

bool raceStateMessage(std::int32_t message) {
    switch (message) {
    case kUpdate:
        updateRace();
        return true;
    case kPaint:
        paintRaceState();
        return true;
    default:
        return false;
    }
}

} // namespace game
