#pragma once

// The touch zones of the question-box lists and the stylus on the pause
// list. A list's answers are painted by `paintQuestionBox` one under the
// other from the box's answer point; their zones cover exactly those frames,
// so a tap lands on the answer it shows.

#include "runtime/Array.h"

#include <cstdint>

namespace game {

// The pause list sits this far above the screen's centre.
inline constexpr std::int32_t kPauseListRise = 40;

// One zone per entry of `list` (text ids), each the size of an answer
// (`kAnswerFrame` of `kMenuItemSprite`), centred on the screen's x, stacked
// down from the answer point of the question box's frame for that many
// answers below the screen's centre; 40 pixels higher in the pause state. A new int[n][4].
rt::ObjectArray* buildListZones(rt::IntArray* list);

// In the pause state, whether answer `item` of the pause list (5 or 6
// items, kept in `s_questionAnswerTexts`) is the sound switch.
bool isPauseSoundItem(std::int32_t item);
// The pause list's sound switch: the sound option flips and is saved with
// the progress; music stops when sound goes off, the choose sound plays
// when it comes on. The list is repainted.
void switchPauseSound();

// The pause state's stylus: the zones of its list (5 or 6 items, kept in
// `s_questionAnswerTexts`) are built on first use and again when the list
// changes. The stylus on an item highlights it; a tap on it returns to the
// state below (no target), switches sound (the sound item) or pushes the
// item's target (the selection then -1). After a tap the choose sound
// plays when sound is on. Answers whether an item was tapped.
bool touchPauseMenu();

} // namespace game
