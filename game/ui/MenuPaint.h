#pragma once

// The painters the menu screens share: the screen header, the scrolling
// help line, the vertical menu with its sliding exit, and the question box.
// All draw on the frame's graphics with the sprite table's sprites and the
// font table's fonts (font 0 titles, 1 menu items, 2 running text). The menu
// and the question box paint only when `s_redraw` or `s_fullRepaint` asks.

#include "runtime/Array.h"

#include <cstdint>

namespace game {

// Sprites the painters use by number.
inline constexpr std::int32_t kBackgroundSprite = 5;
inline constexpr std::int32_t kHeaderSprite = 8;
inline constexpr std::int32_t kMenuItemSprite = 65;
inline constexpr std::int32_t kQuestionBoxSprite = 4;
// x of an item at rest, and of an item that has left.
inline constexpr std::int32_t kMenuItemX = 10;
inline constexpr std::int32_t kMenuItemGoneX = -330;
// The help line's scroll per frame.
inline constexpr std::int32_t kHelpLineStep = 4;

// Sprite 8 frame 0 at the top centre and the title below it.
void paintScreenHeader();
// The help text of the highlighted item at (`s_helpLineX`, `s_helpLineY`).
void paintHelpLine();
// Moves the help line left a step; once all of it has left the screen it
// starts again at the right edge.
void scrollMenuText();
// Sets the help texts of the items (one text id each) and starts the line
// at the right edge.
void setHelpTexts(rt::IntArray* textIds);
// The vertical menu of `count` items labelled by `textIds`.
void paintMenu(std::int32_t count, rt::IntArray* textIds);
// The question box centred on (x, y), answer `answer` highlighted.
void paintQuestionBox(std::int32_t answer, std::int32_t x, std::int32_t y);
// The box's title at the title point of the box frame, offset by (x, y).
void paintBoxTitle(std::int32_t x, std::int32_t y);

} // namespace game
