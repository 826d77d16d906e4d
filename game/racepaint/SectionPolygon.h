#pragma once

// One polygon primitive of a section model, given in camera space: culled
// when wholly too far or behind the camera, faded toward the fog by the
// depth of its first corner, clipped against the near plane at depth 10,
// projected and filled as one or two triangles on the frame's Graphics.
// With `kTexturedQuad` it is instead a sprite frame stretched over a quad.
//
// The near clip keeps twelve fraction bits of a corner moved onto the
// plane and projects from them, so the filled area follows the exact
// clipped polygon to within the screen's integer rounding. Every product
// is taken in 64 bits and held at the ends of the range.
//
// Game thread only.
#include <array>
#include <cstdint>

namespace game {

namespace section_polygon_flags {
// Culled beyond depth 11520 instead of 15360.
inline constexpr std::int32_t kNearDetail = 0x100;
// Fades into the ground's fog colour instead of the walls'.
inline constexpr std::int32_t kGroundFog = 0x200;
inline constexpr std::int32_t kTexturedQuad = 0x1000;
} // namespace section_polygon_flags

namespace section_draw_flags {
inline constexpr std::int32_t kFlipped = 0x400;
inline constexpr std::int32_t kMirrored = 0x800;
} // namespace section_draw_flags

inline constexpr std::int32_t kNearPlane = 10;

// A corner in camera space: lateral x, depth z, height y.
struct CameraCorner {
    std::int32_t x;
    std::int32_t z;
    std::int32_t y;
};

// The screen triangles (x1, y1, x2, y2, x3, y3) of the part of a triangle at
// depth 10 or more: none, one, or two sharing a diagonal.
struct ScreenTriangles {
    std::int32_t count = 0;
    std::array<std::array<std::int32_t, 6>, 2> corners = {};
};

ScreenTriangles clipToNearPlane(const std::array<CameraCorner, 3>& corners);

// Whether the polygon is culled before anything else: all corners beyond
// 15360 (11520 with `kNearDetail`) or all behind the near plane (a polygon
// at depth 10 is drawn).
bool isPolygonCulled(const std::array<CameraCorner, 3>& corners, std::int32_t polygonFlags);

// The filled polygon's colour after the fog: `colour` faded by the weight of
// depth `zA` into the walls' fog colour (the ground's with `kGroundFog`), or
// into white in weather mode 1 when `s_weatherSpread` - `meanX` < 11.
std::int32_t fogPolygonColour(std::int32_t colour, std::int32_t zA, std::int32_t meanX,
                              std::int32_t polygonFlags);

// The screen quad of a textured primitive (sprite `s_sectionQuadSprite`): x of A and B with their rows, the
// rows of the third corner and of D; `drawn` false when it is not drawn.
struct TexturedQuad {
    bool drawn = false;
    std::int32_t xA = 0, yA = 0, xB = 0, yB = 0, yC = 0, yD = 0;
};
TexturedQuad placeTexturedQuad(const std::array<CameraCorner, 3>& corners, std::int32_t yD,
                               std::int32_t drawFlags);

// Draws the primitive (corners A, B, C in camera space; `yD` the height of
// a fourth corner above A, read by textured quads). `layer` is not read.
void clipAndFillPolygon(std::int32_t xA, std::int32_t zA, std::int32_t yA, std::int32_t xB, std::int32_t zB,
                        std::int32_t yB, std::int32_t xC, std::int32_t zC, std::int32_t yC, std::int32_t yD,
                        std::int32_t colour, std::int32_t polygonFlags, std::int32_t layer,
                        std::int32_t drawFlags, std::int32_t spriteDepth, std::int32_t spriteWidth);

} // namespace game
