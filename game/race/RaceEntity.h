#pragma once
// What a race entity does in one step: its effects, the player's control or
// the computer driver, the contacts between cars with their impacts and item
// charges, the track triggers and the timing points.
//
// Timing points lie at segment 0 and at the first segment of each track
// section. Passing one records, per racer, the section of the point and
// the race time; the player's pass also fills `s_splitTimes` (see there)
// and shows the split for the head-up display.
//
// Game thread only.
#include "game/framework/SpriteSlots.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

inline constexpr std::int32_t kTopSpeedLagMax = 75;
// The game mode of the guided race: no contacts, no triggers.

struct RaceEntityStatics {
    // 0..75: rises while the lag car is below its top speed.
    std::int32_t s_topSpeedLag = 0;
    std::int32_t s_playerSpeedDelta = 0;
    std::int32_t s_prevPlayerSpeedDelta = 0;
    std::int32_t s_playerSegment = 0;
    std::int32_t s_playerLateral = 0;
    std::int32_t s_playerSegmentPos = 0;
    // The race clock in seconds (fx), kept by the race frame.
    std::int32_t s_raceTime = 0;
    // Per racer index: the section of the last timing point passed (-1
    // none) and the race time then.
    rt::IntArray* s_timingSection = nullptr;
    rt::IntArray* s_timingTime = nullptr;
    // The player's splits, two ints per track section k: [2k] the time
    // into the lap at which the player passed section k's timing point on
    // the current lap, [2k + 1] the same on the lap before (0 none yet).
    // Section 0's point is the start line: there [0] and [1] hold the whole
    // time of the last lap and of the lap before it.
    rt::IntArray* s_splitTimes = nullptr;
    // The race time at which the player's current lap began.
    std::int32_t s_playerLapStart = 0;
    // The split on show: the time into the lap, and its difference from the
    // lap before (0 without one).
    std::int32_t s_splitShown = 0;
    std::int32_t s_splitDeltaShown = 0;
    // The head-up display's paints of the split and of its difference so
    // far; -1 while it is not on show. A pass starts them at 0 (the
    // difference only when there is a lap before), and the display takes
    // each away after its 51st paint.
    std::int32_t s_splitShownTimer = -1;
    std::int32_t s_splitDeltaTimer = -1;

    RT_REFERENCE_FIELDS(RaceEntityStatics, rt::NoReferenceBase, s_timingSection, s_timingTime, s_splitTimes)
};

RaceEntityStatics& raceEntityStatics();

// Makes the timing tables for `racers` racers and the current track's
// sections, every racer without a point yet.
void resetTimingPoints(std::int32_t racers);
// The section whose timing point lies at `segment` (any lap), -1 when none
// does. Segment 0 is the point of section 0.
std::int32_t timingPointAt(std::int32_t segment);
// The section holding segment `pos`, searched forward from `hint`.
std::int32_t getTrackSection(std::int32_t pos, std::int32_t hint);

// `car`'s step of `dt` seconds: effects, the lag value, the player's or the
// computer driver's step with contacts and timing points, then triggers
// and the track section.
void updateRaceEntity(cEntity* car, std::int32_t dt);
// The contacts of computer car `car` with the player's car and with the
// car one place ahead.
void applyContacts(cEntity* car);

} // namespace game
