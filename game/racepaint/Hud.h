#pragma once
// The race's head-up display: a fixed set of elements over the race scene,
// each switched on by a bit of the display's element bits (HudState.h) and
// drawn in one order, with frames of the sprite table and texts in the
// display's font (font 2, its palette chosen per text). Coordinates are
// the game's 640 x 480 screen.
//
// The painters only read: what moves from frame to frame (the intro, the
// gauge's count, the split paints, the offer's time, the shake) is moved by
// the view pass around them (HudState.h). Texts are composed in the shared
// text buffer and drawn from it (HudText.h), so a frame makes no object.
//
// Game thread only.
#include "game/framework/MenuFrames.h"
#include "game/framework/SpriteSlots.h"
#include "game/race/DrivingTuning.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The white of the HUD's boxes and of the start line.
inline constexpr std::int32_t kWhite = 0xFFFFFF;

class ASprite;

// The item whose icon depends on the driver kind.
inline constexpr std::int32_t kDriverItem = 8;

struct HudPaintStatics {
    // y of the place number (x 540) and of the lap counter (x 440): their
    // numbers stand on it, under the racer strip's badges (40 px from y 1).
    std::int32_t s_positionY = 106;
    std::int32_t s_lapY = 106;
    // The frame of `kMenuItemSprite` whose width keeps the right-hand
    // values clear of the button in the top right corner.
    std::int32_t s_hudButtonFrame = kPauseFrame;
    // Numbers of exactly four digits go without a separator.
    std::int8_t s_numberSeparatorDigits = 1;
    // By driver kind: the frame of `kRaceIconSprite` that shows item 8.
    rt::IntArray* s_driverItemFrames = nullptr;
    // The frame box (x, y, w, h) the painters read a sprite frame's boxes
    // into, made once: a painted frame makes no object.
    rt::IntArray* s_frameBox = nullptr;

    RT_REFERENCE_FIELDS(HudPaintStatics, rt::NoReferenceBase, s_driverItemFrames, s_frameBox)
};

HudPaintStatics& hudPaintStatics();

// Makes the display's tables and its text array. Runs once at start-up.
void hudPaintStaticInit();

// The configured game screen.
std::int32_t raceScreenWidth();
std::int32_t raceScreenHeight();

// Sprite `number` of the sprite table; null while the slot holds none.
ASprite* raceSprite(std::int32_t number);
// Frame `frame` of sprite `number` at (x, y) on the frame's Graphics;
// nothing while the sprite is missing or lacks the frame.
void paintRaceFrame(std::int32_t number, std::int32_t frame, std::int32_t x, std::int32_t y);
std::int32_t raceFrameWidth(std::int32_t number, std::int32_t frame);
// An opaque rectangle in `rgb` on the frame's Graphics.
void fillRaceRect(std::int32_t rgb, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
std::int32_t raceFrameHeight(std::int32_t number, std::int32_t frame);
// Box `box` of frame `frame` of `sprite` read into the shared frame box
// (`s_frameBox`), all 0 without the sprite or the box; null only when the
// box cannot be made. The next call overwrites it.
rt::IntArray* raceFrameBox(ASprite* sprite, std::int32_t frame, std::int32_t box);
// The frame of `kRaceIconSprite` that shows item `item` for the player; -1
// for an item (or a driver kind) outside the tables.
std::int32_t itemIconFrame(std::int32_t item);

// The display: the shake taken off its drawing (and put back after it),
// then, unless its phase is 0, every element shown in its order.
void paintHud();
// While the latched point is on the HUD button: a translucent fill of the
// button grown by a pixel on every side, in the colour 0xFF0000 (whose
// alpha of 0 leaves the pixels as they were).
void paintHudButtons();

// The elements, in their order.
void paintHudRacerStrip();
void paintHudPosition();
void paintHudCollectedBox();
void paintHudLapCounter();
void paintHudCollectedGauge();
void paintHudTargetTimes();
void paintHudTargetNumbers();
// The big time of `bit` (0x100, 0x400 or 0x2000).
void paintHudBigTime(std::int32_t bit, std::int32_t time);
void paintHudTwoTimes(std::int32_t first, std::int32_t second);
void paintHudNoticePanel();
void paintHudCentredNumber(std::int32_t value);
void paintHudSplitTimes();
void paintHudItemPanel();

} // namespace game
