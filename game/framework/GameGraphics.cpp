#include "game/framework/GameGraphics.h"

#include "classlib/lang/System.h"
#include "game/framework/Anchors.h"
#include "game/framework/DrawingTap.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"
#include "runtime/javamath.h"

#include <algorithm>
#include <climits>
#include <span>

namespace game {

namespace {

using platform::javax_microedition_lcdui_Graphics;
using platform::javax_microedition_lcdui_Image;

bool screenScaling() {
    return config().s_scaledGraphics && graphicsStatics().s_screenScaled;
}

bool virtualScreen() {
    return config().s_virtualScreen && graphicsStatics().s_virtualScreenActive;
}

// A ratio of 0 would divide by zero: such a ratio leaves the value as it is.
std::int32_t scaleBy(std::int32_t value, std::int32_t shift, std::int32_t numerator,
                     std::int32_t denominator) {
    if (graphicsStatics().s_scaleByShift)
        return rt::ishl(value, shift);
    if (denominator == 0)
        return value;
    return static_cast<std::int32_t>(rt::lmul(value, numerator) / denominator);
}

bool graphicsPresent(const javax_microedition_lcdui_Graphics* g) {
    if (g)
        return true;
    rt::reportNullPointer();
    return false;
}

// One value of the clip: the virtual screen's while it is on, else the Graphics'.
std::int32_t clipValue(const javax_microedition_lcdui_Graphics* g,
                       std::int32_t GraphicsStatics::*virtualValue,
                       std::int32_t (javax_microedition_lcdui_Graphics::*graphicsValue)() const) {
    if (virtualScreen())
        return graphicsStatics().*virtualValue;
    return graphicsPresent(g) ? (g->*graphicsValue)() : 0;
}

} // namespace

GraphicsStatics& graphicsStatics() {
    return rt::getStaticClass().statics<GraphicsStatics>();
}

std::int32_t screenScaleX(std::int32_t x) {
    if (!screenScaling())
        return x;
    const GraphicsStatics& statics = graphicsStatics();
    return scaleBy(x, statics.s_scaleShiftX, statics.s_scaleNumeratorX, statics.s_scaleDenominatorX);
}

std::int32_t screenScaleY(std::int32_t y) {
    if (!screenScaling())
        return y;
    const GraphicsStatics& statics = graphicsStatics();
    return scaleBy(y, statics.s_scaleShiftY, statics.s_scaleNumeratorY, statics.s_scaleDenominatorY);
}

void setClip(javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w,
             std::int32_t h) {
    x = screenScaleX(x);
    y = screenScaleY(y);
    w = screenScaleX(w);
    h = screenScaleY(h);
    if (virtualScreen()) {
        GraphicsStatics& statics = graphicsStatics();
        statics.s_virtualClipX = x;
        statics.s_virtualClipY = y;
        statics.s_virtualClipWidth = w;
        statics.s_virtualClipHeight = h;
        return;
    }
    if (!graphicsPresent(g))
        return;
    g->setClip(x, y, w, h);
    if (config().s_clipSwitch)
        g->clipRect(x, y, w, h);
}

void clipRect(javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w,
              std::int32_t h) {
    if (virtualScreen()) {
        GraphicsStatics& statics = graphicsStatics();
        const std::int64_t left = std::max<std::int64_t>(statics.s_virtualClipX, x);
        const std::int64_t top = std::max<std::int64_t>(statics.s_virtualClipY, y);
        const std::int64_t right = std::min<std::int64_t>(static_cast<std::int64_t>(statics.s_virtualClipX) +
                                                              statics.s_virtualClipWidth,
                                                          static_cast<std::int64_t>(x) + w);
        const std::int64_t bottom = std::min<std::int64_t>(static_cast<std::int64_t>(statics.s_virtualClipY) +
                                                               statics.s_virtualClipHeight,
                                                           static_cast<std::int64_t>(y) + h);
        statics.s_virtualClipX = static_cast<std::int32_t>(left);
        statics.s_virtualClipY = static_cast<std::int32_t>(top);
        statics.s_virtualClipWidth = static_cast<std::int32_t>(std::max<std::int64_t>(right - left, 0));
        statics.s_virtualClipHeight = static_cast<std::int32_t>(std::max<std::int64_t>(bottom - top, 0));
        return;
    }
    if (graphicsPresent(g))
        g->clipRect(x, y, w, h);
}

std::int32_t getClipX(javax_microedition_lcdui_Graphics* g) {
    return clipValue(g, &GraphicsStatics::s_virtualClipX, &javax_microedition_lcdui_Graphics::getClipX);
}

std::int32_t getClipY(javax_microedition_lcdui_Graphics* g) {
    return clipValue(g, &GraphicsStatics::s_virtualClipY, &javax_microedition_lcdui_Graphics::getClipY);
}

std::int32_t getClipWidth(javax_microedition_lcdui_Graphics* g) {
    return clipValue(g, &GraphicsStatics::s_virtualClipWidth,
                     &javax_microedition_lcdui_Graphics::getClipWidth);
}

std::int32_t getClipHeight(javax_microedition_lcdui_Graphics* g) {
    return clipValue(g, &GraphicsStatics::s_virtualClipHeight,
                     &javax_microedition_lcdui_Graphics::getClipHeight);
}

std::int32_t fixTextAnchor(std::int32_t anchor) {
    if (anchor & javax_microedition_lcdui_Graphics::VCENTER)
        return (anchor & ~javax_microedition_lcdui_Graphics::VCENTER) |
               javax_microedition_lcdui_Graphics::BASELINE;
    return anchor;
}

void drawString(rt::String* text, std::int32_t x, std::int32_t y, std::int32_t anchor) {
    const ReportedDraw reported(DrawCall::DrawString, loopStatics().s_graphics, text, {x, y, anchor});
    javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (graphicsPresent(g))
        g->drawString(text, screenScaleX(x), screenScaleY(y), fixTextAnchor(anchor));
}

void setColorRGB(std::int32_t red, std::int32_t green, std::int32_t blue) {
    javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (graphicsPresent(g))
        g->setColor(rt::ishl(red, 16) | rt::ishl(green, 8) | blue);
}

javax_microedition_lcdui_Image* createRGBImage(rt::IntArray* rgb, std::int32_t width, std::int32_t height,
                                               bool processAlpha) {
    return javax_microedition_lcdui_Image::createRGBImage(rgb, width, height,
                                                          processAlpha || config().s_rgbImageAlpha);
}

void drawRGBClipped(javax_microedition_lcdui_Graphics* g, rt::IntArray* rgb, std::int32_t offset,
                    std::int32_t scanLength, std::int32_t x, std::int32_t y, std::int32_t width,
                    std::int32_t height, bool processAlpha) {
    const ReportedDraw reported(DrawCall::DrawRGB, g, rgb,
                                {offset, scanLength, x, y, width, height, processAlpha ? 1 : 0});
    if (!graphicsPresent(g))
        return;
    // With the translate switch the cut is made in screen positions and the
    // pixels drawn with the translation set aside.
    const bool untranslated = config().s_rgbClipSwitch != 0;
    const std::int32_t dx = untranslated ? g->getTranslateX() : 0;
    const std::int32_t dy = untranslated ? g->getTranslateY() : 0;
    std::int64_t clipLeft = 0, clipTop = 0;
    std::int64_t clipRight = config().s_gameScreenWidth, clipBottom = config().s_gameScreenHeight;
    if (virtualScreen()) {
        const GraphicsStatics& statics = graphicsStatics();
        clipLeft = statics.s_virtualClipX;
        clipTop = statics.s_virtualClipY;
        clipRight = clipLeft + statics.s_virtualClipWidth;
        clipBottom = clipTop + statics.s_virtualClipHeight;
    }
    // The cut in 64 bits; the source offset moves by the columns and rows cut.
    std::int64_t left = static_cast<std::int64_t>(x) + dx, top = static_cast<std::int64_t>(y) + dy;
    std::int64_t source = offset;
    const std::int64_t right = std::min<std::int64_t>(left + width, clipRight);
    const std::int64_t bottom = std::min<std::int64_t>(top + height, clipBottom);
    if (left < clipLeft) {
        source += clipLeft - left;
        left = clipLeft;
    }
    if (top < clipTop) {
        source += (clipTop - top) * scanLength;
        top = clipTop;
    }
    if (right <= left || bottom <= top)
        return;
    if (source < INT_MIN || source > INT_MAX) {
        rt::checkRange(rt::IndexKind::Array, source, 1, rgb ? rgb->length() : 0);
        return;
    }
    g->translate(-dx, -dy);
    g->drawRGB(rgb, static_cast<std::int32_t>(source), scanLength, static_cast<std::int32_t>(left),
               static_cast<std::int32_t>(top), static_cast<std::int32_t>(right - left),
               static_cast<std::int32_t>(bottom - top), processAlpha);
    g->translate(dx, dy);
}

namespace {

// The tile image of `argb` at the current side: a kept one, else one made
// from the filled tile into the oldest slot.
javax_microedition_lcdui_Image* tileImage(GraphicsStatics& statics, std::int32_t argb) {
    const auto slots = static_cast<std::int32_t>(statics.s_tileImageColours.size());
    if (!statics.s_tileImages)
        statics.s_tileImages = rt::newObjectArray(slots);
    for (std::int32_t k = 0; k < slots; ++k) {
        auto* kept =
            static_cast<javax_microedition_lcdui_Image*>(rt::ObjectArray::get(statics.s_tileImages, k));
        if (kept && statics.s_tileImageColours[static_cast<std::size_t>(k)] == argb)
            return kept;
    }
    const std::int32_t side = statics.s_fillTileSide;
    javax_microedition_lcdui_Image* made =
        javax_microedition_lcdui_Image::createRGBImage(statics.s_fillTile, side, side, true);
    const std::int32_t slot = statics.s_tileImageNext;
    rt::ObjectArray::setRef(statics.s_tileImages, slot, made);
    statics.s_tileImageColours[static_cast<std::size_t>(slot)] = argb;
    statics.s_tileImageNext = (slot + 1) % slots;
    return made;
}

} // namespace

void setFillColor(std::int32_t argb) {
    GraphicsStatics& statics = graphicsStatics();
    const OrvelLibConfig& settings = config();
    const std::int32_t side = settings.s_fillTileSide;
    // A side beyond 1024 would make a tile larger than any screen (and its
    // square could overflow); such a setting, like one below 1, makes none.
    if (side <= 0 || side > 1024)
        return;
    const bool imageMode = settings.s_translucentFill != 0;
    if (statics.s_fillTile && argb == statics.s_fillColour && side == statics.s_fillTileSide &&
        (!imageMode || statics.s_fillTileImage))
        return;
    // The tile is the wrappers' own array: a buffer shared with the sprite
    // decoder would be overwritten behind the unchanged colour.
    const std::int32_t count = side * side;
    if (!statics.s_fillTile || statics.s_fillTile->length() < count)
        statics.s_fillTile = rt::newIntArray(count);
    std::span<std::int32_t> tile = rt::IntArray::span(statics.s_fillTile, 0, count);
    std::fill(tile.begin(), tile.end(), argb);
    if (side != statics.s_fillTileSide && statics.s_tileImages) {
        for (std::int32_t k = 0; k < statics.s_tileImages->length(); ++k)
            rt::ObjectArray::setRef(statics.s_tileImages, k, nullptr);
    }
    statics.s_fillColour = argb;
    statics.s_fillTileSide = side;
    statics.s_fillTileImage = imageMode ? tileImage(statics, argb) : nullptr;
}

void fillRect(javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w,
              std::int32_t h) {
    const ReportedDraw reported(DrawCall::FillRect, g, nullptr, {x, y, w, h});
    if (graphicsPresent(g))
        g->fillRect(screenScaleX(x), screenScaleY(y), screenScaleX(w), screenScaleY(h));
}

void fillRectAlpha(javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w,
                   std::int32_t h) {
    const ReportedDraw reported(DrawCall::FillRectAlpha, g, nullptr, {x, y, w, h});
    if (!graphicsPresent(g))
        return;
    const GraphicsStatics& statics = graphicsStatics();
    const std::int32_t side = statics.s_fillTileSide;
    const bool imageMode = config().s_translucentFill != 0;
    if (!statics.s_fillTile || side <= 0 || (imageMode && !statics.s_fillTileImage))
        return;
    const std::int32_t clipX = getClipX(g);
    const std::int32_t clipY = getClipY(g);
    const std::int32_t clipW = getClipWidth(g);
    const std::int32_t clipH = getClipHeight(g);
    // The cut in 64 bits: a rectangle near the edges of int must not wrap
    // into the clip.
    const std::int64_t left = std::max<std::int64_t>(x, clipX);
    const std::int64_t top = std::max<std::int64_t>(y, clipY);
    const std::int64_t right =
        std::min<std::int64_t>(static_cast<std::int64_t>(x) + w, static_cast<std::int64_t>(clipX) + clipW);
    const std::int64_t bottom =
        std::min<std::int64_t>(static_cast<std::int64_t>(y) + h, static_cast<std::int64_t>(clipY) + clipH);
    if (right - left < 1 || bottom - top < 1)
        return;
    const auto cutX = static_cast<std::int32_t>(left);
    const auto cutY = static_cast<std::int32_t>(top);
    const auto cutW = static_cast<std::int32_t>(right - left);
    const auto cutH = static_cast<std::int32_t>(bottom - top);
    setClip(g, cutX, cutY, cutW, cutH);
    // Columns outside, rows inside; the last column and row overhang the cut
    // and the clip trims them.
    for (std::int64_t tileX = left; tileX < right; tileX += side) {
        for (std::int64_t tileY = top; tileY < bottom; tileY += side) {
            const auto at = static_cast<std::int32_t>(tileX);
            const auto row = static_cast<std::int32_t>(tileY);
            if (imageMode)
                g->drawImage(statics.s_fillTileImage, at, row, kAnchorTopLeft);
            else
                g->drawRGB(statics.s_fillTile, 0, side, at, row, side, side, true);
        }
    }
    setClip(g, clipX, clipY, clipW, clipH);
}

void arraycopy(rt::Object* src, std::int32_t srcPos, rt::Object* dst, std::int32_t dstPos,
               std::int32_t length) {
    lib::java_lang_System::arraycopy(src, srcPos, dst, dstPos, length);
}

} // namespace game
