#pragma once

// What the frame draws after every state, and the small operations the
// states share around the state machine: the soft keys and the pause
// button painted over the frame, the loading bar's reset, leaving a race by
// its type, the race-goal texts, unloading a sprite slot, the decorative
// image column and the frame-rate counters.
//
// Threads: the game thread only.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Graphics;
class javax_microedition_lcdui_Image;
} // namespace platform

namespace game {

// The font of the soft-key labels and the palette they are drawn in.
inline constexpr std::int32_t kSoftKeyFont = 2;
inline constexpr std::int32_t kSoftKeyPalette = 1;

struct OverlayStatics {
    // The loading bar, all reset together by `initLoadingBar`: the load
    // kinds still to run (bits 2, 4, 8), the steps of the running kind, the
    // bar's value when a kind is complete, the bar's value, the running
    // kind's step and the slot a step walks over several frames, and whether
    // every kind has run.
    std::int32_t s_loadingStyle = 0;
    std::int32_t s_loadingBarHeight = 0;
    std::int32_t s_loadingBarWidth = 0;
    std::int32_t s_loadingProgress = 0;
    std::int32_t s_loadingStep = 0;
    std::int32_t s_loadingSubStep = 0;
    std::int32_t s_loadingDone = 0;
    // The two race-goal texts (String[2]), made once.
    rt::ObjectArray* s_goalTexts = nullptr;
    // Frame-rate counters: device ticks of the last frame and of the start,
    // frames counted, and the display's two switches.
    std::int64_t s_fpsLastTick = 0;
    std::int64_t s_fpsStartTick = 0;
    std::int32_t s_fpsFrames = 0;
    std::int8_t s_fpsShown = 0;
    std::int8_t s_fpsBackground = 0;
    // The image the side column repeats.
    platform::javax_microedition_lcdui_Image* s_columnImage = nullptr;
    // The game's byte table of doubled values; none of this game's data
    // fills it, so it stays null.
    rt::ByteArray* s_byteTable = nullptr;

    RT_REFERENCE_FIELDS(OverlayStatics, rt::NoReferenceBase, s_goalTexts, s_columnImage, s_byteTable)
};

OverlayStatics& overlayStatics();

// The soft keys and the pause button, once per frame after the state's paint.
void paintOverlay(platform::javax_microedition_lcdui_Graphics* graphics);
// The race of game mode 6: the left soft key with label 3, when it exists.
void paintRaceSoftKey(platform::javax_microedition_lcdui_Graphics* graphics);

// The column image `n` times from `y` down, 14 pixels apart, at x 0.
void drawImageColumn(std::int32_t y, std::int32_t n);
// With bit 0 of `flags`: a column over the whole screen height.
void paintEdgeColumn(std::int32_t flags);
void resetFpsCounter();
// The debug frame-rate display: counts the frame and draws, at the top left
// in white, the rate of this frame since the last, the average rate since
// `resetFpsCounter` (both in frames a second with two decimals, "25.00") and
// the player's car value, each behind its label (constant strings 140 to
// 142); with the background switch on a black band as high as the font.
// Frames less than 1 ms apart count as 1 ms. Answers the text; it is drawn
// only while the game has a Graphics.
rt::String* paintFpsCounter();

// The loading bar's size by style, that of the kind that runs first (2,
// then 8, then 4); 0 by 0 for none of them.
std::int32_t loadingBarHeight(std::int32_t style);
std::int32_t loadingBarWidth(std::int32_t style);
void initLoadingBar(std::int32_t style);
std::int32_t getLoadingProgress();

// Frees the images of sprite `i` when its slot holds one, and empties the slot.
void unloadSprite(std::int32_t i);
// Clears the HUD bits and goes where the current race's type leads: the
// results (43), back to the race-end menu (36), or through the loading
// state to the main menu (type 6) or the text screen (38).
void leaveRace();
// Fills the two goal texts by game mode (made once, refilled every call).
void buildRaceGoalTexts();

void setSoundOption(bool on);
bool isSoundOn();
// (v & 127) x 2, and whether bit 7 is set.
std::int32_t doubleLow7(std::int32_t v);
bool isBit7Set(std::int32_t v);
// `doubleLow7` of entry `i` of the byte table; 0 when there is no table or
// no entry `i`.
std::int32_t getByteTableDouble(std::int32_t i);
// Mode 1: false; mode 2: true; else whether `v` is non-zero.
bool pickFlag(std::int32_t v, std::int32_t mode);
// Whether to ask the player about sound, stored in the ask-sound flag: yes
// unless the MIDlet's sound-question property, trimmed, is "0" (constant
// string 31). Without a MIDlet the answer is yes.
bool readAppPropertyFlag();

} // namespace game
