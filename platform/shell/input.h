#pragma once

// Input as the canvas receives it: virtual keys of the window turned into
// MIDP key codes, and stylus positions on the screen scaled to the logical
// 480 x 640 screen the game draws on.

#include <cstdint>

namespace platform {

// MIDP key codes the platform makes besides letters and other keys that pass
// unchanged.
inline constexpr std::int32_t kLeftSoftKey = -6;
inline constexpr std::int32_t kRightSoftKey = -7;
// A code that no key map of the game holds: the game reads it as its key 0.
inline constexpr std::int32_t kUnmappedKey = -999;

// Enter, the arrows, the digits, F8 and F9 give -999; F1 and F2 the soft keys
// -6 and -7; every other key (letters as 65..90) passes unchanged.
std::int32_t mapVirtualKey(std::int32_t virtualKey);

// Logical size over screen size per axis.
struct StylusScale {
    float x = 1.0f;
    float y = 1.0f;
};

// Each axis whose factor is not exactly 1.0 becomes floor(v * factor + 0.5),
// the product taken in single precision.
void scaleStylusPoint(const StylusScale& scale, std::int32_t& x, std::int32_t& y);

} // namespace platform
