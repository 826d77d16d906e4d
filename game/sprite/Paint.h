#pragma once

// Painting a sprite at its three levels: a module (a rectangle of pixels or
// a primitive shape), a frame (its frame-modules in record order, later ones
// on top) and an animation frame (a frame at an offset, placed by a
// hotspot); and measuring a frame by running the same descent without a
// Graphics.
//
// Flags: bit 0 mirrors left-right, bit 1 top-bottom, bit 2 turns a quarter
// clockwise after the mirrors (a module's width and height exchange); bit 3
// rides along to the module and is ignored there. A frame-module's or an
// animation frame's own flags combine with the caller's by exclusive or.
// Mirroring moves the offsets (a frame mirrors about its own origin); the
// quarter turn does not (each module turns in place).
//
// An image module is drawn from its cached image of the current palette
// (ImageCaches.h) with drawImage or drawRegion, else decoded into the shared
// pixel buffer and drawn with `drawRGB`; a module wholly outside the clip is
// skipped before any decode. Indexes are the caller's to get right: an index
// outside a table logs through the checked access and reads 0.
//
// State: the paint mode and the measure rectangle (SpriteStatics.h,
// PaintStatics below) are shared; a measure must not start inside another.
// Threads: the game thread only.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

class ASprite;

inline constexpr std::int32_t kPaintModeDraw = 0;
inline constexpr std::int32_t kPaintModeMeasure = 1;

struct PaintStatics {
    // The rectangle a measure grows; right and bottom exclusive.
    std::int32_t s_measureMinX = 0;
    std::int32_t s_measureMinY = 0;
    std::int32_t s_measureMaxX = 0;
    std::int32_t s_measureMaxY = 0;
    // What `paintFrameAligned` measures into (left, top, right, bottom).
    rt::IntArray* s_spanRect = nullptr;
    // Milliseconds per unit of an animation frame's time.
    std::int32_t s_aframeTimeUnit = 0;

    RT_REFERENCE_FIELDS(PaintStatics, rt::NoReferenceBase, s_spanRect)
};

PaintStatics& paintStatics();

// Sets up the painting statics: the span rectangle and the animation time
// unit from the configured frame rate. Runs once at start-up.
void paintStaticInit();

// Draws `module` with its (transformed) top-left corner at (x, y). In
// measure mode (g null) it grows the measure rectangle by the module's
// drawn rectangle instead, primitive modules included.
void paintModule(ASprite* sprite, platform::javax_microedition_lcdui_Graphics* g, std::int32_t module,
                 std::int32_t x, std::int32_t y, std::int32_t flags);
// Frame-module `index` of `frame` with the frame's origin at (x, y). hx and
// hy serve only nested frames, which this game does not have.
void paintFModule(ASprite* sprite, platform::javax_microedition_lcdui_Graphics* g, std::int32_t frame,
                  std::int32_t index, std::int32_t x, std::int32_t y, std::int32_t flags, std::int32_t hx,
                  std::int32_t hy);
void paintFrame(ASprite* sprite, platform::javax_microedition_lcdui_Graphics* g, std::int32_t frame,
                std::int32_t x, std::int32_t y, std::int32_t flags, std::int32_t hx, std::int32_t hy);
// Animation frame `aframe` of `anim` with the hotspot (hx, hy) at (x, y):
// the frame's origin lands at (x - hx + ax, y - hy + ay), the record's
// offset negated in x under flag bit 0 and in y under bit 1.
void paintAFrame(ASprite* sprite, platform::javax_microedition_lcdui_Graphics* g, std::int32_t anim,
                 std::int32_t aframe, std::int32_t x, std::int32_t y, std::int32_t flags, std::int32_t hx,
                 std::int32_t hy);

// The bounding rectangle of `frame` drawn at (x, y) with `flags`, into
// rect[0..3] as (left, top, right, bottom), right and bottom exclusive. A
// frame without modules gives (INT_MAX, INT_MAX, INT_MIN, INT_MIN).
void getFrameRect(ASprite* sprite, rt::IntArray* rect, std::int32_t frame, std::int32_t x, std::int32_t y,
                  std::int32_t flags);
// Right - left and bottom - top of the frame measured at the origin.
std::int32_t getFrameWidth(ASprite* sprite, std::int32_t frame);
std::int32_t getFrameHeight(ASprite* sprite, std::int32_t frame);

// Paints frame base + offset at (x, y) on the frame's Graphics, measures it
// at the origin into `s_spanRect`, and answers |left| + |right|.
std::int32_t paintFrameAligned(ASprite* sprite, std::int32_t base, std::int32_t offset, std::int32_t x,
                               std::int32_t y);
// Paints, on the frame's Graphics, the animation frame that the ratio
// num / den reaches (frame count x num / den, at most the last) and answers
// whether the ratio has run past the last frame. A zero `den` paints frame
// 0 and answers false; an animation without frames paints nothing and
// answers true.
bool paintAFrameByRatio(ASprite* sprite, std::int32_t anim, std::int32_t x, std::int32_t y,
                        std::int32_t ignored, std::int32_t num, std::int32_t den);

} // namespace game
