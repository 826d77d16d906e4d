#pragma once
// One frame of a running race: the frame's milliseconds become race time,
// the finish rule of the event type is tested, the race clocks (each
// racer's time, the player's lap times and best lap) are kept, and one
// simulation step of at most 0.1 s moves every car and race object, ranks
// the racers and finds the player's slipstream.
//
// The finish rules of the event types live in EventGoals.h; the guided
// race (type 6) has none here and types from 12 up never finish.
//
// Game thread only.
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>
#include <string>

namespace game {

class cEntity;

// The streak lines of a boost: ten lines, each an angle 0..2047 and a
// length offset 0..49, drawn anew every race frame.
inline constexpr std::int32_t kSpeedLines = 10;

struct RaceFrameStatics {
    // By racer index: the race time of each racer.
    rt::IntArray* s_racerTimes = nullptr;
    // int[laps]: the player's time of each lap.
    rt::IntArray* s_lapTimes = nullptr;
    // INT32_MAX until the first lap is complete.
    std::int32_t s_bestLapTime = INT32_MAX;
    // The last completed lap's time less the best before it.
    std::int32_t s_lastLapDelta = 0;
    std::int32_t s_lapShowTimer = 0;
    // 4 s.
    std::int32_t s_lapShowTime = 16384;
    std::int8_t s_sharpCurveAhead = 0;
    // 40 degrees in angle units.
    std::int32_t s_sharpCurveLimit = 227;
    // Four segments.
    std::int32_t s_slipstreamRange = 4096;
    std::int32_t s_finalPosition = 0;
    std::int32_t s_raceOver = 0;

    // The streak lines' angles and length offsets.
    std::int32_t s_speedLines[kSpeedLines][2] = {};

    RT_REFERENCE_FIELDS(RaceFrameStatics, rt::NoReferenceBase, s_racerTimes, s_lapTimes)
};

RaceFrameStatics& raceFrameStatics();

// Clears the race for a new run: the clocks, the finish, the timing points;
// the racers go back to the first start's grid (recorded then), and the
// player's car is made active in first gear with the shake undone. The
// player's steering, pedal and gear-box statics, the head-up flash, the
// trail and the camera's constants and angles (the car shown) start as on a
// first start, so a restart, finished or not, runs the race a first start
// from the same Random state runs. The camera's place is left to the
// state that shows the race next.
void resetRaceRun();
// One race frame (the race state's update).
void updateRace();
// One simulation step; `dt` is cut to 409 (0.1 s).
void raceStep(std::int32_t dt);
// The moving part of the step: the player, the race phase, the other
// racers in list order, the timed event, then the active race objects.
void updateRaceEntities(std::int32_t step);
// Sets the player's slipstream flag (the fourth car flag) when the car one
// place ahead is less than the slipstream range in front and within the
// player's half-width sideways.
void updateSlipstream();
// The hand-over, once, in the frame in which the race finishes.
void finishRace();
// The line the race's end writes to the log, for scripts and tests:
// "race over: place P of N, time M:SS.mmm, laps L, best lap M:SS.mmm,
// winner M:SS.mmm" (place 1 is the first; no best lap before a whole lap;
// the winner's time is the player's own when the player won).
std::string raceOverText();

// Gives each streak line a new angle and length from the shared Random.
void randomizeSpeedLines();

} // namespace game
