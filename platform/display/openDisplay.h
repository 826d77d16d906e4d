#pragma once

// Opening the display back-end by its type name, the runtime host's first
// step after the window exists.

#include "platform/display/DisplayDriver.h"

#include <memory>
#include <string_view>

namespace host {
class Host;
class Window;
} // namespace host

namespace platform {

// `displayType` is "GDI", "DDRAW" or "AUTO" (DirectDraw, else GDI), compared
// with case. Creates the back-end for the host's screen size and the logical
// 480 x 640 surface, stores it in `display` and opens it on `window`; logs
// which back-end is used or why none is. Answers 1 when a back-end is open,
// else 0. A back-end whose open failed stays in `display`, closed; an unknown
// type leaves `display` empty.
int openDisplay(std::u16string_view displayType, host::Host& host, host::Window* window,
                std::unique_ptr<DisplayDriver>& display);

} // namespace platform
