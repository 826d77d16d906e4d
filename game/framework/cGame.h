#pragma once

// `cGame`: the game's canvas and its frame. The canvas slots hand keys to
// the key tables and paints to the library's loop; `frameStep` runs one
// frame of the state machine into the game's 640 x 480 screen buffer and
// copies the buffer to the screen, turned by a quarter unless the
// orientation property says otherwise. Everything else the game does lives
// in its own area; the frame reaches it through the registries of Seams.h.

#include "game/framework/OrvelLib.h"

namespace game {

class cGame final : public OrvelLib {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::cGame;

    cGame()
        : OrvelLib(kClassId) {}

    void sizeChanged(std::int32_t width, std::int32_t height) override;
    void keyPressed(std::int32_t keyCode) override;
    void keyReleased(std::int32_t keyCode) override;
    // The stylus (window thread), on the logical screen; stored turned into
    // the game's space (Touch.h).
    void pointerPressed(std::int32_t x, std::int32_t y) override;
    void pointerDragged(std::int32_t x, std::int32_t y) override;
    void pointerReleased(std::int32_t x, std::int32_t y) override;
    void showNotify() override { gameShowNotify(); }
    void hideNotify() override { gameHideNotify(); }
    void paint(platform::javax_microedition_lcdui_Graphics* graphics) override { paintFrame(graphics); }

    // The frame under a catch: an Exception is printed and the frame ends;
    // any other throwable stays pending for the paint.
    void gameUpdate(platform::javax_microedition_lcdui_Graphics* graphics) override;
    // The game's pause and resume: the state hears message 5 or 4, music
    // stops or starts again, then the library's half runs.
    void gameHideNotify() override;
    void gameShowNotify() override;

    // One frame of the state machine (see the order in cGame.cpp).
    static void frameStep();
    // Draws `buffer` to `graphics`: as it is, or turned a quarter clockwise
    // in 8 x 8 tiles when the screen is rotated.
    static void blitScreenBuffer(platform::javax_microedition_lcdui_Graphics* graphics,
                                 platform::javax_microedition_lcdui_Image* buffer);

    RT_NO_REFERENCE_FIELDS(cGame, OrvelLib)
};

} // namespace game
