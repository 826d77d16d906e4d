#include "game/framework/Seams.h"

namespace game {

Seams& seams() {
    // Function pointers only: nothing here is a guest reference.
    static Seams s_seams;
    return s_seams;
}

void setStateHandler(State state, StateHandler handler) {
    const std::int32_t slot = stateNumber(state) + 1;
    if (slot >= 0 && slot < kStateSlots)
        seams().states[static_cast<std::size_t>(slot)] = handler;
}

StateHandler stateHandler(State state) {
    const std::int32_t slot = stateNumber(state) + 1;
    if (slot < 0 || slot >= kStateSlots)
        return nullptr;
    return seams().states[static_cast<std::size_t>(slot)];
}

} // namespace game
