#pragma once

// The painters the menu screens share: the screen header, the scrolling
// help line, the vertical menu with its sliding exit, and the question box.
// All draw on the frame's graphics with the sprite table's sprites and the
// font table's fonts (font 0 titles, 1 menu items, 2 running text). The menu
// and the question box paint only when `s_redraw` or `s_fullRepaint` asks.

#include "game/framework/SpriteSlots.h"
#include "runtime/Array.h"
#include "runtime/String.h"

#include <cstdint>

namespace game {

class ASprite;

// The font table's fonts the menus draw with: titles, menu items and
// running text.
inline constexpr std::int32_t kMenuTitleFont = 0;
inline constexpr std::int32_t kMenuItemFont = 1;
inline constexpr std::int32_t kMenuTextFont = 2;

// Sprites the painters use by number.
// x of an item at rest, and of an item that has left.
inline constexpr std::int32_t kMenuItemX = 10;
inline constexpr std::int32_t kMenuItemGoneX = -330;
// The help line's scroll per frame.
inline constexpr std::int32_t kHelpLineStep = 4;

// Whether a screen paints this frame: `s_redraw` or `s_fullRepaint` is set.
bool mustRepaint();
// The whole screen in one colour (0xRRGGBB).
void fillScreen(std::int32_t rgb);
// Frame `frame` of sprite `sprite` of the sprite table at (x, y) on the
// frame's graphics; nothing while the slot is empty.
void paintSpriteFrame(std::int32_t sprite, std::int32_t frame, std::int32_t x, std::int32_t y);
// The frames of sprite `sprite` of the sprite table; 0 while the slot holds
// no sprite.
std::int32_t spriteFrameCount(std::int32_t sprite);
// The option arrows at the selection screen's arrow zones (int[n][4]): the
// left arrow (`kMenuArrowSprite`) at the even zones, the right one at the
// odd ones, each centred in its zone, which is larger than the arrow so that
// a tap near it counts.
void paintOptionArrows(rt::ObjectArray* zones);
// `text` in `font` and `palette` at (x, y) with a MIDP anchor.
void drawMenuText(std::int32_t font, std::int32_t palette, rt::String* text, std::int32_t x, std::int32_t y,
                  std::int32_t anchor);
// `text` broken into lines of at most `maxWidth` pixels, `lineHeight` apart
// (0: the font's own step), each line placed against (x, y) by `anchor`.
void drawTextBlock(std::int32_t font, std::int32_t palette, rt::String* text, std::int32_t maxWidth,
                   std::int32_t lineHeight, std::int32_t x, std::int32_t y, std::int32_t anchor);

// The menu bar (`kMenuFrameSprite`) at the top centre and the title below
// it.
void paintScreenHeader();
// The menus' background picture: both frames of its sprite, over the screen.
void paintBackgroundPicture();
// The help text of the highlighted item at (`s_helpLineX`, `s_helpLineY`).
void paintHelpLine();
// Moves the help line left a step; once all of it has left the screen it
// starts again at the right edge.
void scrollMenuText();
// Sets the help texts of the items (one text id each) as the text lines
// (`setTextLines`) and starts the line at the right edge.
void setHelpTexts(rt::IntArray* textIds);
// The vertical menu of `count` items labelled by `textIds`.
void paintMenu(std::int32_t count, rt::IntArray* textIds);
// The question box centred on (x, y), answer `answer` highlighted.
void paintQuestionBox(std::int32_t answer, std::int32_t x, std::int32_t y);
// Box `box` (x, y, w, h) of frame `frame` of the question box sprite; all 0
// while the sprite is not loaded or lacks the box. The array is shared: the
// next call overwrites it, so a caller reads it before asking again.
rt::IntArray* questionBoxPoint(std::int32_t frame, std::int32_t box);
// Three labelled gauges, rows 20 pixels apart from y: label i (a text id,
// negative none) ends at x, its gauge follows filled to value i, a percent
// (held to 0..100).
void paintGaugePanel(std::int32_t x, std::int32_t y, rt::IntArray* labels, rt::IntArray* values);
// The box's title at the title point of the box frame, offset by (x, y).
void paintBoxTitle(std::int32_t x, std::int32_t y);

} // namespace game
