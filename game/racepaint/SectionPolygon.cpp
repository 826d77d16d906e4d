#include "game/racepaint/SectionPolygon.h"

#include "game/framework/LoopStatics.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadsideView.h"
#include "game/sprite/Gradient.h"
#include "game/sprite/Scaler.h"
#include "game/sprite/ZoomCache.h"
#include "platform/lcdui/Graphics.h"
#include "runtime/checks.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace game {

namespace {

constexpr std::int32_t kFraction = 12;
constexpr std::int32_t kNearDetailLimit = 11520;
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

std::int64_t saturatingMul(std::int64_t a, std::int64_t b) {
    std::int64_t out = 0;
    if (__builtin_mul_overflow(a, b, &out))
        return ((a < 0) != (b < 0)) ? -kInt64Max : kInt64Max;
    return out;
}

std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t out = 0;
    if (__builtin_add_overflow(a, b, &out))
        return a < 0 ? -kInt64Max : kInt64Max;
    return out;
}

// Screen coordinates beyond this are off any screen; holding them here keeps
// the triangle clipper's own 64-bit products in range.
std::int32_t toScreen(std::int64_t v) {
    constexpr std::int64_t kLimit = std::int64_t{1} << 28;
    return static_cast<std::int32_t>(std::clamp(v, -kLimit, kLimit));
}

// A corner with its lateral and height in 12 fraction bits.
struct FineCorner {
    std::int64_t x;
    std::int64_t y;
    std::int32_t z;
};

FineCorner fine(const CameraCorner& c) {
    return {std::int64_t{c.x} << kFraction, std::int64_t{c.y} << kFraction, c.z};
}

// `from` moved along its edge toward `to` (at depth 10 or more) onto the near
// plane. The product comes before the division, so the point is exact to
// its twelve fraction bits however far the corner lies behind.
FineCorner ontoNearPlane(const CameraCorner& from, const CameraCorner& to) {
    const std::int64_t dz = std::int64_t{to.z} - from.z;
    const std::int64_t go = std::int64_t{kNearPlane} - from.z;
    auto along = [&](std::int32_t a, std::int32_t b) {
        const std::int64_t moved =
            saturatingMul(saturatingMul(std::int64_t{b} - a, go), std::int64_t{1} << kFraction);
        return saturatingAdd(std::int64_t{a} << kFraction, moved / dz);
    };
    return {along(from.x, to.x), along(from.y, to.y), kNearPlane};
}

void project(const FineCorner& c, std::int32_t* out) {
    const RoadsideViewStatics& v = roadsideView();
    const std::int64_t depth = std::int64_t{c.z} << kFraction;
    out[0] = toScreen(v.s_screenCenterX + saturatingMul(v.s_cameraFocal, c.x) / depth);
    out[1] = toScreen(v.s_viewHorizonY - saturatingMul(v.s_cameraFocal, c.y) / depth);
}

std::array<std::int32_t, 6> screenTriangle(const FineCorner& a, const FineCorner& b, const FineCorner& c) {
    std::array<std::int32_t, 6> out{};
    project(a, &out[0]);
    project(b, &out[2]);
    project(c, &out[4]);
    return out;
}

std::int32_t projectX(std::int32_t x, std::int32_t z) {
    const RoadsideViewStatics& v = roadsideView();
    return toScreen(v.s_screenCenterX + std::int64_t{v.s_cameraFocal} * x / z);
}

std::int32_t projectY(std::int32_t y, std::int32_t z) {
    const RoadsideViewStatics& v = roadsideView();
    return toScreen(v.s_viewHorizonY - std::int64_t{v.s_cameraFocal} * y / z);
}

void drawTexturedQuad(const std::array<CameraCorner, 3>& corners, std::int32_t yD, std::int32_t colour,
                      std::int32_t drawFlags, std::int32_t spriteDepth, std::int32_t spriteWidth) {
    const std::int32_t sprite = roadsideView().s_sectionQuadSprite;
    const TexturedQuad quad = placeTexturedQuad(corners, yD, drawFlags);
    if (sprite < 0 || !quad.drawn)
        return;
    const std::int32_t frame = colour & 255;
    const bool flipped = (drawFlags & section_draw_flags::kFlipped) != 0;
    const bool mirrored = (drawFlags & section_draw_flags::kMirrored) != 0;
    ZoomStatics& zoom = zoomStatics();
    zoom.s_zoomPalette = (colour >> 8) & 255;
    const std::int32_t zA = std::max(corners[0].z, kNearPlane);
    if (zA != corners[1].z || zA != corners[2].z) {
        paintZoomedStrip(sprite, frame, quad.xA, quad.xB, quad.yD, quad.yC, quad.yB, quad.yA, flipped ? 1 : 0,
                         false);
    } else if (spriteDepth > 0) {
        const std::int32_t scale = static_cast<std::int32_t>(
            (std::int64_t{roadsideView().s_cameraFocal} << kFraction) / spriteDepth);
        const std::int32_t frameWidth = getZoomedFrameRect(sprite, frame, 0, zoom_fp::kOne, false);
        // An uncached frame answers width 0: nothing to scale.
        if (frameWidth > 0) {
            const auto size =
                static_cast<std::int32_t>(std::llabs(std::int64_t{spriteWidth}) * scale / frameWidth);
            const std::int32_t x =
                flipped && mirrored ? std::max(quad.xA, quad.xB) : std::min(quad.xA, quad.xB);
            paintZoomedCached(sprite, frame, size, x, quad.yA, flipped ? 1 : 0, false, 0, false);
        }
    }
    zoom.s_zoomPalette = 0;
}

} // namespace

ScreenTriangles clipToNearPlane(const std::array<CameraCorner, 3>& corners) {
    ScreenTriangles out;
    std::int32_t behindCount = 0;
    for (const CameraCorner& c : corners)
        behindCount += c.z < kNearPlane ? 1 : 0;
    if (behindCount == 3)
        return out;
    if (behindCount == 0) {
        out.count = 1;
        out.corners[0] = screenTriangle(fine(corners[0]), fine(corners[1]), fine(corners[2]));
        return out;
    }
    // Rotate so that the odd one out (the one corner behind, or the one in
    // front) comes first; the winding stays.
    std::size_t first = 0;
    for (std::size_t i = 0; i < 3; ++i)
        if ((corners[i].z < kNearPlane) == (behindCount == 1))
            first = i;
    const CameraCorner& p = corners[first];
    const CameraCorner& q = corners[(first + 1) % 3];
    const CameraCorner& r = corners[(first + 2) % 3];
    if (behindCount == 1) {
        const FineCorner pq = ontoNearPlane(p, q);
        const FineCorner pr = ontoNearPlane(p, r);
        out.count = 2;
        out.corners[0] = screenTriangle(pq, fine(q), fine(r));
        out.corners[1] = screenTriangle(pq, fine(r), pr);
    } else {
        out.count = 1;
        out.corners[0] = screenTriangle(fine(p), ontoNearPlane(q, p), ontoNearPlane(r, p));
    }
    return out;
}

bool isPolygonCulled(const std::array<CameraCorner, 3>& corners, std::int32_t polygonFlags) {
    auto all = [&](auto test) {
        return std::ranges::all_of(corners, [&](const CameraCorner& c) { return test(c.z); });
    };
    if (all([](std::int32_t z) { return z > kFogEnd; }) || all([](std::int32_t z) { return z < kNearPlane; }))
        return true;
    return (polygonFlags & section_polygon_flags::kNearDetail) != 0 &&
           all([](std::int32_t z) { return z > kNearDetailLimit; });
}

std::int32_t fogPolygonColour(std::int32_t colour, std::int32_t zA, std::int32_t meanX,
                              std::int32_t polygonFlags) {
    const std::int32_t weight = fogWeight(zA);
    if (weight == 0)
        return colour;
    const RoadsideViewStatics& v = roadsideView();
    std::int32_t fog =
        (polygonFlags & section_polygon_flags::kGroundFog) != 0 ? v.s_fogColour : v.s_wallFogColour;
    if (v.s_weatherMode == kStripWeather && std::int64_t{v.s_weatherSpread} - meanX < 11)
        fog = static_cast<std::int32_t>(0xFFFFFFFFu);
    return blendColor(fog, colour, weight);
}

TexturedQuad placeTexturedQuad(const std::array<CameraCorner, 3>& corners, std::int32_t yD,
                               std::int32_t drawFlags) {
    TexturedQuad quad;
    const CameraCorner& a = corners[0];
    CameraCorner b = corners[1];
    CameraCorner c = corners[2];
    const std::int32_t zA = std::max(a.z, kNearPlane);
    if (c.z < kNearPlane) {
        // B at the depth of A leaves no edge to slide along (0 / 0): B keeps
        // its x.
        if (b.z != zA) {
            const std::int64_t slope = ((std::int64_t{b.x} - a.x) << kFraction) / (std::int64_t{b.z} - zA);
            b.x = static_cast<std::int32_t>(std::clamp<std::int64_t>(
                a.x + (saturatingMul(slope, kNearPlane - zA) >> kFraction),
                std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
        }
        b.z = kNearPlane;
        c.z = kNearPlane;
    } else if (b.z < kNearPlane) {
        return quad;
    }
    quad.xA = projectX(a.x, zA);
    quad.yA = projectY(a.y, zA);
    quad.xB = projectX(b.x, b.z);
    quad.yB = projectY(b.y, b.z);
    quad.yC = projectY(c.y, c.z);
    quad.yD = projectY(yD, zA);
    if (quad.xA > quad.xB) {
        // Its back faces the camera: shown only by a mirrored model.
        if ((drawFlags & section_draw_flags::kMirrored) == 0)
            return quad;
        std::swap(quad.xA, quad.xB);
        std::swap(quad.yA, quad.yB);
    }
    quad.drawn = true;
    return quad;
}

void clipAndFillPolygon(std::int32_t xA, std::int32_t zA, std::int32_t yA, std::int32_t xB, std::int32_t zB,
                        std::int32_t yB, std::int32_t xC, std::int32_t zC, std::int32_t yC, std::int32_t yD,
                        std::int32_t colour, std::int32_t polygonFlags, std::int32_t /*layer*/,
                        std::int32_t drawFlags, std::int32_t spriteDepth, std::int32_t spriteWidth) {
    const std::array<CameraCorner, 3> corners{CameraCorner{xA, zA, yA}, CameraCorner{xB, zB, yB},
                                              CameraCorner{xC, zC, yC}};
    if (isPolygonCulled(corners, polygonFlags))
        return;
    if ((polygonFlags & section_polygon_flags::kTexturedQuad) != 0) {
        drawTexturedQuad(corners, yD, colour, drawFlags, spriteDepth, spriteWidth);
        return;
    }
    platform::javax_microedition_lcdui_Graphics* g = loopStatics().s_graphics;
    if (!g) {
        rt::reportNullPointer();
        return;
    }
    const auto meanX = static_cast<std::int32_t>((std::int64_t{xA} + xB + xC) / 3);
    g->setColor(fogPolygonColour(colour, zA, meanX, polygonFlags));
    const ScreenTriangles triangles = clipToNearPlane(corners);
    for (std::int32_t i = 0; i < triangles.count; ++i) {
        const auto& t = triangles.corners[static_cast<std::size_t>(i)];
        fillClippedPolygon(t[0], t[1], t[2], t[3], t[4], t[5]);
    }
}

} // namespace game
