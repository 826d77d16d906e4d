#pragma once

// Two screens reached from the menus: the bonus menu (state 18), a row of
// three pictures, each named below it, of which the unlocked ones can be
// chosen, and the notice (state 37) shown before the promotion screen opens.
// The demo's bonus menu is the career: its pictures are the first three
// cups, and choosing one opens the cup selection (through the racer list)
// on that cup.
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
