#pragma once

// What the frame draws after every state: the soft keys with their labels
// and the pause button, over whatever the state painted. It holds no state
// of its own; a state changes the keys by changing the label indexes
// (`setSoftKeys`, Touch.h).
//
// Threads: the game thread only.

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
} // namespace platform

namespace game {

// The font of the soft-key labels and the palette they are drawn in.
inline constexpr std::int32_t kSoftKeyFont = 2;
inline constexpr std::int32_t kSoftKeyPalette = 1;

// The soft keys and the pause button, once per frame after the state's
// paint: the left key only in the guided race (with label 3 when it
// exists), the pause button while the race runs, the right key in the menu
// states that show one.
void paintOverlay(platform::javax_microedition_lcdui_Graphics* graphics);

} // namespace game
