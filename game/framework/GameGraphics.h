#pragma once

// The game's drawing wrappers over `javax_microedition_lcdui_Graphics` and
// its translucent fill.
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

    RT_REFERENCE_FIELDS(GraphicsStatics, rt::NoReferenceBase, s_fillTile, s_fillTileImage, s_tileImages)
};

GraphicsStatics& graphicsStatics();

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
// `java_lang_System::arraycopy`.
void arraycopy(rt::Object* src, std::int32_t srcPos, rt::Object* dst, std::int32_t dstPos,
               std::int32_t length);

} // namespace game
