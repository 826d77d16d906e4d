#include "game/race/RaceView.h"

#include "game/framework/States.h"
#include "game/race/RaceFrame.h"

namespace game {

RaceViewHooks& raceViewHooks() {
    static RaceViewHooks hooks;
    return hooks;
}

void paintRaceState() {
    const RaceViewHooks& hooks = raceViewHooks();
    if (hooks.viewPass)
        hooks.viewPass();
    if (hooks.painter)
        hooks.painter();
    if (hooks.afterPaint)
        hooks.afterPaint();
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
