#include "game/framework/Seams.h"

namespace game {

Seams& seams() {
    // Function pointers only: nothing here is a guest reference.
    static Seams s_seams;
    return s_seams;
}

void setStateHandler(std::int32_t state, StateHandler handler) {
    if (state >= kQuitState && state <= kLastState)
        seams().states[static_cast<std::size_t>(state + 1)] = handler;
}

StateHandler stateHandler(std::int32_t state) {
    if (state < kQuitState || state > kLastState)
        return nullptr;
    return seams().states[static_cast<std::size_t>(state + 1)];
}

} // namespace game
