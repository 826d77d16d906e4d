#pragma once
// The start sequence that the start state runs once per frame before each
// race, on the device's frame milliseconds: the HUD's intro, then the
// count's phases 1000 ms apart (each waiting up to 1000 ms more while music
// plays), a beep per count and a higher one for the go, the start boost
// that a press during the go can start once, and at the end the race state.
//
// Phases: 0 starts the HUD's intro; 1 waits for it; 2 (only in events of
// type 11, which count once more) to 5 count; 6 is the go; 7 pushes the
// race state.
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// Sounds of the count and of the go, on channel 0 at this priority.
inline constexpr std::int32_t kCountSound = 9;
inline constexpr std::int32_t kGoSound = 8;
inline constexpr std::int32_t kStartSoundPriority = 15;
// The phases.
inline constexpr std::int32_t kFirstCountPhase = 2;
inline constexpr std::int32_t kGoPhase = 6;
inline constexpr std::int32_t kRacePhase = 7;

struct StartSequenceStatics {
    // The start boost runs; its running time is the driving statics'
    // `s_raceBoostTimer`, held to `s_startBoostMax`.
    std::int8_t s_startBoostActive = 0;
    // The longest start boost: one second; the car's boost time is twice it.
    std::int32_t s_startBoostMax = 4096;
    // Milliseconds of the current start phase: the running timer and the
    // two further phase times.
    std::int32_t s_startPhaseTimer = 0;
    std::int32_t s_startCount = 0;
    std::int32_t s_startMusicWait = 0;

    RT_NO_REFERENCE_FIELDS(StartSequenceStatics, rt::NoReferenceBase)
};

StartSequenceStatics& startSequenceStatics();

// One frame of the start sequence: the update of the start state
// (`State::RaceCountdown`, number 41).
void stepState41();

// Sets the race's start phase and, for phases 2 to 6, the phase times.
void setStartPhase(std::int32_t phase);

} // namespace game
