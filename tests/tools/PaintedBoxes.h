#pragma once

// Where a painted frame's pixels lie, from the frame's origin, for the tests
// that hold the demo set's art to the places the game draws it.

#include "tools/datakit/PaintedSprite.h"

#include <algorithm>

namespace tools_testing {

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -(1 << 20), bottom = -(1 << 20); // right, bottom exclusive
};

// The bounds of the opaque pixels of `frame`, or with `Pixels::All` of its
// images whole (the frame's size as the game measures it).
enum class Pixels { Opaque, All };
inline Box boxOf(const datakit::PaintedFrame& frame, Pixels pixels = Pixels::Opaque) {
    Box box;
    for (const datakit::PaintedImage& image : frame.images)
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (pixels == Pixels::All ||
                    image.indexes[static_cast<std::size_t>(y * image.width + x)] != 0) {
                    box.left = std::min(box.left, image.x + x);
                    box.top = std::min(box.top, image.y + y);
                    box.right = std::max(box.right, image.x + x + 1);
                    box.bottom = std::max(box.bottom, image.y + y + 1);
                }
    return box;
}

} // namespace tools_testing
