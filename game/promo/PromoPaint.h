#pragma once

// The promotion screen's painting and its touch hit test. The painters draw
// with the screen's own bitmap font and record where the list rows, the list
// arrows and the link button went; the hit test reads those places.

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace rt {
class String;
}

namespace game::promo {

// Lines a painted text may have: the line-width table's slots.
inline constexpr std::int32_t kPromoLineWidthSlots = 10;

void paint(platform::javax_microedition_lcdui_Graphics* g);
// Draws `text` at (x, y) by `anchor` (MIDP anchor bits), or only measures it
// while the measure flag is set; the size goes to the text-size statics.
void drawText(rt::String* text, platform::javax_microedition_lcdui_Graphics* g, std::int32_t x,
              std::int32_t y, std::int32_t anchor);
// Measures `text` without drawing.
void measureText(rt::String* text);
void paintProgressBar(platform::javax_microedition_lcdui_Graphics* g, std::int32_t y, std::int32_t width,
                      std::int32_t step, std::int32_t count);
// Places the link button from its label.
void layoutLinkButton();

// The action under (x, y) on the screen; 0 for none. In list mode a tap on
// a row that is not selected selects it.
std::int32_t actionAtPoint(std::int32_t x, std::int32_t y);

} // namespace game::promo
