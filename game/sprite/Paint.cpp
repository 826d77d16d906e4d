#include "game/sprite/Paint.h"

#include "game/framework/DrawingTap.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Drawing.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TransformBlit.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"
#include "runtime/javamath.h"

#include <algorithm>
#include <array>
#include <climits>

namespace game {

namespace {

using platform::javax_microedition_lcdui_Graphics;
using platform::javax_microedition_lcdui_Image;

using paint_flags::kMirrorX;
using paint_flags::kMirrorY;
using paint_flags::kTurn;

std::int32_t param(const ASprite* sprite, std::int32_t index) {
    return rt::ShortArray::get(sprite->m_moduleParams, index);
}

// A primitive module on `g`, its drawn size w x h.
void paintPrimitive(ASprite* sprite, javax_microedition_lcdui_Graphics* g, std::int32_t module,
                    std::int32_t type, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    std::int32_t flags) {
    const std::int32_t colour = sprite->getModuleColour(module);
    g->setColor(colour);
    switch (static_cast<ModuleType>(type)) {
    case ModuleType::Rect:
        // On the target: a frame painted into an image keeps its outlines.
        drawRect(g, x, y, w - 1, h - 1);
        return;
    case ModuleType::FillRect: {
        const std::uint32_t alpha = static_cast<std::uint32_t>(colour) >> 24;
        if (alpha == 0 || alpha == 255) {
            fillRect(g, x, y, w, h);
        } else {
            setFillColor(colour);
            fillRectAlpha(g, x, y, w, h);
        }
        return;
    }
    case ModuleType::Arc:
    case ModuleType::FillArc: {
        const std::int32_t i = sprite->getModuleParamStart(module);
        if (i == -1)
            return;
        std::int32_t start = param(sprite, i);
        std::int32_t arc = param(sprite, i + 1);
        if (flags & kMirrorX)
            start = 90 - start;
        if (flags & kMirrorY) {
            arc = -arc;
            start = -start;
        }
        if (flags & kTurn)
            start -= 90;
        if (type == static_cast<std::int32_t>(ModuleType::Arc))
            g->drawArc(x, y, w, h, start, arc);
        else
            g->fillArc(x, y, w, h, start, arc);
        return;
    }
    case ModuleType::Triangle:
    case ModuleType::FillTriangle: {
        const std::int32_t i = sprite->getModuleParamStart(module);
        if (i == -1)
            return;
        const std::int32_t qx = x + param(sprite, i), qy = y + param(sprite, i + 1);
        const std::int32_t rx = x + param(sprite, i + 2), ry = y + param(sprite, i + 3);
        if (type == static_cast<std::int32_t>(ModuleType::FillTriangle)) {
            g->fillTriangle(x, y, qx, qy, rx, ry);
        } else {
            g->drawLine(x, y, qx, qy);
            g->drawLine(qx, qy, rx, ry);
            g->drawLine(x, y, rx, ry);
        }
        return;
    }
    default:
        return; // the blank module and unknown types draw nothing
    }
}

bool outsideClip(const javax_microedition_lcdui_Graphics* g, std::int64_t x, std::int64_t y, std::int64_t w,
                 std::int64_t h) {
    const std::int64_t cx = g->getClipX(), cy = g->getClipY();
    return x + w < cx || y + h < cy || x >= cx + g->getClipWidth() || y >= cy + g->getClipHeight();
}

// Java's Math.abs: the most negative int stays itself.
std::int32_t javaAbs(std::int32_t value) {
    return value < 0 ? rt::isub(0, value) : value;
}

// The rectangle (x, y, width, height) that frame `frame` covers drawn at
// (x, y) with `flags`, for the drawing tap: measured as `getFrameRect`
// measures, with the measure state put back, since the tap may ask in the
// middle of a measure of the caller's.
std::array<std::int32_t, 4> reportedFrameBox(ASprite* sprite, std::int32_t frame, std::int32_t x,
                                             std::int32_t y, std::int32_t flags) {
    PaintStatics& s = paintStatics();
    const std::int32_t mode = spriteStatics().s_paintMode;
    const std::array<std::int32_t, 4> kept = {s.s_measureMinX, s.s_measureMinY, s.s_measureMaxX,
                                              s.s_measureMaxY};
    rt::IntArray* rect = spriteStatics().s_rect;
    if (!rect)
        return {};
    getFrameRect(sprite, rect, frame, x, y, flags);
    spriteStatics().s_paintMode = mode;
    s.s_measureMinX = kept[0];
    s.s_measureMinY = kept[1];
    s.s_measureMaxX = kept[2];
    s.s_measureMaxY = kept[3];
    const std::int32_t left = rt::IntArray::get(rect, 0);
    const std::int32_t top = rt::IntArray::get(rect, 1);
    const std::int32_t right = rt::IntArray::get(rect, 2);
    const std::int32_t bottom = rt::IntArray::get(rect, 3);
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right - left, bottom - top};
}

} // namespace

PaintStatics& paintStatics() {
    return rt::getStaticClass().statics<PaintStatics>();
}

void paintStaticInit() {
    PaintStatics& s = paintStatics();
    s.s_spanRect = rt::newIntArray(4);
    const std::int32_t rate = config().s_playerThreadPeriod;
    s.s_aframeTimeUnit = rate > 0 ? 1000 / rate : 0;
}

void paintModule(ASprite* sprite, javax_microedition_lcdui_Graphics* g, std::int32_t module, std::int32_t x,
                 std::int32_t y, std::int32_t flags) {
    const ReportedDraw reported(DrawCall::PaintModule, g, sprite, {module, x, y, flags});
    if (!presentOrReported(sprite))
        return;
    const std::int32_t w0 = sprite->getModuleWidth(module);
    const std::int32_t h0 = sprite->getModuleHeight(module);
    const bool turned = (flags & kTurn) != 0;
    const std::int32_t w = turned ? h0 : w0;
    const std::int32_t h = turned ? w0 : h0;
    const bool measuring = spriteStatics().s_paintMode == kPaintModeMeasure;
    const std::int32_t type = sprite->m_moduleTypes ? sprite->getModuleType(module) : 0;
    if (type != 0 && !measuring) {
        if (g)
            paintPrimitive(sprite, g, module, type, x, y, w, h, flags);
        return;
    }
    if (measuring) {
        PaintStatics& s = paintStatics();
        s.s_measureMinX = std::min(s.s_measureMinX, x);
        s.s_measureMinY = std::min(s.s_measureMinY, y);
        s.s_measureMaxX = std::max(s.s_measureMaxX, rt::iadd(x, w));
        s.s_measureMaxY = std::max(s.s_measureMaxY, rt::iadd(y, h));
        return;
    }
    if (w < 1 || h < 1 || (g && outsideClip(g, x, y, w, h)))
        return;
    if ((sprite->m_format & sprite_format::kHasModulePixels) == 0)
        return;
    javax_microedition_lcdui_Image* image = sprite->getModuleImage(module, sprite->m_currentPalette);
    if (!image) {
        rt::IntArray* pixels = sprite->decodeModule(module);
        if (!pixels)
            return;
        const bool alpha = sprite->m_hasTransparency != 0;
        drawRGB(g, pixels, 0, w0, x, y, w0, h0, alpha, alpha, flags);
        return;
    }
    if (!g) {
        rt::reportNullPointer();
        return;
    }
    const std::int32_t transform = rt::IntArray::get(spriteStatics().s_transformToMidp, flags & 7);
    if (transform == 0)
        g->drawImage(image, x, y, 0);
    else
        g->drawRegion(image, 0, 0, image->getWidth(), image->getHeight(), transform, x, y, 0);
}

void paintFModule(ASprite* sprite, javax_microedition_lcdui_Graphics* g, std::int32_t frame,
                  std::int32_t index, std::int32_t x, std::int32_t y, std::int32_t flags, std::int32_t,
                  std::int32_t) {
    if (!presentOrReported(sprite))
        return;
    const std::int32_t module = sprite->getFModuleModule(frame, index);
    const std::int32_t combined = sprite->getFModuleFlags(frame, index) ^ flags;
    std::int32_t w = sprite->getModuleWidth(module);
    std::int32_t h = sprite->getModuleHeight(module);
    if (combined & kTurn)
        std::swap(w, h);
    std::int32_t ox = sprite->getFModuleX(frame, index);
    std::int32_t oy = sprite->getFModuleY(frame, index);
    if (flags & kMirrorX)
        ox = -(ox + w);
    if (flags & kMirrorY)
        oy = -(oy + h);
    paintModule(sprite, g, module, rt::iadd(x, ox), rt::iadd(y, oy), combined & 15);
}

void paintFrame(ASprite* sprite, javax_microedition_lcdui_Graphics* g, std::int32_t frame, std::int32_t x,
                std::int32_t y, std::int32_t flags, std::int32_t hx, std::int32_t hy) {
    const std::array<std::int32_t, 4> box = drawingTap() && g && sprite
                                                ? reportedFrameBox(sprite, frame, x, y, flags)
                                                : std::array<std::int32_t, 4>{};
    const ReportedDraw reported(DrawCall::PaintFrame, g, sprite, {frame, x, y, flags, hx, hy}, {}, box);
    if (!presentOrReported(sprite))
        return;
    const std::int32_t count = sprite->getFModuleCount(frame);
    for (std::int32_t i = 0; i < count; ++i)
        paintFModule(sprite, g, frame, i, x, y, flags, hx, hy);
}

void paintAFrame(ASprite* sprite, javax_microedition_lcdui_Graphics* g, std::int32_t anim,
                 std::int32_t aframe, std::int32_t x, std::int32_t y, std::int32_t flags, std::int32_t hx,
                 std::int32_t hy) {
    const ReportedDraw reported(DrawCall::PaintAFrame, g, sprite, {anim, aframe, x, y, flags, hx, hy});
    if (!presentOrReported(sprite))
        return;
    const std::int32_t record = rt::ShortArray::get(sprite->m_animFirstFrame, anim) + aframe;
    const std::int32_t frame = sprite->getAFrameFrame(anim, aframe);
    const std::int32_t ax = sprite->getAFrameOffsetX(record);
    const std::int32_t ay = sprite->getAFrameOffsetY(record);
    const std::int32_t spotX = (flags & kMirrorX) ? ax + hx : hx - ax;
    const std::int32_t spotY = (flags & kMirrorY) ? ay + hy : hy - ay;
    const std::int32_t combined = (sprite->getAFrameFlags(anim, aframe) & 15) ^ flags;
    paintFrame(sprite, g, frame, rt::isub(x, spotX), rt::isub(y, spotY), combined, spotX, spotY);
}

void getFrameRect(ASprite* sprite, rt::IntArray* rect, std::int32_t frame, std::int32_t x, std::int32_t y,
                  std::int32_t flags) {
    PaintStatics& s = paintStatics();
    spriteStatics().s_paintMode = kPaintModeMeasure;
    s.s_measureMinX = s.s_measureMinY = INT_MAX;
    s.s_measureMaxX = s.s_measureMaxY = INT_MIN;
    paintFrame(sprite, nullptr, frame, x, y, flags, 0, 0);
    spriteStatics().s_paintMode = kPaintModeDraw;
    rt::IntArray::set(rect, 0, s.s_measureMinX);
    rt::IntArray::set(rect, 1, s.s_measureMinY);
    rt::IntArray::set(rect, 2, s.s_measureMaxX);
    rt::IntArray::set(rect, 3, s.s_measureMaxY);
}

std::int32_t getFrameWidth(ASprite* sprite, std::int32_t frame) {
    rt::IntArray* rect = spriteStatics().s_rect;
    getFrameRect(sprite, rect, frame, 0, 0, 0);
    return rt::isub(rt::IntArray::get(rect, 2), rt::IntArray::get(rect, 0));
}

std::int32_t getFrameHeight(ASprite* sprite, std::int32_t frame) {
    rt::IntArray* rect = spriteStatics().s_rect;
    getFrameRect(sprite, rect, frame, 0, 0, 0);
    return rt::isub(rt::IntArray::get(rect, 3), rt::IntArray::get(rect, 1));
}

std::int32_t paintFrameAligned(ASprite* sprite, std::int32_t base, std::int32_t offset, std::int32_t x,
                               std::int32_t y) {
    const std::int32_t frame = rt::iadd(base, offset);
    paintFrame(sprite, loopStatics().s_graphics, frame, x, y, 0, 0, 0);
    rt::IntArray* rect = paintStatics().s_spanRect;
    getFrameRect(sprite, rect, frame, 0, 0, 0);
    return rt::iadd(javaAbs(rt::IntArray::get(rect, 0)), javaAbs(rt::IntArray::get(rect, 2)));
}

bool paintAFrameByRatio(ASprite* sprite, std::int32_t anim, std::int32_t x, std::int32_t y, std::int32_t,
                        std::int32_t num, std::int32_t den) {
    if (!presentOrReported(sprite))
        return false;
    const std::int32_t count = sprite->getAFrameCount(anim);
    if (count < 1)
        return true;
    javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (den == 0) {
        paintAFrame(sprite, g, anim, 0, x, y, 0, 0, 0);
        return false;
    }
    const std::int32_t reached = rt::idiv(rt::imul(count, num), den);
    paintAFrame(sprite, g, anim, std::min(count - 1, reached), x, y, 0, 0, 0);
    return reached > count - 1;
}

} // namespace game
