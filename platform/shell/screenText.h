#pragma once

// Text the shell draws straight onto the screen surface, outside any canvas:
// the "Please wait" screen and the dots of a connection's wait animation.

#include "host/Screen.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace host {
class Text;
}

namespace platform {

// One line of `text` in `colour` (0x..RRGGBB) with its top-left corner at
// (`left`, `top`), laid over what the screen shows by the glyphs' coverage, so
// the background stays; cut at the screen's edges. Nothing without a font.
void drawTextOver(host::Text& fonts, std::u16string_view text, std::uint32_t colour,
                  std::span<std::uint16_t> screen, host::ScreenSize size, int left, int top);

} // namespace platform
