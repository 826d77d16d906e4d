#include "game/race/RaceHooks.h"

namespace game {

RaceModelHooks& raceModelHooks() {
    static RaceModelHooks hooks;
    return hooks;
}

} // namespace game
