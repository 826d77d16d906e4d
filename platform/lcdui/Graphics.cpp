#include "platform/lcdui/Graphics.h"

#include "host/Text.h"
#include "platform/lcdui/Font.h"
#include "platform/lcdui/pixels.h"
#include "runtime/Runtime.h"
#include "runtime/checks.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>

namespace platform {

namespace {

using Image = javax_microedition_lcdui_Image;

// The span [start, start + length) cut to [low, high), in 64 bits so that no
// sum of guest values overflows; empty when nothing is left.
struct Span {
    std::int64_t first;
    std::int64_t end;
    bool empty() const { return end <= first; }
    std::int32_t length() const { return static_cast<std::int32_t>(end - first); }
};

Span cut(std::int64_t start, std::int64_t length, std::int64_t low, std::int64_t high) {
    return Span{std::max(start, low), std::min(start + length, high)};
}

// Reduces an angle above 360 by whole turns into 1..360.
std::int32_t reduceAngle(std::int64_t angle) {
    return static_cast<std::int32_t>(angle > 360 ? (angle - 1) % 360 + 1 : angle);
}

// Round corners and ellipses larger than this draw nothing: their loops step
// once per pixel of radius, no screen needs more, and the ellipse's decision
// variables stay well inside 64 bits.
constexpr std::int32_t kMaxRadius = 1 << 14;

} // namespace

// The clip as drawing uses it: cut to the target's pixels once more, so that
// a target whose size changed can never be written outside.
struct javax_microedition_lcdui_Graphics::Clip {
    std::int32_t x1;
    std::int32_t y1;
    std::int32_t x2;
    std::int32_t y2;
    bool empty() const { return x2 <= x1 || y2 <= y1; }
};

javax_microedition_lcdui_Graphics::javax_microedition_lcdui_Graphics(javax_microedition_lcdui_Image* target)
    : Object(kClassId)
    , m_image(target) {
    if (target) {
        m_clipX2 = target->getWidth();
        m_clipY2 = target->getHeight();
    }
}

javax_microedition_lcdui_Graphics::Clip
javax_microedition_lcdui_Graphics::clip(const Surface16& surface) const {
    return Clip{std::max(m_clipX1, 0), std::max(m_clipY1, 0), std::min(m_clipX2, surface.width),
                std::min(m_clipY2, surface.height)};
}

void javax_microedition_lcdui_Graphics::setColor(std::int32_t red, std::int32_t green, std::int32_t blue) {
    if (red < 0 || red > 255)
        rt::reportRuntimeError("setColor r");
    if (green < 0 || green > 255)
        rt::reportRuntimeError("setColor g");
    if (blue < 0 || blue > 255)
        rt::reportRuntimeError("setColor b");
    m_colour = 0xFF000000u | static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(green) << 8 |
               static_cast<std::uint32_t>(blue);
}

void javax_microedition_lcdui_Graphics::setColor(std::int32_t rgb) {
    m_colour = static_cast<std::uint32_t>(rgb) | 0xFF000000u;
}

void javax_microedition_lcdui_Graphics::translate(std::int32_t dx, std::int32_t dy) {
    m_translateX += dx;
    m_translateY += dy;
}

void javax_microedition_lcdui_Graphics::setClip(std::int32_t x, std::int32_t y, std::int32_t width,
                                                std::int32_t height) {
    std::int32_t imageWidth = m_image ? m_image->getWidth() : 0;
    std::int32_t imageHeight = m_image ? m_image->getHeight() : 0;
    std::int64_t x1 = static_cast<std::int64_t>(x) + m_translateX;
    std::int64_t y1 = static_cast<std::int64_t>(y) + m_translateY;
    Span horizontal = cut(x1, width, 0, imageWidth);
    Span vertical = cut(y1, height, 0, imageHeight);
    // An empty clip may keep its start beyond the image; drawing takes nothing then.
    m_clipX1 = static_cast<std::int32_t>(std::min<std::int64_t>(horizontal.first, INT32_MAX));
    m_clipY1 = static_cast<std::int32_t>(std::min<std::int64_t>(vertical.first, INT32_MAX));
    m_clipX2 = static_cast<std::int32_t>(std::max<std::int64_t>(horizontal.end, INT32_MIN));
    m_clipY2 = static_cast<std::int32_t>(std::max<std::int64_t>(vertical.end, INT32_MIN));
}

void javax_microedition_lcdui_Graphics::clipRect(std::int32_t x, std::int32_t y, std::int32_t width,
                                                 std::int32_t height) {
    std::int32_t imageWidth = m_image ? m_image->getWidth() : 0;
    std::int32_t imageHeight = m_image ? m_image->getHeight() : 0;
    std::int64_t x1 = static_cast<std::int64_t>(x) + m_translateX;
    std::int64_t y1 = static_cast<std::int64_t>(y) + m_translateY;
    std::int64_t left = std::max<std::int64_t>({x1, m_clipX1, 0});
    std::int64_t top = std::max<std::int64_t>({y1, m_clipY1, 0});
    std::int64_t right = std::min<std::int64_t>({x1 + width, m_clipX2, imageWidth});
    std::int64_t bottom = std::min<std::int64_t>({y1 + height, m_clipY2, imageHeight});
    m_clipX1 = static_cast<std::int32_t>(std::min<std::int64_t>(left, INT32_MAX));
    m_clipY1 = static_cast<std::int32_t>(std::min<std::int64_t>(top, INT32_MAX));
    m_clipX2 = static_cast<std::int32_t>(std::max<std::int64_t>(right, INT32_MIN));
    m_clipY2 = static_cast<std::int32_t>(std::max<std::int64_t>(bottom, INT32_MIN));
}

void javax_microedition_lcdui_Graphics::fillRect(std::int32_t x, std::int32_t y, std::int32_t width,
                                                 std::int32_t height) {
    fillArea(static_cast<std::int64_t>(x) + m_translateX, static_cast<std::int64_t>(y) + m_translateY, width,
             height);
}

void javax_microedition_lcdui_Graphics::fillArea(std::int64_t left, std::int64_t top, std::int64_t width,
                                                 std::int64_t height) {
    Surface16 surface = m_image ? m_image->surface() : Surface16{};
    if (!surface)
        return;
    Clip area = clip(surface);
    Span columns = cut(left, width, area.x1, area.x2);
    Span rows = cut(top, height, area.y1, area.y2);
    if (columns.empty() || rows.empty())
        return;
    std::uint16_t* first = surface.row(static_cast<std::int32_t>(rows.first)) + columns.first;
    std::uint16_t value = pixels::rgb888To565(m_colour);
    std::uint32_t alpha = m_colour >> 24;
    if (alpha == 255)
        pixels::fillSolid(first, surface.pitch, columns.length(), rows.length(), value);
    else
        pixels::fillBlended(first, surface.pitch, columns.length(), rows.length(), value, alpha);
}

void javax_microedition_lcdui_Graphics::plot(std::int32_t x, std::int32_t y) {
    fillRect(x, y, 1, 1);
}

void javax_microedition_lcdui_Graphics::drawLine(std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd,
                                                 std::int32_t yEnd) {
    Surface16 surface = m_image ? m_image->surface() : Surface16{};
    if (!surface)
        return;
    Clip area = clip(surface);
    if (area.empty())
        return;
    // Outcodes against the clip, whose right and bottom edges are its last
    // pixels; each pass moves one outside end onto the edge it is beyond,
    // the intersection by integer division.
    enum : int { Above = 1, Below = 2, Right = 4, Left = 8 };
    const std::int64_t left = area.x1, top = area.y1, right = area.x2 - 1, bottom = area.y2 - 1;
    auto outcode = [&](std::int64_t px, std::int64_t py) {
        int code = 0;
        if (py < top)
            code |= Above;
        else if (py > bottom)
            code |= Below;
        if (px > right)
            code |= Right;
        else if (px < left)
            code |= Left;
        return code;
    };
    std::int64_t x0 = static_cast<std::int64_t>(xStart) + m_translateX;
    std::int64_t y0 = static_cast<std::int64_t>(yStart) + m_translateY;
    std::int64_t x1 = static_cast<std::int64_t>(xEnd) + m_translateX;
    std::int64_t y1 = static_cast<std::int64_t>(yEnd) + m_translateY;
    int code0 = outcode(x0, y0);
    int code1 = outcode(x1, y1);
    while (code0 | code1) {
        if (code0 & code1)
            return;
        int code = code0 ? code0 : code1;
        // The products of two 33-bit differences need more than 64 bits.
        using Wide = __int128;
        std::int64_t px;
        std::int64_t py;
        if (code & Above) {
            px = static_cast<std::int64_t>(x0 + Wide{x1 - x0} * (top - y0) / (y1 - y0));
            py = top;
        } else if (code & Below) {
            px = static_cast<std::int64_t>(x0 + Wide{x1 - x0} * (bottom - y0) / (y1 - y0));
            py = bottom;
        } else if (code & Right) {
            py = static_cast<std::int64_t>(y0 + Wide{y1 - y0} * (right - x0) / (x1 - x0));
            px = right;
        } else {
            py = static_cast<std::int64_t>(y0 + Wide{y1 - y0} * (left - x0) / (x1 - x0));
            px = left;
        }
        if (code == code0) {
            x0 = px;
            y0 = py;
            code0 = outcode(x0, y0);
        } else {
            x1 = px;
            y1 = py;
            code1 = outcode(x1, y1);
        }
    }

    // Bresenham along the major axis; both ends lie inside the clip, so every
    // pixel between them does too.
    std::int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1;
    std::int64_t dy = y1 > y0 ? y1 - y0 : y0 - y1;
    std::ptrdiff_t stepX = x1 >= x0 ? 1 : -1;
    std::ptrdiff_t stepY = y1 >= y0 ? surface.pitch : -surface.pitch;
    std::uint16_t* pixel = surface.row(static_cast<std::int32_t>(y0)) + x0;
    std::ptrdiff_t majorStep = stepX;
    std::ptrdiff_t minorStep = stepY;
    std::int64_t major = dx;
    std::int64_t minor = dy;
    if (dy > dx) {
        std::swap(majorStep, minorStep);
        std::swap(major, minor);
    }
    std::uint16_t value = pixels::rgb888To565(m_colour);
    std::uint32_t alpha = m_colour >> 24;
    std::int64_t error = 2 * minor - major;
    for (std::int64_t i = 0;; ++i) {
        *pixel = alpha == 255 ? value : pixels::blend565(*pixel, value, alpha);
        if (i == major)
            break;
        if (error > 0) {
            pixel += minorStep;
            error -= 2 * major;
        }
        error += 2 * minor;
        pixel += majorStep;
    }
}

void javax_microedition_lcdui_Graphics::drawRect(std::int32_t x, std::int32_t y, std::int32_t width,
                                                 std::int32_t height) {
    drawLine(x, y, x + width, y);
    drawLine(x, y, x, y + height);
    drawLine(x + width, y, x + width, y + height);
    drawLine(x, y + height, x + width, y + height);
}

// Midpoint circle over one octant: `visit(px, py)` for each point from
// (0, radius) until px passes py, the decision variable starting at
// 1 - radius with the increments 3 and 5 - 2 * radius.
template <class Visit>
static void traceCircle(std::int32_t radius, Visit&& visit) {
    std::int32_t px = 0;
    std::int32_t py = radius;
    std::int64_t decision = 1 - radius;
    std::int64_t stepEast = 3;
    std::int64_t stepSouthEast = 5 - 2 * static_cast<std::int64_t>(radius);
    while (px <= py) {
        visit(px, py);
        if (decision < 0) {
            decision += stepEast;
            stepSouthEast += 2;
        } else {
            decision += stepSouthEast;
            stepSouthEast += 4;
            --py;
        }
        stepEast += 2;
        ++px;
    }
}

namespace {

// The corner circles of a round rectangle: one radius, max(arcWidth - 2, 0)
// / 2, and centres at (left or right, top or bottom). None for a radius no
// screen needs.
struct Corners {
    std::int32_t radius;
    std::int32_t left;
    std::int32_t right;
    std::int32_t top;
    std::int32_t bottom;
};

std::optional<Corners> cornersOf(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                 std::int32_t arcWidth) {
    std::int32_t radius = std::max(arcWidth - 2, 0) / 2;
    if (radius > kMaxRadius)
        return std::nullopt;
    return Corners{radius, x + radius, x + width - radius, y + radius, y + height - radius};
}

} // namespace

void javax_microedition_lcdui_Graphics::drawRoundRect(std::int32_t x, std::int32_t y, std::int32_t width,
                                                      std::int32_t height, std::int32_t arcWidth,
                                                      std::int32_t) {
    std::optional<Corners> corners = cornersOf(x, y, width, height, arcWidth);
    if (!corners)
        return;
    const Corners c = *corners;
    drawLine(c.left, y, c.right, y);
    drawLine(c.left, y + height, c.right, y + height);
    drawLine(x, c.top, x, c.bottom);
    drawLine(x + width, c.top, x + width, c.bottom);
    traceCircle(c.radius, [&](std::int32_t px, std::int32_t py) {
        plot(c.left - px, c.top - py);
        plot(c.left - py, c.top - px);
        plot(c.right + px, c.top - py);
        plot(c.right + py, c.top - px);
        plot(c.left - px, c.bottom + py);
        plot(c.left - py, c.bottom + px);
        plot(c.right + px, c.bottom + py);
        plot(c.right + py, c.bottom + px);
    });
}

void javax_microedition_lcdui_Graphics::fillRoundRect(std::int32_t x, std::int32_t y, std::int32_t width,
                                                      std::int32_t height, std::int32_t arcWidth,
                                                      std::int32_t) {
    std::optional<Corners> corners = cornersOf(x, y, width, height, arcWidth);
    if (!corners)
        return;
    const Corners c = *corners;
    // For each corner point, the outlines of the two rectangles it spans;
    // together they cover all but the inner rectangle, filled last.
    traceCircle(c.radius, [&](std::int32_t px, std::int32_t py) {
        drawRect(c.left - px, c.top - py, c.right - c.left + 2 * px, c.bottom - c.top + 2 * py);
        drawRect(c.left - py, c.top - px, c.right - c.left + 2 * py, c.bottom - c.top + 2 * px);
    });
    fillRect(c.left, c.top, width - 2 * c.radius, height - 2 * c.radius);
}

// Midpoint ellipse over the first quadrant: `visit(dx, dy)` for each point
// from (0, b) to (a, 0), in exact integer arithmetic (decision variables
// scaled by 4).
template <class Visit>
static void traceEllipse(std::int64_t a, std::int64_t b, Visit&& visit) {
    if (b == 0) {
        for (std::int64_t dx = 0; dx <= a; ++dx)
            visit(dx, 0);
        return;
    }
    const std::int64_t a2 = a * a;
    const std::int64_t b2 = b * b;
    std::int64_t dx = 0;
    std::int64_t dy = b;
    // Region 1: the slope is above -1; step x, sometimes y.
    std::int64_t decision = 4 * b2 - 4 * a2 * b + a2;
    while (b2 * dx < a2 * dy) {
        visit(dx, dy);
        if (decision >= 0) {
            decision += 4 * a2 * (2 - 2 * dy);
            --dy;
        }
        decision += 4 * b2 * (2 * dx + 3);
        ++dx;
    }
    // Region 2: step y, sometimes x.
    decision = b2 * (2 * dx + 1) * (2 * dx + 1) + 4 * a2 * (dy - 1) * (dy - 1) - 4 * a2 * b2;
    while (dy >= 0) {
        visit(dx, dy);
        if (decision <= 0) {
            decision += 4 * b2 * (2 * dx + 2);
            ++dx;
        }
        decision += 4 * a2 * (3 - 2 * dy);
        --dy;
    }
}

namespace {

// Which quadrants an arc from `start` covering `arc` degrees selects: a
// quadrant is drawn only when the arc holds it whole.
struct Quadrants {
    bool rightUp;
    bool leftUp;
    bool leftDown;
    bool rightDown;
};

Quadrants arcQuadrants(std::int32_t start, std::int32_t arc) {
    std::int32_t from = reduceAngle(start);
    std::int32_t to = reduceAngle(static_cast<std::int64_t>(from) + arc);
    return Quadrants{from == 0 && to >= 90, from <= 90 && to >= 180, from <= 180 && to >= 270,
                     from <= 270 && to == 360};
}

} // namespace

void javax_microedition_lcdui_Graphics::drawArc(std::int32_t x, std::int32_t y, std::int32_t width,
                                                std::int32_t height, std::int32_t start, std::int32_t arc) {
    traceArc(x, y, width, height, start, arc, false);
}

void javax_microedition_lcdui_Graphics::fillArc(std::int32_t x, std::int32_t y, std::int32_t width,
                                                std::int32_t height, std::int32_t start, std::int32_t arc) {
    traceArc(x, y, width, height, start, arc, true);
}

void javax_microedition_lcdui_Graphics::traceArc(std::int32_t x, std::int32_t y, std::int32_t width,
                                                 std::int32_t height, std::int32_t start, std::int32_t arc,
                                                 bool fill) {
    std::int32_t a = width / 2;
    std::int32_t b = height / 2;
    if (a < 0 || b < 0 || a > kMaxRadius || b > kMaxRadius)
        return;
    Quadrants quadrants = arcQuadrants(start, arc);
    std::int32_t cx = x + a;
    std::int32_t cy = y + b;
    // Each point of the quadrant, mirrored into the quadrants selected: a
    // pixel, or for a fill the span from the centre line out to it.
    traceEllipse(a, b, [&](std::int64_t dx64, std::int64_t dy64) {
        auto dx = static_cast<std::int32_t>(dx64);
        auto dy = static_cast<std::int32_t>(dy64);
        std::int32_t span = fill ? dx + 1 : 1;
        if (quadrants.rightUp)
            fillRect(fill ? cx : cx + dx, cy - dy, span, 1);
        if (quadrants.leftUp)
            fillRect(cx - dx, cy - dy, span, 1);
        if (quadrants.leftDown)
            fillRect(cx - dx, cy + dy, span, 1);
        if (quadrants.rightDown)
            fillRect(fill ? cx : cx + dx, cy + dy, span, 1);
    });
}

void javax_microedition_lcdui_Graphics::fillTriangle(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                                     std::int32_t y2, std::int32_t x3, std::int32_t y3) {
    Surface16 surface = m_image ? m_image->surface() : Surface16{};
    if (!surface)
        return;
    struct Corner {
        std::int64_t x;
        std::int64_t y;
    };
    Corner corners[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
    std::sort(std::begin(corners), std::end(corners),
              [](const Corner& p, const Corner& q) { return p.y < q.y; });
    const Corner& top = corners[0];
    const Corner& middle = corners[1];
    const Corner& bottom = corners[2];

    // An edge's x at a row is taken exactly, rounded down: stepping a 24.8
    // slope row by row drifts a pixel every 256 rows, which opens gaps inside
    // triangles whose corners lie far beyond the clip. Products of guest
    // coordinates need up to 66 bits.
    using Wide = __int128;
    struct Edge {
        const Corner* from;
        const Corner* to;
        std::int64_t at(std::int64_t row) const {
            const Wide dy = to->y - from->y;
            const Wide num = static_cast<Wide>(to->x - from->x) * (row - from->y);
            Wide q = num / dy;
            if ((num % dy != 0) && ((num < 0) != (dy < 0)))
                --q;
            return static_cast<std::int64_t>(from->x + q);
        }
        // Whether this edge runs left of `other` below their common corner:
        // the smaller run per row, compared without rounding.
        bool leftOf(const Edge& other) const {
            return static_cast<Wide>(to->x - from->x) * (other.to->y - other.from->y) <
                   static_cast<Wide>(other.to->x - other.from->x) * (to->y - from->y);
        }
    };
    const Edge longEdge{&top, &bottom};
    const Edge upperEdge{&top, &middle};
    const Edge lowerEdge{&middle, &bottom};

    // Only rows inside the clip are visited.
    Clip area = clip(surface);
    const std::int64_t translateX = m_translateX;
    const std::int64_t translateY = m_translateY;
    auto fillRows = [&](std::int64_t fromY, std::int64_t toY, const Edge& leftEdge, const Edge& rightEdge) {
        std::int64_t first = std::max(fromY, area.y1 - translateY);
        std::int64_t end = std::min(toY, area.y2 - translateY);
        for (std::int64_t row = first; row < end; ++row) {
            std::int64_t left = leftEdge.at(row);
            std::int64_t right = rightEdge.at(row);
            fillArea(left + translateX, row + translateY, right - left, 1);
        }
    };
    // From the top corner to the middle one the edges spread from the top
    // corner; from there to the bottom the lower edge takes the upper one's
    // side.
    if (top.y < middle.y) {
        if (upperEdge.leftOf(longEdge))
            fillRows(top.y, middle.y, upperEdge, longEdge);
        else
            fillRows(top.y, middle.y, longEdge, upperEdge);
    }
    if (middle.y < bottom.y) {
        // The middle corner lies left of the long edge at its row when the
        // upper edge ran left; for a flat top compare the corners.
        const bool middleLeft = top.y < middle.y ? upperEdge.leftOf(longEdge) : middle.x < top.x;
        if (middleLeft)
            fillRows(middle.y, bottom.y, lowerEdge, longEdge);
        else
            fillRows(middle.y, bottom.y, longEdge, lowerEdge);
    }
}

namespace {

// Where region pixel (u, v) of a transform lands in the destination
// rectangle: the corner the first pixel goes to, and whether a step along a
// source row moves down a destination column (transforms 4 to 7).
struct Mapping {
    bool startRight;
    bool startBottom;
    bool columnsDown;
};

constexpr Mapping kMappings[8] = {
    {false, false, false}, {false, true, false}, {true, false, false}, {true, true, false},
    {false, false, true},  {true, false, true},  {false, true, true},  {true, true, true},
};

} // namespace

void javax_microedition_lcdui_Graphics::drawRegion(javax_microedition_lcdui_Image* source,
                                                   std::int32_t xSource, std::int32_t ySource,
                                                   std::int32_t width, std::int32_t height,
                                                   std::int32_t transform, std::int32_t x, std::int32_t y,
                                                   std::int32_t anchor) {
    // The destination rectangle, placed by the anchor (BASELINE counts as TOP).
    const bool turned = transform >= TRANS_MIRROR_ROT270;
    const std::int64_t destinationWidth = turned ? height : width;
    const std::int64_t destinationHeight = turned ? width : height;
    std::int64_t left = static_cast<std::int64_t>(x) + m_translateX;
    std::int64_t top = static_cast<std::int64_t>(y) + m_translateY;
    if (anchor & HCENTER)
        left -= destinationWidth / 2;
    else if (anchor & RIGHT)
        left -= destinationWidth;
    if (anchor & VCENTER)
        top -= destinationHeight / 2;
    else if (anchor & BOTTOM)
        top -= destinationHeight;

    // A rectangle that misses the clip draws nothing, quietly.
    Surface16 to = m_image ? m_image->surface() : Surface16{};
    if (!to)
        return;
    Clip area = clip(to);
    Span columns = cut(left, destinationWidth, area.x1, area.x2);
    Span rows = cut(top, destinationHeight, area.y1, area.y2);
    if (columns.empty() || rows.empty())
        return;

    // The checks: each logs; a region reaching outside the source is cut to it.
    if (!source) {
        rt::reportRuntimeError("drawRegion pSrc");
        return;
    }
    if (xSource < 0 || static_cast<std::int64_t>(xSource) + width > source->getWidth())
        rt::reportRuntimeError("drawRegion x_src");
    if (ySource < 0 || static_cast<std::int64_t>(ySource) + height > source->getHeight())
        rt::reportRuntimeError("drawRegion y_src");
    if (transform < TRANS_NONE || transform > TRANS_MIRROR_ROT90) {
        rt::reportRuntimeError("drawRegion transform");
        return;
    }
    void (*copy)(const pixels::RegionCopy&);
    switch (source->pixelType()) {
    case Image::kRgb565:
        copy = pixels::copyOpaque;
        break;
    case Image::kRgb565Keyed:
        copy = pixels::copyKeyed;
        break;
    case Image::kArgb4444:
        copy = pixels::copyArgb4444;
        break;
    default:
        rt::reportRuntimeError("m_pixelType");
        return;
    }
    Surface16 from = source->surface();
    if (!from)
        return;

    // The region pixels to copy: inside the source image, and landing inside
    // the clip. The clip's window on the destination rectangle (in offsets
    // from its top-left) becomes a window on the region through the
    // transform: an axis that starts at the far edge runs backwards, and
    // turned transforms send region columns down destination rows.
    const Mapping mapping = kMappings[transform];
    auto window = [](Span visible, std::int64_t origin, std::int64_t size, bool backwards) {
        std::int64_t first = visible.first - origin;
        std::int64_t end = visible.end - origin;
        return backwards ? Span{size - end, size - first} : Span{first, end};
    };
    Span horizontalWindow = window(columns, left, destinationWidth, mapping.startRight);
    Span verticalWindow = window(rows, top, destinationHeight, mapping.startBottom);
    Span uWindow = mapping.columnsDown ? verticalWindow : horizontalWindow;
    Span vWindow = mapping.columnsDown ? horizontalWindow : verticalWindow;
    Span u = cut(0, width, std::max<std::int64_t>(uWindow.first, -static_cast<std::int64_t>(xSource)),
                 std::min<std::int64_t>(uWindow.end, static_cast<std::int64_t>(from.width) - xSource));
    Span v = cut(0, height, std::max<std::int64_t>(vWindow.first, -static_cast<std::int64_t>(ySource)),
                 std::min<std::int64_t>(vWindow.end, static_cast<std::int64_t>(from.height) - ySource));
    if (u.empty() || v.empty())
        return;

    // Where the first pixel copied, (u.first, v.first), lands, and the steps.
    std::int64_t columnOffset = mapping.columnsDown ? v.first : u.first;
    std::int64_t rowOffset = mapping.columnsDown ? u.first : v.first;
    std::int64_t column = left + (mapping.startRight ? destinationWidth - 1 - columnOffset : columnOffset);
    std::int64_t row = top + (mapping.startBottom ? destinationHeight - 1 - rowOffset : rowOffset);
    const std::ptrdiff_t horizontal = mapping.startRight ? -1 : 1;
    const std::ptrdiff_t vertical = mapping.startBottom ? -to.pitch : to.pitch;
    pixels::RegionCopy region;
    region.source = from.row(static_cast<std::int32_t>(ySource + v.first)) + xSource + u.first;
    region.sourcePitch = from.pitch;
    region.destination = to.row(static_cast<std::int32_t>(row)) + column;
    region.columnStep = mapping.columnsDown ? vertical : horizontal;
    region.rowStep = mapping.columnsDown ? horizontal : vertical;
    region.width = u.length();
    region.height = v.length();
    copy(region);
}

void javax_microedition_lcdui_Graphics::drawImage(javax_microedition_lcdui_Image* image, std::int32_t x,
                                                  std::int32_t y, std::int32_t anchor) {
    std::int32_t width = image ? image->getWidth() : 0;
    std::int32_t height = image ? image->getHeight() : 0;
    drawRegion(image, 0, 0, width, height, TRANS_NONE, x, y, anchor);
}

void javax_microedition_lcdui_Graphics::drawRGB(rt::IntArray* rgb, std::int32_t offset,
                                                std::int32_t scanLength, std::int32_t x, std::int32_t y,
                                                std::int32_t width, std::int32_t height, bool processAlpha) {
    if (!rgb || rgb->isFreed()) {
        rt::reportRuntimeError("drawRGB rgbData");
        return;
    }
    Surface16 surface = m_image ? m_image->surface() : Surface16{};
    if (!surface)
        return;
    Clip area = clip(surface);
    const std::int64_t left = static_cast<std::int64_t>(x) + m_translateX;
    const std::int64_t top = static_cast<std::int64_t>(y) + m_translateY;
    Span columns = cut(left, width, area.x1, area.x2);
    Span rows = cut(top, height, area.y1, area.y2);
    if (columns.empty() || rows.empty())
        return;
    pixels::RgbMode mode = m_image->pixelType() == Image::kArgb4444 ? pixels::RgbMode::ToArgb4444
                           : processAlpha                           ? pixels::RgbMode::ProcessAlpha
                                                                    : pixels::RgbMode::Opaque;
    const std::int32_t* entries = rgb->elements();
    const std::int64_t length = rgb->length();
    bool reported = false;
    for (std::int64_t row = rows.first; row < rows.end; ++row) {
        // The entries of this row's visible pixels, cut to those inside the array.
        std::int64_t base = offset + (row - top) * static_cast<std::int64_t>(scanLength) - left;
        std::int64_t first = std::max(columns.first, -base);
        std::int64_t end = std::min(columns.end, length - base);
        if ((first != columns.first || end != columns.end) && !reported) {
            rt::reportIndexOutOfBounds(rt::IndexKind::Array,
                                       first != columns.first ? base + columns.first : base + columns.end - 1,
                                       length);
            reported = true;
        }
        if (end <= first)
            continue;
        pixels::drawRgbRow(entries + base + first, surface.row(static_cast<std::int32_t>(row)) + first,
                           static_cast<std::int32_t>(end - first), mode);
    }
}

namespace {

// The text background: the 32-bit pixel value 0x0000F81F, which reads as the
// colour key and so is skipped when the text is copied into the image.
constexpr std::uint32_t kTextBackground = 0x00F81F;
// Text wider or taller than this is not drawn: no image is that large, and
// the buffer it would need is not worth making.
constexpr std::int64_t kMaxTextPixels = std::int64_t{1} << 24;

} // namespace

void javax_microedition_lcdui_Graphics::drawString(rt::String* text, std::int32_t x, std::int32_t y,
                                                   std::int32_t anchor) {
    if (!text)
        return;
    drawText(text, 0, text->length(), x, y, anchor);
}

void javax_microedition_lcdui_Graphics::drawSubstring(rt::String* text, std::int32_t offset,
                                                      std::int32_t length, std::int32_t x, std::int32_t y,
                                                      std::int32_t anchor) {
    if (!text) {
        rt::reportNullPointer();
        return;
    }
    if (!rt::checkRange(rt::IndexKind::String, offset, length, text->length()))
        return;
    drawText(text, offset, offset + length, x, y, anchor);
}

void javax_microedition_lcdui_Graphics::drawChar(char16_t character, std::int32_t x, std::int32_t y,
                                                 std::int32_t anchor) {
    drawString(rt::make<rt::String>(&character, 1), x, y, anchor);
}

void javax_microedition_lcdui_Graphics::drawChars(rt::CharArray* data, std::int32_t offset,
                                                  std::int32_t length, std::int32_t x, std::int32_t y,
                                                  std::int32_t anchor) {
    if (!data) {
        rt::reportNullPointer();
        return;
    }
    if (!rt::checkRange(rt::IndexKind::Array, offset, length, data->length()))
        return;
    drawString(rt::make<rt::String>(data, offset, length), x, y, anchor);
}

void javax_microedition_lcdui_Graphics::drawText(rt::String* text, std::int32_t begin, std::int32_t end,
                                                 std::int32_t x, std::int32_t y, std::int32_t anchor) {
    if (!text || begin < 0 || end > text->length() || begin >= end)
        return;
    host::Text* service = javax_microedition_lcdui_Font::textService();
    if (!service)
        return;
    javax_microedition_lcdui_Font* font = javax_microedition_lcdui_Font::getDefaultFont();
    // After the last allocation: the units are copied out of the string.
    std::u16string units(
        text->view().substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)));
    const std::int64_t width = service->measure(units);
    const std::int64_t height = font->getHeight();
    const std::int64_t ascent = font->getBaselinePosition();
    if (width < 1 || height < 1 || width > kMaxTextPixels / height)
        return;
    const auto count = static_cast<std::size_t>(width * height);
    std::unique_ptr<std::uint32_t[]> buffer(new (std::nothrow) std::uint32_t[count]);
    if (!buffer)
        return;
    if (!service->render(units, m_colour & 0xFFFFFF, kTextBackground, std::span(buffer.get(), count),
                         static_cast<int>(width), static_cast<int>(height)))
        return;

    // Each anchor flag present overrides, for its axis, what the flags tested
    // before it gave. The translation and the clip do not apply.
    if (anchor == 0)
        anchor = TOP | LEFT;
    std::int64_t left = x;
    std::int64_t top = y;
    if (anchor & RIGHT)
        left = static_cast<std::int64_t>(x) - width;
    if (anchor & BOTTOM)
        top = static_cast<std::int64_t>(y) - height;
    if (anchor & HCENTER)
        left = static_cast<std::int64_t>(x) - width / 2;
    if (anchor & BASELINE)
        top = static_cast<std::int64_t>(y) - ascent;

    // Only the part that lies inside the image is copied.
    Surface16 surface = m_image ? m_image->surface() : Surface16{};
    if (!surface)
        return;
    Span columns = cut(left, width, 0, surface.width);
    Span rows = cut(top, height, 0, surface.height);
    for (std::int64_t row = rows.first; row < rows.end; ++row) {
        const std::uint32_t* source = buffer.get() + (row - top) * width - left;
        std::uint16_t* destination = surface.row(static_cast<std::int32_t>(row));
        for (std::int64_t column = columns.first; column < columns.end; ++column) {
            if (source[column] != kTextBackground)
                destination[column] = pixels::rgb888To565(source[column]);
        }
    }
}

} // namespace platform
