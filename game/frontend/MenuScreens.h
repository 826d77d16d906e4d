#pragma once

// Two screens reached from the menus: the bonus menu (state 18), a row of
// three pictures of which the unlocked ones can be chosen, and the notice
// (state 37) shown before the promotion screen opens.
//
// Game thread only.

#include "game/framework/States.h"
#include <cstdint>

namespace game {

void stateBonusMenu(std::int32_t message);
void stateNotice(std::int32_t message);

// Registers the handlers of states 18 and 37.
void registerMenuScreens();

} // namespace game
