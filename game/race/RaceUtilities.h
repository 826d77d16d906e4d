#pragma once
// Small shared operations of the race and the screens around it: the
// screen shake, blinking, time and number texts, the start-phase timings,
// the streak lines, a colour blend and three int-array edits.
//
// Units: 4096 = 1.0; times in seconds (fx) unless said.
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace lib {
class StringBuffer;
}

namespace game {

inline constexpr std::int32_t kSpeedLines = 10;

struct RaceUtilityStatics {
    // The shake: its length, the time left (0 none), the amplitudes in
    // pixels, the sign flipped each step, the strength (also its
    // precedence) and the offset now applied to the screen graphics.
    std::int32_t s_shakeDuration = 0;
    std::int32_t s_shakeLeft = 0;
    std::int32_t s_shakeAmpX = 0;
    std::int32_t s_shakeAmpY = 0;
    std::int32_t s_shakeSign = 1;
    std::int32_t s_shakeStrength = 0;
    std::int32_t s_shakeX = 0;
    std::int32_t s_shakeY = 0;
    // Blinking: the timer, half the period, and whether it repeats.
    std::int32_t s_blinkTimer = 0;
    std::int32_t s_blinkPeriod = 0;
    std::int8_t s_blinkLoop = 0;
    // A time's fraction follows ':' instead of '.'.
    std::int8_t s_timeFractionColon = 0;
    // Milliseconds of the current start phase: the running timer and the
    // two further phase times.
    std::int32_t s_startPhaseTimer = 0;
    std::int32_t s_startCount = 0;
    std::int32_t s_startMusicWait = 0;
    // Ten streak lines: angle 0..2047 and length offset 0..49.
    std::int32_t s_speedLines[kSpeedLines][2] = {};
    // The camera's current path of the track's camera paths, and its point
    // on it (the camera moves both).
    std::int32_t s_cameraPath = 0;
    std::int32_t s_cameraPathPoint = 0;

    RT_NO_REFERENCE_FIELDS(RaceUtilityStatics, rt::NoReferenceBase)
};

RaceUtilityStatics& raceUtilityStatics();

// The music: whether sound is on and a player of the sound engine plays (in
// channel mode: whether the channel layer has a current music), and its id
// (-1 with sound off or no music), as the sound layer reports it.
bool isMusicActive();
std::int32_t getCurrentMusic();

// Point `i` of the current camera path (four shorts each): its segment, its
// eye height, and its two angles in degrees turned into angle units (x 2048
// / 360). 0 without that path or point.
std::int32_t getCamPathNodeX(std::int32_t i);
std::int32_t getCamPathNodeY(std::int32_t i);
std::int32_t getCamPathNodeAngle(std::int32_t i);
std::int32_t getCamPathNodeAngle2(std::int32_t i);
// Empties every slot of the camera path table and drops it.
void releaseCamPath();

// Starts a shake unless the race is finished or a stronger one runs; one of
// equal strength replaces it.
void requestShake(std::int32_t duration, std::int32_t ampX, std::int32_t ampY, std::int32_t strength);
// One race step of the shake: the screen graphics (when there is one) is
// moved to the new offset; a finished race or a shake of no duration ends
// it and takes the offset back.
void updateShake(std::int32_t dt);
// Moves the screen graphics from the current shake offset to (x, y).
void setShakeOffset(std::int32_t x, std::int32_t y);

// A repeating blink of half-period `period`, starting on.
void startBlink(std::int32_t period);
bool isBlinkOn();
// Runs the blink timer down; answers true when a single blink has ended.
bool advanceBlinkTimer(std::int32_t dt);

// Writes the time t (sign dropped) into the shared text buffer and answers
// the buffer: [sign] [m:] ss [.hh0]; minutes appear when there are any or
// when forced. The sign is '-' for t < 1, else '+'.
lib::StringBuffer* formatTime(std::int32_t t, bool forceMinutes, bool withFraction, bool withSign);
// Writes `value` with `separator` before every run of three digits counted
// from the right (none in a four-digit number with `keepFour`); a negative
// value gets its '-' before the digits.
lib::StringBuffer* formatNumber(std::int32_t value, char16_t separator, bool keepFour);

// Sets the race's start phase and, for phases 2 to 6, the phase times.
void setStartPhase(std::int32_t phase);
// Gives each streak line a new angle and length from the shared Random.
void randomizeSpeedLines();

// c1 when a < 1, c0 when a >= 256, else the channels mixed a / 256 of c0,
// opaque.
std::int32_t blendColor(std::int32_t c0, std::int32_t c1, std::int32_t a);
// A new int[max(0, length + n)] (int[max(0, n)] for null) holding `a` as far
// as it fits, the added tail -1.
rt::IntArray* growIntArray(rt::IntArray* a, std::int32_t n);
// A copy of `a` without elements from..from+count-1; null when `a` is null
// or the range is not inside it.
rt::IntArray* removeIntRange(rt::IntArray* a, std::int32_t from, std::int32_t count);

} // namespace game
