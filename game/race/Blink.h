#pragma once
// The blink the race and the screens around it share: a text that shows
// and hides by a timer (the prompts of the pre-race states, the finish, the
// results and the title). A repeating blink is on for the first half of
// each period; a single one shows while its timer runs.
//
// Units: the callers' own (seconds in fixed point in the race, milliseconds
// in the results and the title); the period and the time passed in are in
// the same.
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

struct BlinkStatics {
    // The timer, half the period, and whether it repeats.
    std::int32_t s_blinkTimer = 0;
    std::int32_t s_blinkPeriod = 0;
    std::int8_t s_blinkLoop = 0;

    RT_NO_REFERENCE_FIELDS(BlinkStatics, rt::NoReferenceBase)
};

BlinkStatics& blinkStatics();

// A repeating blink of half-period `period`, starting on.
void startBlink(std::int32_t period);
bool isBlinkOn();
// Runs the blink timer down; answers true when a single blink has ended.
bool advanceBlinkTimer(std::int32_t dt);

} // namespace game
