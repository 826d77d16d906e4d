#pragma once

// Menu and question-box input: the two operations every menu screen and
// question box calls once per update, and the touch tests they run.
//
// Both act on the release of the highest game key released this frame,
// never on its press. Game keys: 1 and 8 up, 2 and 14 down, 3 and 10 left,
// 4 and 12 right, 5, 11 and 18 select (18 the left soft key), 19 back (the
// right soft key). While a select key is held (or the left soft-key zone is
// tapped) the selection does not move.

#include "runtime/Forward.h"

#include <cstdint>

namespace game {

// Bits of the `flags` argument.
inline constexpr std::int32_t kMenuMove = 1;
inline constexpr std::int32_t kMenuChoose = 2;
inline constexpr std::int32_t kMenuBack = 4;
// The flags of a screen whose highlighted item can be chosen, and of one
// where it can only be looked at.
inline constexpr std::int32_t kMenuChooseFlags = kMenuMove | kMenuChoose | kMenuBack;
inline constexpr std::int32_t kMenuBrowseFlags = kMenuMove | kMenuBack;
// The bit of `soundFlags` that plays the choose sound.
inline constexpr std::int32_t kMenuChooseSound = 2;
// The choose sound.
inline constexpr std::int32_t kChooseSound = 21;
// The menus' music.
inline constexpr std::int32_t kMenuMusic = 5;

// The key that a screen turned by a quarter reads for game key `key`: up
// and down become left and right, left and right become up and down. Keys
// outside 1..14 (and -1, none) stay.
std::int32_t turnedKey(std::int32_t key);

// The vertical menu of the framework's menu model (item count, selection,
// values). `valueCount`: option values of the highlighted item (changed only
// from 2 on). `itemMask`: bit i set = item i can be highlighted (-1 all).
// `flags`: kMenuMove, kMenuChoose, kMenuBack. `soundFlags`: kMenuChooseSound.
// `rotate`: read the keys turned. Answers whether an item was chosen; going
// back pops the state stack here.
bool handleMenuInput(std::int32_t valueCount, std::int32_t itemMask, std::int32_t flags,
                     std::int32_t soundFlags, bool rotate);
bool handleMenuInput(std::int32_t valueCount, std::int32_t flags, std::int32_t soundFlags);
bool handleMenuInput(std::int32_t valueCount, std::int32_t flags, std::int32_t soundFlags,
                     std::int32_t rotateFlag);

// The question box: `s_questionAnswer` of `s_questionAnswerCount`, the same
// contract. A choice sleeps the game thread 200 ms before it answers.
bool handleQuestionInput(std::int32_t flags, std::int32_t soundFlags, bool rotate);
bool handleQuestionInput(std::int32_t flags, std::int32_t soundFlags);

// The touch zones of the current state's `count` items, an int[4] (x, y,
// w, h) each, as the menu touch test builds them; a screen that paints its
// items where they are tapped reads them here. Null where the state's items
// have no zones of this kind.
rt::ObjectArray* menuItemZones(std::int32_t count);

// The menu touch test: builds the current state's item zones and sets
// `s_menuTouchPressed` / `s_menuTouchTapped` and the selection from the
// latched stylus; where zones overlap, the last item wins.
void touchMenu();

// The stylus on the option arrows (`s_arrowZones`, a left and a right zone
// per item) and, in states 12 and 16, on the field between the first two.
// Answers whether the screen's choice was confirmed by the stylus.
bool touchOptionArrows(std::int32_t valueCount);

} // namespace game
