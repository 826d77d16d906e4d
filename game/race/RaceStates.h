#pragma once
// The game states through which a race is shown, started and driven: the
// track flyover (40), the racer intro (39), the countdown (41) and the race
// (42), with stand-ins for the pause menu (33) and the results (43) until
// the in-race menus and the result screens exist. The first of 39..42 to be
// entered sets the race up. Each paints through the race's paint seam
// (RaceView.h): the view pass, then whatever painter the presentation
// registered, which tells the states apart by the current state.
//
// Until the in-race overlays exist, the countdown runs a stand-in start
// sequence: phases 3 to 6 of 1000 ms each, then it pushes the race. Until
// the finish animation exists, a stand-in of `s_finishAnimLength` ms stands
// for it.
//
// Game thread only.
#include "game/framework/States.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// Game keys that leave the pre-race states and the outro.
inline constexpr std::int32_t kPauseKey = 18;
inline constexpr std::int32_t kFireKey = 5;
inline constexpr std::int32_t kSelectKey = 11;
// The height of the bottom strip a press in the outro must stay out of,
// except between the soft keys.
inline constexpr std::int32_t kSoftKeyStrip = 21;

struct RaceStateStatics {
    // The in-race touch controls and the automatic pause are off.
    std::int8_t s_raceControlsOff = 0;
    // The item the pause menu opens on.
    std::int32_t s_pauseMenuItem = 0;
    // Music was playing when the pause menu opened.
    std::int8_t s_resumeMusic = 0;
    // The race's music (0..3).
    std::int32_t s_raceMusic = 0;
    // The outro: whether the finish animation shows, whether the race may be
    // left, the time since the finish, and the time after which game mode 0
    // leaves by itself (8 s).
    std::int8_t s_finishAnimShown = 0;
    std::int8_t s_finishShown = 0;
    std::int32_t s_outroTime = 0;
    std::int32_t s_outroAutoLeave = 8 * 4096;
    // The finish animation's stand-in: milliseconds run, and its length.
    std::int32_t s_finishAnimTime = 0;
    std::int32_t s_finishAnimLength = 1000;
    // The soft keys' width at the screen's bottom corners, where a press
    // does not leave the outro.
    std::int32_t s_softKeyMargin = 80;
    // The results stand-in recorded the player's place.
    std::int8_t s_resultRecorded = 0;

    RT_NO_REFERENCE_FIELDS(RaceStateStatics, rt::NoReferenceBase)
};

RaceStateStatics& raceStateStatics();

// What the states reach of parts that land elsewhere. Empty: the stand-in
// start sequence, and the stand-in finish animation.
struct RaceStateHooks {
    // One step of the start sequence; pushes the race when it ends.
    void (*stepStart)() = nullptr;
    // Advances the finish animation by `ms`; true once it has ended.
    bool (*stepFinishAnimation)(std::int32_t ms) = nullptr;
};

RaceStateHooks& raceStateHooks();

void stateTrackFlyover(std::int32_t message);
void stateRacerIntro(std::int32_t message);
void stateRaceCountdown(std::int32_t message);
void stateRace(std::int32_t message);
// Stand-ins: the pause menu returns to the race on key 18, 5 or 11; the
// results record the player's place and end the run.
void statePauseStandIn(std::int32_t message);
void stateResultsStandIn(std::int32_t message);
// Registers the handlers above for states 33 and 39 to 43.
void registerRaceStates();

// After the finish, once per frame: whether the race may be left now.
bool updateFinishOutro();
// Whether this frame's press lies in the play area: above the bottom strip,
// or inside it between the soft keys. False without a press.
bool isPressInPlayArea();

// The race's view pass fed by the race camera: the camera's values handed
// to the view pass (ViewPass.h), then the view pass.
void runRaceViewPass();

} // namespace game
