#pragma once

// `javax_microedition_lcdui_Display`: the MIDlet's way to the screen. It has
// no state of its own: the current Displayable is `Application`'s.

#include "runtime/Object.h"

#include <cstdint>

namespace platform {

class javax_microedition_lcdui_Displayable;
class javax_microedition_midlet_MIDlet;

class javax_microedition_lcdui_Display : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_lcdui_Display;

    javax_microedition_lcdui_Display()
        : Object(kClassId) {}

    // A new Display on every call.
    static javax_microedition_lcdui_Display* getDisplay(javax_microedition_midlet_MIDlet* midlet);

    // The device cannot vibrate: false, and nothing happens.
    bool vibrate(std::int32_t duration);

    // Makes `displayable` the one the next frame paints and input reaches.
    // It is not told (no showNotify or hideNotify) and nothing is painted now.
    void setCurrent(javax_microedition_lcdui_Displayable* displayable);

    RT_NO_REFERENCE_FIELDS(javax_microedition_lcdui_Display, Object)
};

} // namespace platform
