#include "game/sprite/Gradient.h"

#include "game/framework/DrawingTap.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TransformBlit.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/checks.h"

#include <algorithm>
#include <array>
#include <climits>

namespace game {

namespace {

using namespace gradient_direction;

struct Point {
    std::int64_t x;
    std::int64_t y;
};

// Corners of `side` (two of them) slide along their edges to the third
// corner until their `along` coordinate is `edge`. The product is taken in
// 64 bits and divided truncating toward zero.
void pullOnto(std::array<Point, 3>& corners, const std::array<bool, 3>& side, std::int64_t Point::*along,
              std::int64_t Point::*across, std::int64_t edge) {
    const Point k =
        corners[static_cast<std::size_t>(std::find(side.begin(), side.end(), false) - side.begin())];
    for (std::size_t i = 0; i < 3; ++i) {
        if (!side[i])
            continue;
        Point& p = corners[i];
        p.*across += (edge - p.*along) * (k.*across - p.*across) / (k.*along - p.*along);
        p.*along = edge;
    }
}

// One axis of the triangle clipper: corners whose `along` coordinate lies
// before 0 or at `limit` and beyond, both sets found before either moves.
// Two on one side are pulled onto that edge; three make the triangle
// invisible (false); one is left as it is.
bool pullOntoAxis(std::array<Point, 3>& corners, std::int64_t Point::*along, std::int64_t Point::*across,
                  std::int64_t limit) {
    std::array<bool, 3> before{}, beyond{};
    int countBefore = 0, countBeyond = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        before[i] = corners[i].*along < 0;
        beyond[i] = corners[i].*along >= limit;
        countBefore += before[i];
        countBeyond += beyond[i];
    }
    if (countBefore == 3 || countBeyond == 3)
        return false;
    if (countBefore == 2)
        pullOnto(corners, before, along, across, 0);
    if (countBeyond == 2)
        pullOnto(corners, beyond, along, across, limit - 1);
    return true;
}

std::int32_t toInt(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

} // namespace

void fillGradient(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t colour1,
                  std::int32_t colour2, std::int32_t direction) {
    const ReportedDraw reported(DrawCall::FillGradient, loopStatics().s_graphics, nullptr,
                                {x, y, w, h, colour1, colour2, direction});
    const bool alongX = direction == kToLeft || direction == kToRight;
    if (!alongX && direction != kToTop && direction != kToBottom)
        return;
    const std::int32_t steps = alongX ? w : h;
    const std::int32_t extent = alongX ? h : w;
    if (steps < 1 || extent < 1)
        return;
    const bool reversed = direction == kToLeft || direction == kToTop;
    const auto start = static_cast<std::uint32_t>(reversed ? colour2 : colour1);
    const auto end = static_cast<std::uint32_t>(reversed ? colour1 : colour2);

    rt::IntArray* buffer = ensurePixelBuffer(0);
    if (!buffer)
        return;
    const std::int32_t band = std::min(extent, buffer->length() / steps);
    if (band < 1)
        return;
    // 16.16 accumulators per channel, alpha first; a single step keeps the start.
    std::array<std::int32_t, 4> accumulator{}, step{};
    for (std::size_t c = 0; c < 4; ++c) {
        const std::uint32_t shift = 24 - 8 * static_cast<std::uint32_t>(c);
        const auto from = static_cast<std::int32_t>((start >> shift) & 255u);
        const auto to = static_cast<std::int32_t>((end >> shift) & 255u);
        accumulator[c] = from * 65536;
        step[c] = steps > 1 ? (to - from) * 65536 / (steps - 1) : 0;
    }
    const std::span<std::int32_t> pixels = rt::IntArray::span(buffer, 0, band * steps);
    auto colour = static_cast<std::int32_t>(start);
    for (std::int32_t s = 0; s < steps; ++s) {
        if (alongX) {
            for (std::int32_t k = 0; k < band; ++k)
                pixels[static_cast<std::size_t>(s + k * steps)] = colour;
        } else {
            std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(s) * band, band, colour);
        }
        std::uint32_t next = 0;
        for (std::size_t c = 0; c < 4; ++c) {
            accumulator[c] += step[c];
            next |= (static_cast<std::uint32_t>(accumulator[c] >> 16) & 255u) << (24 - 8 * c);
        }
        colour = static_cast<std::int32_t>(next);
    }

    platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    for (std::int32_t remaining = extent; remaining >= 1; remaining -= band) {
        const std::int32_t strip = std::min(band, remaining);
        if (alongX) {
            drawRGB(g, buffer, 0, steps, x, y, w, strip, true, true, 0);
            y += band;
        } else {
            drawRGB(g, buffer, 0, band, x, y, strip, h, true, true, 0);
            x += band;
        }
    }
}

bool clipTriangle(std::array<std::int32_t, 6>& corners, std::int32_t width, std::int32_t height) {
    std::array<Point, 3> p{Point{corners[0], corners[1]}, Point{corners[2], corners[3]},
                           Point{corners[4], corners[5]}};
    if (std::min({p[0].y, p[1].y, p[2].y}) > height || std::max({p[0].y, p[1].y, p[2].y}) < 0 ||
        std::min({p[0].x, p[1].x, p[2].x}) > width || std::max({p[0].x, p[1].x, p[2].x}) < 0)
        return false;
    if ((p[1].x - p[0].x) * (p[2].y - p[0].y) == (p[2].x - p[0].x) * (p[1].y - p[0].y))
        return false;
    if (!pullOntoAxis(p, &Point::x, &Point::y, width) || !pullOntoAxis(p, &Point::y, &Point::x, height))
        return false;
    for (std::size_t i = 0; i < 3; ++i) {
        corners[2 * i] = toInt(p[i].x);
        corners[2 * i + 1] = toInt(p[i].y);
    }
    return true;
}

void fillClippedPolygon(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
                        std::int32_t y3) {
    const ReportedDraw reported(DrawCall::FillTriangle, loopStatics().s_graphics, nullptr,
                                {x1, y1, x2, y2, x3, y3});
    std::array<std::int32_t, 6> corners{x1, y1, x2, y2, x3, y3};
    if (!clipTriangle(corners, config().s_gameScreenWidth, config().s_gameScreenHeight))
        return;
    platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (!g) {
        rt::reportNullPointer();
        return;
    }
    g->fillTriangle(corners[0], corners[1], corners[2], corners[3], corners[4], corners[5]);
}

} // namespace game
