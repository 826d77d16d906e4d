#include "game/sprite/TransformBlit.h"

#include "game/framework/DrawingTap.h"
#include "game/sprite/SpriteStatics.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/checks.h"

#include <algorithm>
#include <cstring>

namespace game {

namespace {

// Transforms 4 to 7: row y of the result walks a column of the source (h
// wide, w tall), from `first` by `step` entries per result pixel.
void turn(const std::int32_t* source, std::int32_t* target, std::int32_t w, std::int32_t h,
          std::int32_t transform) {
    const std::ptrdiff_t rows = h;
    for (std::ptrdiff_t y = 0; y < h; ++y) {
        std::ptrdiff_t column = y;
        if (transform & 1)
            column = rows - 1 - y; // transforms 5 and 7 read the column mirrored
        std::ptrdiff_t first = column;
        std::ptrdiff_t step = rows;
        if ((transform & 2) == 0) { // 4 and 5 start at the last source row
            first += static_cast<std::ptrdiff_t>(w - 1) * rows;
            step = -rows;
        }
        std::int32_t* out = target + y * w;
        for (std::ptrdiff_t x = 0; x < w; ++x)
            out[x] = source[first + x * step];
    }
}

} // namespace

rt::IntArray* transformRGB(rt::IntArray* source, std::int32_t w, std::int32_t h, std::int32_t transform) {
    transform &= 7;
    if (transform == 0)
        return source;
    rt::IntArray* target = getTransformBuffer(source, w, h);
    if (!target)
        return nullptr;
    if (w <= 0 || h <= 0)
        return target;
    const std::int32_t count = w * h; // within the buffer limit, so no overflow
    const std::span<std::int32_t> from = rt::IntArray::span(source, 0, count);
    const std::span<std::int32_t> to = rt::IntArray::span(target, 0, count);
    if (from.empty() || to.empty())
        return nullptr;
    const std::int32_t* in = from.data();
    std::int32_t* out = to.data();
    const auto width = static_cast<std::size_t>(w);
    switch (transform) {
    case 1:
        for (std::ptrdiff_t y = 0; y < h; ++y)
            std::reverse_copy(in + y * w, in + y * w + w, out + y * w);
        break;
    case 2:
        for (std::ptrdiff_t y = 0; y < h; ++y)
            std::memcpy(out + y * w, in + (h - 1 - y) * w, width * sizeof(std::int32_t));
        break;
    case 3:
        std::reverse_copy(in, in + count, out);
        break;
    default:
        turn(in, out, w, h, transform);
        break;
    }
    return target;
}

void drawRGB(platform::javax_microedition_lcdui_Graphics* g, rt::IntArray* argb, std::int32_t offset,
             std::int32_t scanLength, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
             bool processAlpha, bool /*blend*/, std::int32_t transform) {
    const ReportedDraw reported(DrawCall::DrawRGB, g, argb,
                                {offset, scanLength, x, y, w, h, processAlpha ? 1 : 0, transform});
    if (!g) {
        rt::reportNullPointer();
        return;
    }
    transform &= 7;
    if (transform != 0) {
        if (transform & 4) {
            std::swap(w, h);
            scanLength = w;
        }
        argb = transformRGB(argb, w, h, transform);
        if (!argb)
            return;
    }
    g->drawRGB(argb, offset, scanLength, x, y, w, h, processAlpha);
}

} // namespace game
