#pragma once
// The states that stand over a running or finished race: the pause menu
// (33) with its options (34) and help (35), the three yes/no questions (7
// leave the game, 8 quit the race, 9 restart it) and the menu after a race
// (36). Each paints the race below it first (`paintRaceState`,
// RaceStates.h), whose picture shows the state `pictureState` names
// (game/race/RaceView.h); the menus' values live with the race
// (`RaceMenuStatics`, game/race/RaceState.h).
//
// Game thread only.
#include "game/framework/States.h"

#include <cstdint>

namespace game {

// The pause menu's items: the full menu, or the short one (no restart) in
// a championship or the guided race.
bool isShortPauseMenu();
// Whether the current event is the last of its list.
bool isLastEvent();
// Whether the after-race menu offers the next race: game mode 0, the next
// track is loaded and unlocked.
bool isNextRaceOffered();

// The help over the race (35) draws its page in the question box's frame
// for three answers, its lines broken to that frame's width less a margin
// on each side.
inline constexpr std::int32_t kRaceHelpBoxFrame = 3;
inline constexpr std::int32_t kRaceHelpMargin = 28;
// The width the help page's lines are broken to (0 while the question box
// is not loaded).
std::int32_t raceHelpLineWidth();

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

} // namespace game
