#pragma once

// The scenery strips: textured bands up to four per segment that run along
// the track beside or across the road. Each frame the strips' cross-sections
// are projected at every road slice (`computeSceneryStrips`), then the
// trapezoids between a cross-section and the one it links to at the next
// slice are filled with the strip texture into an off-screen ARGB buffer,
// which is drawn with one `drawRGB` when anything was filled.
//
// The buffer is the view's width wide and its rows run from the far end of
// the road (`s_sliceScreenY`[15]) down to the bottom of the screen; it is
// made once at race set-up. Only the rows and columns that spans wrote are
// drawn, and only those are cleared again after the draw, so the buffer is
// transparent whenever a frame starts.
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

inline constexpr std::int32_t kScenerySlots = 4;
// Every strip is 32 world units wide.
inline constexpr std::int32_t kSceneryHalfWidth = 16;
// Cross-sections nearer than this are moved along their link onto it.
inline constexpr std::int32_t kSceneryNearDepth = 200;
// The one `fillTexturedSpan` mode: u across the strip, v down the rows,
// texels copied as they are.
inline constexpr std::int32_t kSpanCopyMode = 4;

struct SceneryStatics {
    // Per segment: bits 0..3 of byte 3 x segment name the slots it has;
    // lateral offset and position in the segment at 8 x segment + 2 slot
    // (+ 1); the slot at the next slice that a strip joins at 4 x segment +
    // slot (negative: none).
    rt::ByteArray* s_sceneryFlags = nullptr;
    rt::ShortArray* s_sceneryOffsets = nullptr;
    rt::ByteArray* s_sceneryLinks = nullptr;
    // Per slice i and slot j: the screen centre (x at 8 i + 2 j, y after it)
    // and the half width at 4 i + j, 0 where there is no cross-section.
    std::int32_t s_sceneryPoints[8 * 16] = {};
    std::int32_t s_sceneryHalfWidths[4 * 16] = {};
    rt::IntArray* s_sceneryTexture = nullptr;
    std::int32_t s_sceneryTextureWidth = 0;
    std::int32_t s_sceneryTextureHeight = 0;
    // The buffer made at race set-up: width x rows.
    rt::IntArray* s_sceneryBuffer = nullptr;
    std::int32_t s_sceneryBufferWidth = 0;
    std::int32_t s_sceneryBufferRows = 0;
    // The span painter's target and texture, and the box (left, top; right,
    // bottom exclusive) it has written since the target was last drawn.
    rt::IntArray* s_spanTarget = nullptr;
    std::int32_t s_spanTargetWidth = 0;
    std::int32_t s_spanTargetHeight = 0;
    rt::IntArray* s_spanTexture = nullptr;
    std::int32_t s_spanTextureWidth = 0;
    std::int32_t s_spanTextureHeight = 0;
    bool s_spanTargetDrawn = false;
    std::int32_t s_spanLeft = 0;
    std::int32_t s_spanTop = 0;
    std::int32_t s_spanRight = 0;
    std::int32_t s_spanBottom = 0;

    RT_REFERENCE_FIELDS(SceneryStatics, rt::NoReferenceBase, s_sceneryFlags, s_sceneryOffsets, s_sceneryLinks,
                        s_sceneryTexture, s_sceneryBuffer, s_spanTarget, s_spanTexture)
};

SceneryStatics& sceneryStatics();

// Race set-up: the three scenery tables from the track's strip records
// (`s_trackShorts` in sets of six: segment, slot, lateral, position, link,
// spare; a record naming a segment outside the ring or a slot outside 0..3
// is skipped), the texture, and the buffer for a view `viewWidth` wide on a
// screen `rows` high.
void setupScenery(rt::IntArray* texture, std::int32_t textureWidth, std::int32_t textureHeight,
                  std::int32_t viewWidth, std::int32_t rows);

bool hasSceneryStrip(std::int32_t segment, std::int32_t slot);
// Projects each strip's cross-section at slices 0..14; slice 15 has none.
// A link outside 0..3 or two equal depths on the near clip give none.
void computeSceneryStrips();
// Fills the pieces between the slices into the buffer and draws it; answers
// whether anything was drawn.
bool paintSceneryBuffer();

// Fills the trapezoid between the far edge (farLeft..farRight at row farY)
// and the near edge (nearLeft..nearRight at row nearY) of the span target
// from the span texture, the rows and columns cut to the target. Mode 4
// copies texels; any other mode fills nothing.
void fillTexturedSpan(std::int32_t farLeft, std::int32_t farRight, std::int32_t farY, std::int32_t nearLeft,
                      std::int32_t nearRight, std::int32_t nearY, std::int32_t mode);
// Clears `count` ints of `target` from `from` to transparent; a range not
// inside the array is reported and clears nothing.
void fillFromPattern(rt::IntArray* target, std::int32_t from, std::int32_t count);

} // namespace game
