#pragma once
// The game states through which a race is shown, started and driven: the
// track flyover (40), the racer intro (39), the countdown (41) and the race
// (42). The first of 39..42 to be entered sets the race up. Each paints
// with `paintRaceState`: the race's view pass (game/race/RaceView.h), the
// race presentation's picture of the state (game/racepaint), then the view
// pass's closing step. The pause menu (33) and the results (43) are the
// in-race menus' (RaceMenus.h, ResultsScreen.h); the countdown steps the
// start sequence (game/race/StartSequence.h).
//
// The switches these states share with the menus and the display have one
// owner each: the controls' switch is the race touch's
// (`s_raceControlsOff`), the pause menu's selection and the music to resume
// are the menus', the finish overlay's two flags and its animation are the
// display's (HudState.h).
//
// Game thread only.
#include "game/framework/Keys.h"
#include "game/framework/States.h"

#include <cstdint>

namespace game {

// The game key that opens the pause menu: the left soft key.
inline constexpr std::int32_t kPauseKey = kLeftSoftKey;
// The height of the bottom strip a press in the outro must stay out of,
// except between the soft keys.
inline constexpr std::int32_t kSoftKeyStrip = 21;

// The picture of a race state, for the states over a race too: the view
// pass, the presentation's painting of `pictureState`, the closing step.
void paintRaceState();

void stateTrackFlyover(std::int32_t message);
void stateRacerIntro(std::int32_t message);
void stateRaceCountdown(std::int32_t message);
void stateRace(std::int32_t message);
// Registers the handlers above for states 39 to 42.
void registerRaceStates();

// After the finish, once per frame: whether the race may be left now. Sets
// the finish overlay's flags (`hudStateStatics`).
bool updateFinishOutro();
// Whether this frame's press lies in the play area: above the bottom strip,
// or inside it between the soft keys. False without a press.
bool isPressInPlayArea();
// After the finish: the head-up display's element bits cleared, then on by
// the current event's type: the results after laps, a distance, a
// stop-and-go or points, back to the after-race menu after a collection or
// a score, and through the menus' load to the main menu after the guided
// race or to the championship's reward screen after any other.
void leaveRace();

} // namespace game
