#pragma once

// Two screens reached from the menus: the bonus menu (state 18), a row of
// three pictures, each named below it, of which the unlocked ones can be
// chosen, and the notice (state 37) shown before the promotion screen opens.
// The notice's look serves every message the game gives the player on a
// screen of its own (a race that could not be loaded, Loading.h).
// The demo's bonus menu is the career: its pictures are the first three
// cups, and choosing one opens the cup selection (through the racer list)
// on that cup.
//
// Game thread only.

#include "game/framework/States.h"
#include <cstdint>

namespace game {

// A notice: text `text` of the loaded table broken into lines of at most
// `kNoticeWidth` pixels in the middle of a black screen, and near the
// bottom, while `promptShown`, the menus' prompt to tap the screen. A
// notice's text fits `kNoticeLines` lines (datacheck holds the data to it).
inline constexpr std::int32_t kNoticeWidth = 440;
inline constexpr std::int32_t kNoticeLines = 4;
// The notices' texts in the menus' table: the one before the promotion
// screen, and the one after a race load that failed.
inline constexpr std::int32_t kPromotionNoticeText = 186;
inline constexpr std::int32_t kRaceLoadFailedText = 305;
void paintNotice(std::int32_t text, bool promptShown);

void stateBonusMenu(std::int32_t message);
void stateNotice(std::int32_t message);

// Registers the handlers of states 18 and 37.
void registerMenuScreens();

} // namespace game
