#include "game/race/RaceView.h"

#include "game/race/RaceCamera.h"
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

} // namespace game
