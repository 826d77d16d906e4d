#pragma once

// `javax_microedition_lcdui_Canvas`: a Displayable that the game draws
// itself. Its size is the screen Image's; `serviceRepaints` paints one frame
// at once, on the calling (game) thread.

#include "platform/lcdui/Displayable.h"

namespace platform {

class javax_microedition_lcdui_Canvas : public javax_microedition_lcdui_Displayable {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_lcdui_Canvas;

    explicit javax_microedition_lcdui_Canvas(rt::ClassId classId = kClassId)
        : javax_microedition_lcdui_Displayable(classId) {}

    // The screen Image's width and height (480 x 640); 0 before the screen exists.
    std::int32_t getWidth() override;
    std::int32_t getHeight() override;

    // Paints the current Displayable and shows the frame, when the window is
    // active, not held for a wrong orientation and in the foreground;
    // otherwise the frame is dropped. Returns when the frame is shown.
    void serviceRepaints();

    RT_NO_REFERENCE_FIELDS(javax_microedition_lcdui_Canvas, javax_microedition_lcdui_Displayable)
};

} // namespace platform
