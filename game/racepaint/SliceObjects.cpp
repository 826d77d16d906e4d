#include "game/racepaint/SliceObjects.h"

#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/States.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadImages.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TransformBlit.h"
#include "runtime/javamath.h"

#include <algorithm>
#include <cstring>

namespace game {

namespace {

// The race's fixed point, for the lane object's projection.
constexpr std::int32_t kShift = 12;
// The trapezoid's positions and steps: 16 fraction bits in 64 bits. With 12,
// a step over a span many times wider than the block (an object near the
// camera, mostly off the screen) loses whole source pixels by its far end.
constexpr std::int32_t kMapShift = 16;
constexpr std::int64_t kHalf = std::int64_t{1} << (kMapShift - 1);

// Fixed point to the nearest integer, halves up.
std::int64_t rounded(std::int64_t value) {
    return (value + kHalf) >> kMapShift;
}

// Transparent pixels over [from, to) of a buffer row.
void clearSpan(std::int32_t* row, std::int64_t from, std::int64_t to, const std::int32_t* pattern) {
    if (to > from)
        std::memcpy(row + from, pattern, static_cast<std::size_t>(to - from) * sizeof(std::int32_t));
}

} // namespace

void drawScaledPixels(rt::IntArray* pixels, std::int32_t top, std::int32_t bottom, std::int32_t topLeft,
                      std::int32_t topRight, std::int32_t bottomLeft, std::int32_t bottomRight) {
    const RoadImageStatics& s = roadImageStatics();
    const std::int64_t screenWidth = config().s_gameScreenWidth;
    const std::int64_t screenHeight = config().s_gameScreenHeight;
    const std::int64_t sourceWidth = s.s_backgroundWidth;
    const std::int64_t sourceHeight = s.s_backgroundHeight;
    if (!pixels || sourceWidth < 1 || sourceHeight < 1 || sourceWidth * sourceHeight > pixels->length())
        return;
    if (top >= bottom || topLeft > topRight || bottomLeft > bottomRight || bottom < 1 || top >= screenHeight)
        return;
    // 64 bits, so that no trapezoid can wrap the positions.
    std::int64_t rows = static_cast<std::int64_t>(bottom) - top;
    const std::int64_t rowStep = (sourceHeight << kMapShift) / rows;
    const std::int64_t leftStep = ((static_cast<std::int64_t>(bottomLeft) - topLeft) << kMapShift) / rows;
    const std::int64_t rightStep = ((static_cast<std::int64_t>(bottomRight) - topRight) << kMapShift) / rows;
    std::int64_t sourceRow = 0;
    std::int64_t left = static_cast<std::int64_t>(topLeft) << kMapShift;
    std::int64_t right = static_cast<std::int64_t>(topRight) << kMapShift;
    std::int64_t y = top;
    if (y < 0) {
        rows += y;
        if (rows < 1)
            return;
        sourceRow -= y * rowStep;
        if (sourceRow < 0 || sourceRow >= sourceHeight << kMapShift)
            return;
        left -= y * leftStep;
        right -= y * rightStep;
        y = 0;
    }
    if (rounded(sourceRow) < 0 || rounded(sourceRow) >= sourceHeight)
        return;
    std::int64_t lastLeft = bottomLeft, lastRight = bottomRight;
    if (bottom > screenHeight) {
        const std::int64_t cut = bottom - screenHeight;
        rows -= cut;
        if (rows < 1)
            return;
        lastLeft = rounded((lastLeft << kMapShift) - cut * leftStep);
        lastRight = rounded((lastRight << kMapShift) - cut * rightStep);
    }
    std::int64_t boxLeft = std::min<std::int64_t>(topLeft, lastLeft);
    std::int64_t boxRight = std::max<std::int64_t>(topRight, lastRight);
    if (boxLeft >= screenWidth || boxRight < 1)
        return;
    boxLeft = std::max<std::int64_t>(boxLeft, 0);
    boxRight = std::min(boxRight, screenWidth);
    const std::int64_t boxWidth = boxRight - boxLeft;
    if (boxWidth < 1)
        return;

    // The box lies on the screen: a buffer of one screen holds any object,
    // and it is made once, not grown object by object.
    rt::IntArray* buffer = ensurePixelBuffer(static_cast<std::int32_t>(screenWidth * screenHeight));
    rt::IntArray* pattern = s.s_fillPattern;
    if (!pattern || pattern->length() < boxWidth) {
        roadImageStaticInit();
        pattern = s.s_fillPattern;
    }
    if (!buffer || buffer->length() < boxWidth * rows || !pattern || pattern->length() < boxWidth)
        return;
    {
        // No allocation while these are held.
        std::int32_t* out = rt::IntArray::span(buffer).data();
        const std::int32_t* clear = rt::IntArray::span(pattern).data();
        const std::int32_t* source = rt::IntArray::span(pixels).data();
        for (std::int64_t row = 0; row < rows; ++row) {
            const bool first = row == 0;
            const std::int64_t xl = first ? rounded(left) : left >> kMapShift;
            const std::int64_t xr = first ? rounded(right) : right >> kMapShift;
            const std::int64_t sr = std::clamp<std::int64_t>(
                first ? rounded(sourceRow) : sourceRow >> kMapShift, 0, sourceHeight - 1);
            // Columns of the line count from the box's left edge.
            std::int32_t* line = out + row * boxWidth;
            const std::int64_t from = std::clamp(xl, boxLeft, boxRight) - boxLeft;
            const std::int64_t to = xr > xl ? std::clamp(xr, boxLeft, boxRight) - boxLeft : from;
            clearSpan(line, 0, from, clear);
            if (to > from) {
                const std::int64_t step = (sourceWidth << kMapShift) / (xr - xl);
                const std::int32_t* sourceLine = source + sr * sourceWidth;
                std::int64_t u = (from + boxLeft - xl) * step;
                for (std::int64_t x = from; x < to; ++x, u += step)
                    line[x] = sourceLine[u >> kMapShift];
            }
            clearSpan(line, std::max(to, from), boxWidth, clear);
            sourceRow += rowStep;
            left += leftStep;
            right += rightStep;
        }
    }
    drawRGB(loopStatics().s_graphics, buffer, 0, static_cast<std::int32_t>(boxWidth),
            static_cast<std::int32_t>(boxLeft), static_cast<std::int32_t>(y),
            static_cast<std::int32_t>(boxWidth), static_cast<std::int32_t>(rows), true, true, 0);
}

void paintSliceObject(std::int32_t lateral, const SliceEdge& nearEdge, const SliceEdge& farEdge, bool wide,
                      const SliceObjectView& view) {
    using rt::imul;
    using rt::isub;
    const std::int32_t width = wide ? imul(trackStatics().s_laneWidth, 2) : trackStatics().s_laneWidth;
    const std::int32_t half = width >> 1;
    const std::int32_t length = wide ? 1968 : 944;
    const std::int32_t middle = wide ? 2048 : 1024;
    const std::int32_t x0 = nearEdge.x, z0 = nearEdge.depth, y0 = nearEdge.height;
    const std::int32_t dz = isub(z0, farEdge.depth);
    const std::int32_t xf = isub(x0, imul(isub(x0, farEdge.x), length) >> kShift);
    const std::int32_t yf = isub(y0, imul(isub(y0, farEdge.height), length) >> kShift);
    const std::int32_t zf = isub(z0, imul(length, dz) >> kShift);
    // zf is 0 exactly when z0 = (length x dz) >> 12; a depth of 80/4096 of
    // the slice is refused as well.
    if (isub(z0, imul(dz, middle) >> kShift) <= kNearPlaneDepth || z0 == 0 || zf == 0 ||
        z0 == imul(80, dz) >> kShift)
        return;
    const std::int32_t focal = rt::ishl(view.focal, kShift);
    const std::int32_t nearScale = rt::idiv(focal, z0);
    const std::int32_t farScale = rt::idiv(focal, zf);
    auto screenX = [&](std::int32_t x, std::int32_t scale) {
        return rt::iadd(view.centerX, imul(x, scale) >> kShift);
    };
    const std::int32_t top = isub(view.horizonY, imul(yf, farScale) >> kShift);
    const std::int32_t bottom = isub(view.horizonY, imul(y0, nearScale) >> kShift);
    const std::int32_t topLeft = screenX(rt::iadd(isub(xf, half), lateral), farScale);
    const std::int32_t topRight = screenX(rt::iadd(rt::iadd(xf, half), lateral), farScale);
    const std::int32_t bottomLeft = screenX(rt::iadd(isub(x0, half), lateral), nearScale);
    const std::int32_t bottomRight = screenX(rt::iadd(rt::iadd(x0, half), lateral), nearScale);
    rt::ObjectArray* blocks = roadImageStatics().s_sliceObjectPixels;
    const std::int32_t frame = wide ? 2 : (stateStatics().s_messageCount >> 4) & 1;
    if (!blocks || frame >= blocks->length())
        return;
    drawScaledPixels(static_cast<rt::IntArray*>(rt::ObjectArray::get(blocks, frame)), top, bottom, topLeft,
                     topRight, bottomLeft, bottomRight);
}

} // namespace game
