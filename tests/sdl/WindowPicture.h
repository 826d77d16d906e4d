#pragma once

// Compares what an X window shows with the screen picture it should show.

#include "host/display/WindowView.h"
#include "tests/sdl/XDisplay.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace testing_support {

// The pixels of `window` (0x00RRGGBB, `width` x `height`, rows top first)
// that differ from `screenPixel(x, y)` (RGB565) shown through `view`; -1
// when they are not a picture of the view's size.
inline int pictureMismatches(const std::vector<std::uint32_t>& window, int width, int height,
                             const host::WindowView& view,
                             const std::function<std::uint16_t(int, int)>& screenPixel) {
    if (width != view.windowWidth || height != view.windowHeight || window.empty())
        return -1;
    int mismatches = 0;
    for (int wy = 0; wy < height; ++wy) {
        for (int wx = 0; wx < width; ++wx) {
            int sx = 0;
            int sy = 0;
            host::windowToScreen(view, wx, wy, sx, sy);
            if (window[static_cast<std::size_t>(wy * width + wx)] !=
                host::rgb565ToRgb888(screenPixel(sx, sy)))
                ++mismatches;
        }
    }
    return mismatches;
}

// As above, for the picture `window` shows now.
inline int pictureMismatches(XDisplay& x, unsigned long window, const host::WindowView& view,
                             const std::function<std::uint16_t(int, int)>& screenPixel) {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels = x.capture(window, width, height);
    return pictureMismatches(pixels, width, height, view, screenPixel);
}

} // namespace testing_support
