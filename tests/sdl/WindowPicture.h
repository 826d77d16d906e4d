#pragma once

// Compares what an X window shows with the screen picture it should show.

#include "host/display/WindowView.h"
#include "tests/sdl/XDisplay.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace testing_support {

// The window pixels that differ from `screenPixel(x, y)` (RGB565) shown
// through `view`; -1 when the window's picture cannot be read at the view's size.
inline int pictureMismatches(XDisplay& x, unsigned long window, const host::WindowView& view,
                             const std::function<std::uint16_t(int, int)>& screenPixel) {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels = x.capture(window, width, height);
    if (width != view.windowWidth || height != view.windowHeight || pixels.empty())
        return -1;
    int mismatches = 0;
    for (int wy = 0; wy < height; ++wy) {
        for (int wx = 0; wx < width; ++wx) {
            int sx = 0;
            int sy = 0;
            host::windowToScreen(view, wx, wy, sx, sy);
            if (pixels[static_cast<std::size_t>(wy * width + wx)] !=
                host::rgb565ToRgb888(screenPixel(sx, sy)))
                ++mismatches;
        }
    }
    return mismatches;
}

} // namespace testing_support
