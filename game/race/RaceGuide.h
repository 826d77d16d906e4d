#pragma once
// The guided race of game mode 6: ten steps that each wait for the player
// to do one thing (a key or a touch, stopping the car, using an item,
// collecting objects), then let the explanation stand for the step time
// before the next step shows. It runs where the race frame tests the event
// type's finish rule (type 6 has no other). Key 17 or the soft key leaves
// the guide for the menus at any step that waits.
//
// The step counter and its timer are the event goals' `s_guideStep` and
// `s_guideTimer`: the timer is 0 while the step waits, and counts down by
// 256 per unit of race time once the step's input came.
//
// Game thread only.
#include "game/framework/Keys.h"
#include "game/framework/States.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The step after the last: the guide has ended.
inline constexpr std::int32_t kGuideSteps = 10;
// The step that teaches aiming back at the guide car.
inline constexpr std::int32_t kGuideAimStep = 6;
// The step that waits for a ten-coin caught in the air.
inline constexpr std::int32_t kGuideJumpStep = 8;
// The closing step: every lesson is done and the race ends on it.
inline constexpr std::int32_t kGuideLastStep = 9;
// The key that leaves the guide; the menus then load into the race menu.
inline constexpr std::int32_t kGuideExitKey = kHashKey;
// Objects to collect in step 7.
inline constexpr std::int32_t kGuideCollectTarget = 10;

struct RaceGuideStatics {
    // What a completed step waits (1 s of race time, in the timer's units).
    std::int32_t s_guideStepTime = 4096 * 256;
    // The player's `m_collected` when the current step began.
    std::int32_t s_guideCollectedBase = 0;

    RT_NO_REFERENCE_FIELDS(RaceGuideStatics, rt::NoReferenceBase)
};

RaceGuideStatics& raceGuideStatics();

// The game mode is the guided race's, in any state (`isGuidedRace`,
// States.h, asks for the race state too).
inline bool guidedMode() {
    return stateStatics().s_gameMode == GameMode::Guided;
}

// Whether the player asks to leave the guide: key 17 is the key pressed this
// frame (the highest that went down) or the soft key was touched.
bool isGuideExitAsked();
// Leaves the guide: the menus are loaded into state 17.
void leaveGuide();
// One frame of `dt` seconds (fixed point) of the guide. Answers true on the
// frame the guide reaches its last step: the guided race is over, won.
bool updateGuideSteps(std::int32_t dt);
// The current step's input came from the race itself (a hit on the guide
// car, a ten-coin caught in the air): the step's time starts to run.
void completeGuideStep();

} // namespace game
