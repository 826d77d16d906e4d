#pragma once

// The game's drawing wrappers that the sprite engine and the screens call
// instead of the Graphics: lines and rectangle outlines, image regions cut
// to their image, images, and the image reads and makes. The translucent
// fill, the opaque fill and the clip live one layer down
// (game/framework/GameGraphics.h) and serve these callers as they are.
//
// Wrappers without a Graphics argument draw on the frame's Graphics
// (`loopStatics().s_graphics`). A null Graphics or image is reported as a
// null access and the call draws nothing. Threads: the game thread only.

#include "runtime/Array.h"
#include "runtime/checks.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
class javax_microedition_lcdui_Image;
} // namespace platform

namespace game {

// Whether `object` is there; a null one is reported as a null access.
template <class T>
bool presentOrReported(const T* object) {
    if (object)
        return true;
    rt::reportNullPointer();
    return false;
}

// drawLine on the frame's Graphics; both end points are drawn.
void drawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
// The outline of (w + 1) x (h + 1) pixels, on the frame's Graphics or on `g`.
void drawRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
void drawRect(platform::javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w,
              std::int32_t h);
// Draws the region (sx, sy, w, h) of `image` under the MIDP `transform` on
// the frame's Graphics, the region first cut to the image: a part left of
// or above the image is dropped without moving (x, y), so the first visible
// column or row lands at the anchor point. An empty cut draws nothing.
void drawRegion(platform::javax_microedition_lcdui_Image* image, std::int32_t sx, std::int32_t sy,
                std::int32_t w, std::int32_t h, std::int32_t transform, std::int32_t x, std::int32_t y,
                std::int32_t anchor);
void drawImage(platform::javax_microedition_lcdui_Graphics* g,
               platform::javax_microedition_lcdui_Image* image, std::int32_t x, std::int32_t y,
               std::int32_t anchor);
// The image's pixels as 0xAARRGGBB, as `Image::getRGB` reads them.
void getRGB(platform::javax_microedition_lcdui_Image* image, rt::IntArray* argb, std::int32_t offset,
            std::int32_t scanLength, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
// The image decoded from `length` bytes of PNG data at `offset`; null when
// they are no image.
platform::javax_microedition_lcdui_Image* createImage(rt::ByteArray* bytes, std::int32_t offset,
                                                      std::int32_t length);

} // namespace game
