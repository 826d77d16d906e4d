#pragma once
// Times and numbers as the race's displays write them, into the shared text
// buffer (StartupStatics::s_textBuffer), which every call empties first.
//
// Units: times in seconds, fixed point with 4096 = 1.0.
//
// Game thread only.
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace lib {
class StringBuffer;
}

namespace game {

struct TimeTextStatics {
    // A time's fraction follows ':' instead of '.' (no data of this game
    // sets it).
    std::int8_t s_timeFractionColon = 0;

    RT_NO_REFERENCE_FIELDS(TimeTextStatics, rt::NoReferenceBase)
};

TimeTextStatics& timeTextStatics();

// Writes the time t (sign dropped) into the shared text buffer and answers
// the buffer: [sign] [m:] ss [.hh0]; minutes appear when there are any or
// when forced. The sign is '-' for t < 1, else '+'.
lib::StringBuffer* formatTime(std::int32_t t, bool forceMinutes, bool withFraction, bool withSign);
// Writes `value` with `separator` before every run of three digits counted
// from the right (none in a four-digit number with `keepFour`); a negative
// value gets its '-' before the digits.
lib::StringBuffer* formatNumber(std::int32_t value, char16_t separator, bool keepFour);

} // namespace game
