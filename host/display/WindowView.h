#pragma once

// How a desktop window shows the device's screen: turned by a quarter so that
// the landscape game, which the device draws turned clockwise into its portrait
// screen, reads upright (or as the device showed it), scaled to fit the window
// with its shape kept and centred. Mouse positions in the window map back to
// screen pixels.

#include "host/Screen.h"

#include <cstdint>
#include <span>
#include <vector>

namespace host {

enum class WindowTurn : std::uint8_t {
    Turned,   // the portrait screen turned a quarter counter-clockwise: landscape
    AsDevice, // the screen as the device shows it: portrait
};

struct WindowView {
    ScreenSize screen;
    WindowTurn turn = WindowTurn::Turned;
    int windowWidth = 0;
    int windowHeight = 0;
};

struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The window size that shows the screen at `scale` window pixels per screen pixel.
ScreenSize windowSizeFor(ScreenSize screen, WindowTurn turn, int scale);

// Where the picture lies in the window: the largest rectangle of the turned
// screen's shape that fits, centred. Empty for an empty window.
PictureRect pictureRect(const WindowView& view);

// The screen pixel under window pixel (x, y); false outside the picture.
bool windowToScreen(const WindowView& view, int x, int y, int& screenX, int& screenY);

// Draws `screen` (RGB565, rows top-down, no padding) into `window` (32-bit
// 0x00RRGGBB pixels, `pitch` pixels per row, of the view's window size):
// the picture with the nearest screen pixel, black around it.
void renderWindow(const WindowView& view, const std::uint16_t* screen, std::uint32_t* window, int pitch);

// The screen as the view shows it at one picture pixel per screen pixel:
// `screen` (RGB565, rows top-down, `size`) turned as `turn` says, in a
// picture of `windowSizeFor(size, turn, 1)`. Pictures written for a person
// to look at are made this way, so they show what the window shows.
std::vector<std::uint16_t> turnedPicture(std::span<const std::uint16_t> screen, ScreenSize size,
                                         WindowTurn turn);

// An RGB565 pixel as 0x00RRGGBB, each channel widened by repeating its top bits.
std::uint32_t rgb565ToRgb888(std::uint16_t pixel);

} // namespace host
