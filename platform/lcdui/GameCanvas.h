#pragma once

// `javax_microedition_lcdui_game_GameCanvas`: a Canvas with an off-screen
// Image of its own size that the game draws into and flushes onto the screen
// Image. Flushed pixels reach the display with the next presented frame.

#include "platform/lcdui/Canvas.h"
#include "platform/lcdui/Image.h"

namespace platform {

class javax_microedition_lcdui_game_GameCanvas : public javax_microedition_lcdui_Canvas {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_lcdui_game_GameCanvas;

    // Makes the off-screen Image of getWidth() x getHeight() (black).
    explicit javax_microedition_lcdui_game_GameCanvas(rt::ClassId classId = kClassId);

    // Copies the off-screen Image onto the screen through the screen
    // Graphics, clipped to the rectangle; the Graphics' clip is as it was
    // afterwards. Nothing happens before the screen exists.
    void flushGraphics(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    // The whole canvas.
    void flushGraphics();

    javax_microedition_lcdui_Image* offscreen() const { return m_offscreen; }

    RT_REFERENCE_FIELDS(javax_microedition_lcdui_game_GameCanvas, javax_microedition_lcdui_Canvas,
                        m_offscreen)

private:
    javax_microedition_lcdui_Image* m_offscreen = nullptr;
};

} // namespace platform
