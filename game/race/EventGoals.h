#pragma once
// What the player must do in each event type, and how the race is judged:
// the per-type statics, their set-up at each race start, the finish rules
// of every type but the guided race (type 6), the three best times of a
// distance event and the set-up of the guided race.
//
// Progress along the race is counted in segments: the player's m_lap *
// s_segmentCount + m_segment (wrapping in 32 bits). Times are seconds in
// fixed point; event-row times in milliseconds are turned into seconds
// with the 64-bit conversion `msToTime`, so rows above 524287 ms keep their
// value.
//
// The reference tables the set-ups read (SaveRecords.h) are indexed by the
// chosen event's place k in its type's list, which the event selection
// writes into `s_chosenEvent`. Every read and write of them is
// index-checked: an event outside its table reads 0 (a first run) and
// writes nothing.
//
// A finish rule either fails the race (s_raceFinished 1, s_raceResult 0,
// the player's m_racePosition 3) or wins it with a place (result 1, the
// position the first index i whose target the clock or score meets, left
// as it was when none is met).
//
// Game thread only.
#include "game/race/EventType.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

// The positions that `s_pointsPerPosition` pays for; a place past the last
// is paid as the last.
inline constexpr std::int32_t kPointsPlaces = 8;

// The race tips: `kTipTexts` texts from `kFirstTipText`. An event slot's
// set-up draws one (`s_raceTip`, RaceRelease.h), and so does the guided
// race's (`s_guideTip`).
inline constexpr std::int32_t kFirstTipText = 261;
inline constexpr std::int32_t kTipTexts = 7;

// A stretch of the track against the clock (types 7, 8 and 9).
struct TimedStretch {
    std::int32_t start = 0;
    std::int32_t end = 0;
    // Ascending: the times of places 0, 1 and 2.
    std::int32_t times[3] = {};
    std::int32_t clock = 0;
};

struct EventGoalStatics {
    // The chosen event's index in the list of its event type (the reference
    // tables' k).
    std::int32_t s_chosenEvent = 0;
    // Types 0 and 2: field 1 of the event row (type 2: items to collect).
    std::int32_t s_eventTarget = 0;

    // Type 1: distance against the clock, from s_targetStart to
    // s_targetDistance (exclusive).
    std::int32_t s_targetStart = 0;
    std::int32_t s_targetDistance = 0;
    std::int32_t s_medalTimes[3] = {};
    std::int32_t s_eventClock = 0;
    // Types 1, 4 and 5: the event has no stored reference yet.
    std::int8_t s_firstRun = 0;
    // Types 1 and 4: the stored reference (on a first run, the running
    // clock), for the head-up display.
    std::int32_t s_eventBestTime = 0;

    // Type 3: score while the car touches the verge, judged at the end of
    // the stretch.
    std::int32_t s_scoreStart = 0;
    std::int32_t s_scoreEnd = 0;
    std::int32_t s_scoreTargets[3] = {};
    std::int32_t s_score = 0;

    // Type 4: stop-and-go. Stage 0 waits, stage 1 warns, stage 2 asks the
    // car to stand still; moving in stage 2 costs s_stopGoPenalty.
    std::int32_t s_stopGoStage = 0;
    std::int8_t s_stopGoPenalised = 0;
    std::int32_t s_stopGoPenalties = 0;
    std::int32_t s_stopGoClock = 0;
    std::int32_t s_stopGoTimer = 0;
    std::int32_t s_stopGoLimit = 0;
    // The warning, the stop window (also the wait after the first), and the
    // wait after a penalty: 1 s, 3 s and 2 s.
    std::int32_t s_stopGoStageTimes[3] = {4096, 12288, 8192};
    // 2 s.
    std::int32_t s_stopGoPenalty = 8192;

    // Type 5: points for the place held, once a second of device time.
    std::int32_t s_points = 0;
    std::int64_t s_pointsTick = 0;
    std::int32_t s_pointsReference = 0;
    std::int32_t s_pointsPerPosition[kPointsPlaces] = {10, 8, 6, 5, 4, 3, 2, 1};

    // Types 7, 8 (stop in the two segments after the end) and 9. Neither
    // start nor end replaces a -1 of the row.
    TimedStretch s_section;
    TimedStretch s_stopZone;
    TimedStretch s_secondSection;

    // Type 10: judged by s_type10State (2 failed, 3 succeeded); nothing in
    // the race writes that state yet, so only the time-out ends it.
    std::int32_t s_type10Clock = 0;
    std::int32_t s_type10ShowTimer = 0;
    std::int32_t s_type10Spare[2] = {};
    std::int32_t s_type10Times[3] = {};
    std::int32_t s_type10State = 0;
    // 8 s.
    std::int32_t s_type10ShowTime = 32768;

    // Type 11: a sprint won only in first place.
    std::int32_t s_sprintStart = 0;
    std::int32_t s_sprintEnd = 0;

    // The guided race (game mode 6): its step counter, its timer and the
    // value beside them.
    std::int32_t s_guideStep = 0;
    std::int32_t s_guideTimer = 0;
    std::int32_t s_guideValue = 0;
    // Text number of the tip shown before the guided race.
    std::int32_t s_guideTip = 0;

    RT_NO_REFERENCE_FIELDS(EventGoalStatics, rt::NoReferenceBase)
};

EventGoalStatics& eventGoalStatics();

// The event type of the current slot; `EventType::None` without one.
EventType currentEventType();
// Stores `type` as the event type of slot `slot`.
void setSlotEventType(std::int32_t slot, EventType type);
// The player's progress in whole segments.
std::int32_t playerProgress(const cEntity* player);

// At each race start: clears the stop-and-go penalty, then sets up the
// statics of the current event's type (nothing for type 6 and above 12).
void setupEntryByType();
void setupEventType1();
void setupEventType3();
void setupEventType4();
void setupEventType5(std::int64_t nowMs);
void setupEventType7();
void setupEventType8();
void setupEventType9();
void setupEventType10();
void setupEventType11();

// The finish rule of the current event type for a frame of `dt` seconds at
// device time `nowMs`; true when it finished the race. Type 6 runs the
// guide's steps instead (RaceGuide.h); types from 12 up have none.
bool applyFinishRule(cEntity* player, std::int32_t dt, std::int64_t nowMs);
bool checkFinishDistance(cEntity* player, std::int32_t dt);
bool checkFinishScore(cEntity* player, std::int32_t dt);
bool checkFinishStopGo(cEntity* player, std::int32_t dt);
bool checkFinishPoints(cEntity* player, std::int64_t nowMs);
bool checkFinishSection(cEntity* player, TimedStretch& stretch, std::int32_t dt);
bool checkFinishStopZone(cEntity* player, std::int32_t dt);
bool checkFinishType10(cEntity* player, std::int32_t dt);
bool checkFinishSprint(cEntity* player);

// Enters `time` as the chosen event's best time of `place` (0..2): with no
// record yet all three become `time`; else the entries from `place` on move
// one down and `place` takes `time`. A place outside 0..2 changes nothing.
void recordBestTime(std::int32_t place, std::int32_t time);

// 8, 9, 10 or 11 seconds in fixed point, from one draw of the shared
// random generator.
std::int32_t nextRandomDelay();

// Prepares the one event slot of the guided race (`GameMode::Guided`, game
// mode 6): track 0, variant 6, its type from that row, the theme table's icon
// values, the player as racer 0 and a random tip.
void setupMode6Event();

} // namespace game
