#pragma once

// The anchor combinations the game places text and images with, made of the
// lcdui anchors of platform/lcdui/Graphics.h. Code that needs a single
// anchor, or a combination not named here, uses the Graphics constants.

#include "platform/lcdui/Graphics.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kAnchorTopLeft =
    platform::javax_microedition_lcdui_Graphics::TOP | platform::javax_microedition_lcdui_Graphics::LEFT;
inline constexpr std::int32_t kAnchorTopCentre =
    platform::javax_microedition_lcdui_Graphics::TOP | platform::javax_microedition_lcdui_Graphics::HCENTER;
inline constexpr std::int32_t kAnchorTopRight =
    platform::javax_microedition_lcdui_Graphics::TOP | platform::javax_microedition_lcdui_Graphics::RIGHT;
inline constexpr std::int32_t kAnchorCentre = platform::javax_microedition_lcdui_Graphics::VCENTER |
                                              platform::javax_microedition_lcdui_Graphics::HCENTER;
inline constexpr std::int32_t kAnchorLeftCentre =
    platform::javax_microedition_lcdui_Graphics::VCENTER | platform::javax_microedition_lcdui_Graphics::LEFT;
inline constexpr std::int32_t kAnchorBottomCentre = platform::javax_microedition_lcdui_Graphics::BOTTOM |
                                                    platform::javax_microedition_lcdui_Graphics::HCENTER;

} // namespace game
