#include "game/sprite/Drawing.h"

#include "game/framework/DrawingTap.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/checks.h"

namespace game {

namespace {

using platform::javax_microedition_lcdui_Graphics;
using platform::javax_microedition_lcdui_Image;

} // namespace

void drawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const ReportedDraw reported(DrawCall::DrawLine, loopStatics().s_graphics, nullptr, {x1, y1, x2, y2});
    javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (presentOrReported(g))
        g->drawLine(screenScaleX(x1), screenScaleY(y1), screenScaleX(x2), screenScaleY(y2));
}

void drawRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    drawRect(loopStatics().s_graphics, x, y, w, h);
}

void drawRect(javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w,
              std::int32_t h) {
    const ReportedDraw reported(DrawCall::DrawRect, g, nullptr, {x, y, w, h});
    if (presentOrReported(g))
        g->drawRect(screenScaleX(x), screenScaleY(y), screenScaleX(w), screenScaleY(h));
}

void drawRegion(javax_microedition_lcdui_Image* image, std::int32_t sx, std::int32_t sy, std::int32_t w,
                std::int32_t h, std::int32_t transform, std::int32_t x, std::int32_t y, std::int32_t anchor) {
    const ReportedDraw reported(DrawCall::DrawRegion, loopStatics().s_graphics, image,
                                {sx, sy, w, h, transform, x, y, anchor});
    javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (!presentOrReported(image) || !presentOrReported(g))
        return;
    // The cut in 64 bits, so that a region near the ends of int cannot wrap
    // back inside the image.
    std::int64_t left = sx, top = sy, width = w, height = h;
    if (left < 0) {
        width += left;
        left = 0;
    }
    if (left + width >= image->getWidth())
        width = image->getWidth() - left;
    if (top < 0) {
        height += top;
        top = 0;
    }
    if (top + height >= image->getHeight())
        height = image->getHeight() - top;
    if (width < 1 || height < 1)
        return;
    g->drawRegion(image, static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                  static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), transform, x, y,
                  anchor);
}

void drawImage(javax_microedition_lcdui_Graphics* g, javax_microedition_lcdui_Image* image, std::int32_t x,
               std::int32_t y, std::int32_t anchor) {
    const ReportedDraw reported(DrawCall::DrawImage, g, image, {x, y, anchor});
    if (presentOrReported(g))
        g->drawImage(image, x, y, anchor);
}

void getRGB(javax_microedition_lcdui_Image* image, rt::IntArray* argb, std::int32_t offset,
            std::int32_t scanLength, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    if (presentOrReported(image))
        image->getRGB(argb, offset, scanLength, x, y, w, h);
}

javax_microedition_lcdui_Image* createImage(rt::ByteArray* bytes, std::int32_t offset, std::int32_t length) {
    return javax_microedition_lcdui_Image::createImage(bytes, offset, length);
}

} // namespace game
