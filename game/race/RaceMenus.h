#pragma once
// The states that stand over a running or finished race: the pause menu
// (33) with its options (34) and help (35), the three yes/no questions (7
// leave the game, 8 quit the race, 9 restart it) and the menu after a race
// (36). Each paints the race below it first, through the race's paint seam
// (RaceView.h), whose painter shows the state `pictureState` names.
//
// Game thread only.
#include "game/framework/States.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

struct RaceMenuStatics {
    // The state below the pause menu when it opened (0, no state, when the
    // stack is shallower than 2 or deeper than 33): the questions, the help
    // and the options paint it under themselves.
    State s_pausedState{};
    // The pause menu's selection, kept when the menu is left.
    std::int32_t s_pauseMenuItem = 0;
    // The track the after-race menu's next race loads (-1 none).
    std::int32_t s_nextTrack = -1;
    // The after-race menu offers the next race.
    std::int8_t s_nextRaceOffered = 0;

    RT_NO_REFERENCE_FIELDS(RaceMenuStatics, rt::NoReferenceBase)
};

RaceMenuStatics& raceMenuStatics();

// The pause menu's items: the full menu, or the short one (no restart) in
// a championship or the guided race.
bool isShortPauseMenu();
// Whether the current event is the last of its list.
bool isLastEvent();
// Whether the after-race menu offers the next race: game mode 0, the next
// track is loaded and unlocked.
bool isNextRaceOffered();

// The handlers of states 33, 34, 35, 7, 8, 9 and 36, and their
// registration.
void statePauseMenu(std::int32_t message);
void stateRaceOptions(std::int32_t message);
void stateRaceHelp(std::int32_t message);
void stateExitConfirm(std::int32_t message);
void stateQuitRaceConfirm(std::int32_t message);
void stateRestartConfirm(std::int32_t message);
void stateRaceEndMenu(std::int32_t message);
void registerRaceMenus();

// The race state whose picture the current screen shows: the paused state
// under the pause menu, its options, help and questions; else the current
// state.
State pictureState();
// Whether that picture carries the head-up display: the countdown, and the
// race until it has finished.
bool isHudPictured();

// The race's view pass steps of the head-up display around the painter:
// before it the intro (on the countdown's picture, by the frame's
// milliseconds) and the display's own step; after it the closing step.
void raceHudViewPass();
void raceHudClosingPass();

} // namespace game
