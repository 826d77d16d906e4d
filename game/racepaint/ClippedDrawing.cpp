#include "game/racepaint/ClippedDrawing.h"

#include "game/framework/GameGraphics.h"
#include "game/framework/LoopStatics.h"
#include "game/sprite/Drawing.h"

#include <algorithm>

namespace game {

namespace {

struct Clip {
    std::int64_t left, top, right, bottom;
};

Clip frameClip() {
    platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    const std::int64_t left = getClipX(g);
    const std::int64_t top = getClipY(g);
    return {left, top, left + getClipWidth(g), top + getClipHeight(g)};
}

// `from` moved toward `to` by the share (cut / run) of the way, dividing
// toward zero; |cut| <= |run| keeps the result between the two.
std::int64_t slide(std::int64_t from, std::int64_t to, std::int64_t cut, std::int64_t run) {
    return from + cut * (to - from) / run;
}

} // namespace

void fillRectClipped(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const Clip clip = frameClip();
    std::int64_t left = x, top = y, width = w, height = h;
    if (left >= clip.right || left + width < clip.left || top >= clip.bottom || top + height < clip.top)
        return;
    if (left < clip.left) {
        width -= clip.left - left;
        left = clip.left;
    }
    if (left + width >= clip.right)
        width = clip.right - left;
    if (top < clip.top) {
        height -= clip.top - top;
        top = clip.top;
    }
    if (top + height >= clip.bottom)
        height = clip.bottom - top;
    fillRect(loopStatics().s_graphics, static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
             static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
}

void drawLineClipped(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const Clip clip = frameClip();
    const std::int64_t lastColumn = clip.right - 1;
    std::int64_t ax = x1, ay = y1, bx = x2, by = y2;
    if (ax == bx) {
        if (ay == by || ax >= clip.right || ax < clip.left || std::max(ay, by) < clip.top ||
            std::min(ay, by) >= clip.bottom)
            return;
    } else {
        // (lx, ly) the left end, (rx, ry) the right one.
        const bool rising = ax < bx;
        std::int64_t& lx = rising ? ax : bx;
        std::int64_t& ly = rising ? ay : by;
        std::int64_t& rx = rising ? bx : ax;
        std::int64_t& ry = rising ? by : ay;
        if (lx >= clip.right || rx < clip.left)
            return;
        if (lx < clip.left) {
            ly = slide(ly, ry, clip.left - lx, rx - lx);
            lx = clip.left;
        }
        if (rx >= clip.right) {
            ry = slide(ry, ly, rx - lastColumn, rx - lx);
            rx = lastColumn;
        }
    }
    if (ay == by) {
        if (ax == bx || ay >= clip.bottom || ay < clip.top)
            return;
    } else if (std::min(ay, by) >= clip.bottom || std::max(ay, by) < clip.top) {
        return;
    }
    drawLine(static_cast<std::int32_t>(ax), static_cast<std::int32_t>(ay), static_cast<std::int32_t>(bx),
             static_cast<std::int32_t>(by));
}

} // namespace game
