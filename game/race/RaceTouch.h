#pragma once
// The race's touch controls: the zones of the race button, the screen's
// halves, the HUD panel and button, the bottom button and the pause button,
// tested against the stylus as the framework latches it (Touch.h).
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// Frames the pointer stays on the HUD button before it counts.
inline constexpr std::int32_t kHudButtonHoldFrames = 21;
// The player car's drive mode that listens to the HUD button.
inline constexpr std::int32_t kHeldButtonDriveMode = 3;

struct RaceTouchStatics {
    // The in-race touch controls and the automatic pause are off: set in
    // the flyover, the racer intro and when the pause menu opens.
    std::int8_t s_raceControlsOff = 0;
    // Frames the pointer has stayed on the HUD button.
    std::int32_t s_hudButtonFrames = 0;

    RT_NO_REFERENCE_FIELDS(RaceTouchStatics, rt::NoReferenceBase)
};

RaceTouchStatics& raceTouchStatics();

// In the race state only: the latched pointer lies in the band across the
// left half of the screen as high as the action button (of
// `kRaceTouchSprite`), centred on the screen's middle row, edges included, and neither on
// the action button nor on the HUD panel.
bool isPointerOnRaceLeftHalf();
// False while the controls are off, or unless the player's car listens to
// the button (drive mode 3) or the race is the guided one. Counts the
// frames the pointer stays on the HUD button (zones built on first use);
// on the 21st the count restarts, the car's drive mode becomes -1 and the
// answer is true. A frame off the button answers false and keeps the count.
bool isHudButtonHeld();

// The fixed zones of the race's controls, tested against the held stylus
// (the latched point for the bottom button outside the race).
bool isPointerOnRaceButton();
bool isPointerOnRaceRightHalf();
bool isPointerOnHudPanel();
bool isPointerOnBottomButton();
bool isPointerOnBottomButtonInRace();
void buildPauseButtonZone();
// In the countdown and the race: the pause button's frame; a press on it
// marks the button used and pushes the pause menu. Answers whether it did.
bool touchRaceStartButtons();
// The HUD button's zone: the item slot's frame at the slot's place, made once.
void buildHudButtonZones();
// A press went down this frame on the HUD button's zone, once a race that
// listens to the button has made it: the touch that uses the held item, as
// the fire key does.
bool isPressOnItemSlot();

} // namespace game
