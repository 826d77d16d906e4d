#pragma once

// `javax_microedition_lcdui_Displayable`: something the display can show. The
// platform knows one kind, the game's canvas; the current Displayable is held
// by `Application` and fed by the window thread (keys, stylus, focus) and
// painted by the game thread, without a lock between the two.

#include "runtime/Object.h"

#include <cstdint>

namespace platform {

class javax_microedition_lcdui_Graphics;

class javax_microedition_lcdui_Displayable : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_lcdui_Displayable;

    explicit javax_microedition_lcdui_Displayable(rt::ClassId classId = kClassId)
        : Object(classId) {}

    // The operations the platform calls, in this order after `Object`'s. Each
    // does nothing here; the game's canvas gives them.
    virtual std::int32_t getWidth() { return 0; }
    virtual std::int32_t getHeight() { return 0; }
    virtual void sizeChanged(std::int32_t, std::int32_t) {}
    // A MIDP key code (mapVirtualKey).
    virtual void keyPressed(std::int32_t) {}
    virtual void keyReleased(std::int32_t) {}
    // Positions on the logical 480 x 640 screen.
    virtual void pointerPressed(std::int32_t, std::int32_t) {}
    virtual void pointerReleased(std::int32_t, std::int32_t) {}
    virtual void pointerDragged(std::int32_t, std::int32_t) {}
    virtual void showNotify() {}
    virtual void hideNotify() {}
    // Draws the Displayable with the screen Graphics, reset to no
    // translation, the whole screen as clip and the colour white.
    virtual void paint(javax_microedition_lcdui_Graphics*) {}

    RT_NO_REFERENCE_FIELDS(javax_microedition_lcdui_Displayable, Object)
};

} // namespace platform
