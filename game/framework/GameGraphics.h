#pragma once

// The game's drawing wrappers over `javax_microedition_lcdui_Graphics`, its
// colour and blending routines, and the screen-effect flags with their
// default parameters.
//
// Two library mechanisms sit between the game and the Graphics, each on only
// when its configuration switch and its own flag here are both set (neither
// is in this game): screen scaling, which maps every coordinate by a shift or
// by a ratio before the call, and the virtual screen, which keeps a clip of
// its own in place of the Graphics clip.
//
// Wrappers that take no Graphics draw on the game's (`loopStatics().s_graphics`).
// A null Graphics is reported as a null access and the call does nothing.
// Threads: the game thread only.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <array>
#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
class javax_microedition_lcdui_Image;
} // namespace platform

namespace game {

// Screen effects 0..11; `applyRenderEffect` knows the defaults of 0, 1 and 7..11.
inline constexpr std::int32_t kRenderEffectCount = 12;
// Room in each effect's parameter array (effect 9 uses the most, 15).
inline constexpr std::int32_t kRenderParamCount = 16;
// The effect bits that need the effects switch or the virtual screen.
inline constexpr std::int32_t kSwitchedEffectBits = 0x27F;

struct GraphicsStatics {
    // Screen scaling: on when the configuration's scaling switch and this flag
    // are set; by shifts in shift mode, else by the ratios.
    std::int8_t s_screenScaled = 0;
    std::int8_t s_scaleByShift = 0;
    std::int32_t s_scaleShiftX = 0;
    std::int32_t s_scaleShiftY = 0;
    std::int32_t s_scaleNumeratorX = 1;
    std::int32_t s_scaleDenominatorX = 1;
    std::int32_t s_scaleNumeratorY = 1;
    std::int32_t s_scaleDenominatorY = 1;

    // The virtual screen: on when the configuration's switch and this flag
    // are set; its clip rectangle then stands for the Graphics clip.
    std::int8_t s_virtualScreenActive = 0;
    std::int32_t s_virtualClipX = 0;
    std::int32_t s_virtualClipY = 0;
    std::int32_t s_virtualClipWidth = 0;
    std::int32_t s_virtualClipHeight = 0;

    // The translucent fill tile (side x side entries of one ARGB colour), the
    // image made from it in image mode, and what they were made for.
    rt::IntArray* s_fillTile = nullptr;
    platform::javax_microedition_lcdui_Image* s_fillTileImage = nullptr;
    std::int32_t s_fillColour = 0;
    std::int32_t s_fillTileSide = 0;
    // The images of the last few colours at the current side, kept so that a
    // paint alternating between translucent colours (a panel's band and its
    // shade) makes no image a frame: slot k holds the image of colour k.
    rt::ObjectArray* s_tileImages = nullptr;
    std::array<std::int32_t, 4> s_tileImageColours{};
    std::int32_t s_tileImageNext = 0;

    // Screen effects: the effect mask, the two pending words, and one int
    // array of parameters per effect.
    std::int32_t s_renderFlags = 0;
    std::int32_t s_pendingFlags = 0;
    std::int32_t s_pendingFlagsB = 0;
    rt::ObjectArray* s_renderParams = nullptr;

    RT_REFERENCE_FIELDS(GraphicsStatics, rt::NoReferenceBase, s_fillTile, s_fillTileImage, s_tileImages,
                        s_renderParams)
};

GraphicsStatics& graphicsStatics();

// Makes the effects' parameter arrays. Run once by the static initialisation.
void initGameGraphics();

// Coordinates through the screen scaling (unchanged while it is off).
std::int32_t screenScaleX(std::int32_t x);
std::int32_t screenScaleY(std::int32_t y);

// Sets the clip (scaled): the virtual screen's when it is on, else the
// Graphics' followed, with the double-clip switch, by clipRect of the same.
void setClip(platform::javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w,
             std::int32_t h);
// Intersects the clip with the rectangle: the virtual screen's (an empty
// intersection stored with width or height 0), else the Graphics'.
void clipRect(platform::javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w,
              std::int32_t h);
// The clip: the virtual screen's while it is on, else the Graphics'.
std::int32_t getClipX(platform::javax_microedition_lcdui_Graphics* g);
std::int32_t getClipY(platform::javax_microedition_lcdui_Graphics* g);
std::int32_t getClipWidth(platform::javax_microedition_lcdui_Graphics* g);
std::int32_t getClipHeight(platform::javax_microedition_lcdui_Graphics* g);
// Whether drawing must take the alpha path: always with the virtual screen.
bool needsAlphaPath(bool flag);

// An anchor with VCENTER (2) becomes one with BASELINE (64) instead.
std::int32_t fixTextAnchor(std::int32_t anchor);
// Draws `text` on the game's Graphics at the scaled point, the anchor fixed.
void drawString(rt::String* text, std::int32_t x, std::int32_t y, std::int32_t anchor);
// setColor((r << 16) | (g << 8) | b) on the game's Graphics.
void setColorRGB(std::int32_t red, std::int32_t green, std::int32_t blue);
// `Image::createRGBImage`, with alpha forced on by the configuration.
platform::javax_microedition_lcdui_Image* createRGBImage(rt::IntArray* rgb, std::int32_t width,
                                                         std::int32_t height, bool processAlpha);
// drawRGB of the rectangle cut to the screen (or the virtual screen's clip),
// the source offset moved along with the cut. With the translate switch the
// cut is made in screen positions, (x, y) plus the translation, and the
// pixels are drawn with the translation undone for the call.
void drawRGBClipped(platform::javax_microedition_lcdui_Graphics* g, rt::IntArray* rgb, std::int32_t offset,
                    std::int32_t scanLength, std::int32_t x, std::int32_t y, std::int32_t width,
                    std::int32_t height, bool processAlpha);
// Prepares the translucent fill tile for `argb` (and its image in image
// mode); nothing is redone while the colour and the tile side stay.
void setFillColor(std::int32_t argb);
// fillRect of the scaled rectangle in the Graphics' colour.
void fillRect(platform::javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y, std::int32_t w,
              std::int32_t h);
// The rectangle, cut to the clip, covered with the tile `setFillColor`
// prepared: its image tiled in image mode, else its pixels drawn with alpha.
// The clip is the cut rectangle while the tiles are drawn and is then set back
// to what it was. An empty cut, or no tile prepared, draws nothing.
void fillRectAlpha(platform::javax_microedition_lcdui_Graphics* g, std::int32_t x, std::int32_t y,
                   std::int32_t w, std::int32_t h);

// Over a width x height rectangle, rows `scan` entries apart in each array:
// each ARGB channel of `src` added into `dst`, saturating at 255.
void blendAdd(rt::IntArray* src, std::int32_t srcOffset, std::int32_t srcScan, rt::IntArray* dst,
              std::int32_t dstOffset, std::int32_t dstScan, std::int32_t width, std::int32_t height);
// As `blendAdd`, each destination channel growing by src * dst >> 6.
void blendModulate(rt::IntArray* src, std::int32_t srcOffset, std::int32_t srcScan, rt::IntArray* dst,
                   std::int32_t dstOffset, std::int32_t dstScan, std::int32_t width, std::int32_t height);
// The top 16 bits kept, the red byte copied into green and blue.
std::int32_t greyFromRed(std::int32_t rgb);
// `java_lang_System::arraycopy`.
void arraycopy(rt::Object* src, std::int32_t srcPos, rt::Object* dst, std::int32_t dstPos,
               std::int32_t length);

// Sets bit n of the effect mask (dropped again for the bits of 0x27F unless
// effects or the virtual screen are on; bits 0..4 also go to the pending
// mask) and, with `apply`, writes effect n's defaults.
void setRenderFlag(std::int32_t n, bool apply);
// Writes effect n's default parameters when its switch is on; other
// effects and switched-off ones are left alone.
void applyRenderEffect(std::int32_t n);
bool hasRenderFlag(std::int32_t n);
void setPendingFlag(std::int32_t n);
bool hasPendingEffects();
// Effect n's parameter array (reported and null for n outside 0..11).
rt::IntArray* renderParams(std::int32_t n);

} // namespace game
