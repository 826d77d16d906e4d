#pragma once
// The race's side of the head-up display: the values the display shows
// that move from one painted frame to the next (its intro, the collected
// count the gauge shows, the item slot that empties, the offer's time, the
// split's time on show and the screen shake, which the display takes back).
// They change here, in the view pass around the painter, never inside a
// paint: a frame leaves the same race state with or without a painter.
//
// The display's layout kind, element bits and intro values live with the
// sprite engine's HUD statics (TextLayout.h), where the race set-up starts
// them.
//
// Game thread only.
#include "runtime/Object.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// Element bits of the display, in the order they are drawn.
namespace hud_bits {
inline constexpr std::int32_t kRacerStrip = 0x1;
inline constexpr std::int32_t kLapDisplay = 0x10;
inline constexpr std::int32_t kCollectedBox = 0x200;
inline constexpr std::int32_t kLapCounter = 0x8;
inline constexpr std::int32_t kCollectedGauge = 0x80000;
inline constexpr std::int32_t kTargetTimes = 0x40;
inline constexpr std::int32_t kTargetNumbers = 0x80;
inline constexpr std::int32_t kStopZoneTime = 0x100;
inline constexpr std::int32_t kSectionTime = 0x400;
inline constexpr std::int32_t kEventTimes = 0x800;
inline constexpr std::int32_t kScore = 0x1000;
inline constexpr std::int32_t kStopGo = 0x20000;
inline constexpr std::int32_t kPoints = 0x40000;
inline constexpr std::int32_t kSecondSectionTime = 0x2000;
inline constexpr std::int32_t kSplitTimes = 0x10000;
inline constexpr std::int32_t kItemPanel = 0x100000;
} // namespace hud_bits

// The guided race's game mode.
// A split stays on show for this many paints.
inline constexpr std::int32_t kSplitShownPaints = 51;

struct HudStateStatics {
    // The collected count the gauge shows: one step per painted frame
    // towards the player's `m_collected`.
    std::int32_t s_collectedShown = 0;
    // The finish overlay: its animation player (an `OrvelLibPlayer`, null
    // none), whether the overlay and its place number show, and where.
    rt::Object* s_finishPlayer = nullptr;
    std::int8_t s_finishShown = 0;
    std::int8_t s_finishAnimShown = 0;
    std::int32_t s_finishX = 320;
    std::int32_t s_finishY = 200;

    RT_REFERENCE_FIELDS(HudStateStatics, rt::NoReferenceBase, s_finishPlayer)
};

HudStateStatics& hudStateStatics();

// Sets the display's phase (0 hidden, 1 intro, 2 shown); the start sequence
// starts the intro with it.
void setHudPhase(std::int32_t phase);
// Runs the intro by `dt`: its time and the two slide offsets fall
// together, and once the time is below 1 all three are 0 and the phase is
// 2. In phase 2 with the lap display on, its show time runs down.
void updateHudIntro(std::int32_t dt);

// Whether the display shows element `bit` now: its bit is set, the phase is
// not 0, and it is not one of the race-only elements outside the race
// state, nor a racer-strip, lap or gauge element in the guided race.
bool isHudElementShown(std::int32_t bit);
// The slot the item panel shows: 3 while the guide's step 6 runs, else the
// player's `m_itemSlot`.
std::int32_t hudItemSlot();

// Before the painter, where a paint shows the display: the item slot that
// holds nothing in use empties, and the gauge's count takes its step.
void hudViewPass();
// After the painter: the shake is taken back (also while the display is
// hidden), the split paints are counted, and an offered item's time runs
// down by the frame's race time.
void hudClosingPass();

// The finish animation, made when the race ends: a player on the finish
// overlay's sprite at the overlay's place, started at its first frame when
// it holds an animation.
void startFinishAnimation();
// Advances the finish animation by one outro step (50 ms); answers whether
// it has played out (at once when it holds no animation).
bool advanceFinishAnimation();

} // namespace game
