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

// Row `row` of a rectangle in `array`: `count` entries from offset + row * scan,
// computed in 64 bits. Empty after a reported null array or bad range.
std::span<std::int32_t> rectRow(rt::IntArray* array, std::int32_t offset, std::int32_t scan, std::int32_t row,
                                std::int32_t count) {
    const std::int64_t begin = static_cast<std::int64_t>(offset) + static_cast<std::int64_t>(row) * scan;
    if (array && (begin < INT_MIN || begin > INT_MAX)) {
        rt::checkRange(rt::IndexKind::Array, begin, count, array->length());
        return {};
    }
    return rt::IntArray::span(array, static_cast<std::int32_t>(begin), count);
}

template <class ChannelOp>
void blendRect(rt::IntArray* src, std::int32_t srcOffset, std::int32_t srcScan, rt::IntArray* dst,
               std::int32_t dstOffset, std::int32_t dstScan, std::int32_t width, std::int32_t height,
               ChannelOp channel) {
    if (width <= 0)
        return;
    for (std::int32_t row = 0; row < height; ++row) {
        std::span<std::int32_t> from = rectRow(src, srcOffset, srcScan, row, width);
        std::span<std::int32_t> to = rectRow(dst, dstOffset, dstScan, row, width);
        if (from.empty() || to.empty())
            return;
        for (std::size_t i = 0; i < to.size(); ++i) {
            const auto s = static_cast<std::uint32_t>(from[i]);
            const auto d = static_cast<std::uint32_t>(to[i]);
            std::uint32_t out = 0;
            for (std::uint32_t shift = 0; shift < 32; shift += 8) {
                const std::uint32_t value = channel((s >> shift) & 255u, (d >> shift) & 255u);
                out |= std::min(value, 255u) << shift;
            }
            to[i] = static_cast<std::int32_t>(out);
        }
    }
}

std::int8_t effectSwitch(std::int32_t n) {
    const OrvelLibConfig& settings = config();
    switch (n) {
    case 0:
        return settings.s_renderEffect0;
    case 1:
        return settings.s_renderEffect1;
    case 7:
        return settings.s_renderGrey;
    case 8:
        return settings.s_renderShine;
    case 9:
        return settings.s_renderEffect9;
    case 10:
        return settings.s_renderAlpha;
    case 11:
        return settings.s_renderScale;
    default:
        return 0;
    }
}

struct ParamValue {
    std::int32_t index;
    std::int32_t value;
};

void writeParams(std::int32_t n, std::initializer_list<ParamValue> values) {
    rt::IntArray* params = renderParams(n);
    for (const ParamValue& entry : values)
        rt::IntArray::set(params, entry.index, entry.value);
}

} // namespace

GraphicsStatics& graphicsStatics() {
    return rt::getStaticClass().statics<GraphicsStatics>();
}

void initGameGraphics() {
    GraphicsStatics& statics = graphicsStatics();
    statics.s_renderParams = rt::newObjectArray(kRenderEffectCount);
    for (std::int32_t n = 0; n < kRenderEffectCount; ++n)
        rt::ObjectArray::setRef(statics.s_renderParams, n, rt::newIntArray(kRenderParamCount));
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

bool needsAlphaPath(bool flag) {
    return virtualScreen() || flag;
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

void blendAdd(rt::IntArray* src, std::int32_t srcOffset, std::int32_t srcScan, rt::IntArray* dst,
              std::int32_t dstOffset, std::int32_t dstScan, std::int32_t width, std::int32_t height) {
    blendRect(src, srcOffset, srcScan, dst, dstOffset, dstScan, width, height,
              [](std::uint32_t s, std::uint32_t d) { return s + d; });
}

void blendModulate(rt::IntArray* src, std::int32_t srcOffset, std::int32_t srcScan, rt::IntArray* dst,
                   std::int32_t dstOffset, std::int32_t dstScan, std::int32_t width, std::int32_t height) {
    blendRect(src, srcOffset, srcScan, dst, dstOffset, dstScan, width, height,
              [](std::uint32_t s, std::uint32_t d) { return d + ((s * d) >> 6); });
}

std::int32_t greyFromRed(std::int32_t rgb) {
    const auto value = static_cast<std::uint32_t>(rgb);
    const std::uint32_t red = (value >> 16) & 255u;
    return static_cast<std::int32_t>((value & 0xFFFF0000u) | (red << 8) | red);
}

void arraycopy(rt::Object* src, std::int32_t srcPos, rt::Object* dst, std::int32_t dstPos,
               std::int32_t length) {
    lib::java_lang_System::arraycopy(src, srcPos, dst, dstPos, length);
}

void setRenderFlag(std::int32_t n, bool apply) {
    GraphicsStatics& statics = graphicsStatics();
    statics.s_renderFlags |= rt::ishl(1, n);
    if (!config().s_renderEffects && !virtualScreen())
        statics.s_renderFlags &= ~kSwitchedEffectBits;
    if (n >= 0 && n <= 4)
        statics.s_pendingFlags |= rt::ishl(1, n);
    if (apply)
        applyRenderEffect(n);
}

void applyRenderEffect(std::int32_t n) {
    if (!effectSwitch(n))
        return;
    const std::int32_t s = config().s_fixedShift;
    switch (n) {
    case 0:
        writeParams(n, {{4, 250}});
        break;
    case 1:
        writeParams(n, {{3, 250}});
        break;
    case 7:
        writeParams(n, {{0, -1}, {1, -1}, {2, 0}});
        break;
    case 8:
        writeParams(n, {{0, -1}, {1, 0}, {2, 40}, {3, 0xFFFFFF}, {4, 0}, {5, 8}});
        break;
    case 9:
        writeParams(n, {{0, 172},
                        {1, 104},
                        {2, 2},
                        {3, 0},
                        {4, 0},
                        {5, 0},
                        {6, rt::ishl(1, s)},
                        {7, rt::ishl(2, s)},
                        {8, 4},
                        {9, 4},
                        {10, 16},
                        {11, 112},
                        {12, 64},
                        {13, 72},
                        {14, 3}});
        break;
    case 10:
        writeParams(n, {{0, -1}, {1, 255}});
        break;
    case 11:
        writeParams(n, {{0, -1}, {1, 100}, {2, -1}});
        break;
    default:
        break;
    }
}

bool hasRenderFlag(std::int32_t n) {
    return (graphicsStatics().s_renderFlags & rt::ishl(1, n)) != 0;
}

void setPendingFlag(std::int32_t n) {
    graphicsStatics().s_pendingFlags |= rt::ishl(1, n);
}

bool hasPendingEffects() {
    const GraphicsStatics& statics = graphicsStatics();
    return statics.s_pendingFlags != 0 || statics.s_pendingFlagsB != 0;
}

rt::IntArray* renderParams(std::int32_t n) {
    return static_cast<rt::IntArray*>(rt::ObjectArray::get(graphicsStatics().s_renderParams, n));
}

} // namespace game
