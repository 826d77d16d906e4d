#pragma once
// The statics of one race that no loader owns: the racers in race order,
// the starting grid, the pool of race objects, the laps, the race clock
// and the result. The track ring lives in TrackData.h, the event slots in
// game/data/EventSlots.h, the event rows in RaceTables.h and the player's
// car and speed percentage in RacerData.h; the queries below read them
// together.
//
// Invariants the race keeps between set-up and release:
// - `s_racers` holds no null, and after each ranking pass the car at index
//   i has `m_racePosition` i (`racersInRaceOrder` checks both);
// - a car has finished when its `m_lap` is greater than `s_laps` (laps count
//   from 1 at the start line);
// - the per-segment tables are read only through a wrapped segment number
//   (`wrapSegment`).
//
// Game thread only.
#include "game/framework/States.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class cEntity;

struct RaceStatics {
    // Object[n] of cEntity: index 0 leads; the player's car is made into the
    // last slot.
    rt::ObjectArray* s_racers = nullptr;
    // int[n]: the racer index in each place of the first start's grid.
    rt::IntArray* s_gridOrder = nullptr;
    // cEntity[]: the pool of race objects (type 2).
    rt::ObjectArray* s_raceObjects = nullptr;
    std::int32_t s_laps = 0;
    // s_segmentCount * s_laps, set with the race.
    std::int32_t s_totalSegments = 0;
    // This step's length in seconds (fx), at most 0.1 s.
    std::int32_t s_raceFrameTime = 0;
    std::int8_t s_raceSetUp = 0;
    std::int32_t s_startPhase = 0;
    std::int8_t s_raceFinished = 0;
    // 1 won, 0 failed; set with s_raceFinished.
    std::int8_t s_raceResult = 0;

    RT_REFERENCE_FIELDS(RaceStatics, rt::NoReferenceBase, s_racers, s_gridOrder, s_raceObjects)
};

RaceStatics& raceStatics();

// The race is over (`s_raceFinished`).
inline bool raceFinished() {
    return raceStatics().s_raceFinished != 0;
}

// The race state's own values: its music and the outro after the finish.
struct RaceStateStatics {
    // The race's music (0..3), chosen by the theme of the race's track when
    // the race loads.
    std::int32_t s_raceMusic = 0;
    // The outro: the time since the finish, and the time after which game
    // mode 0 leaves by itself (8 s).
    std::int32_t s_outroTime = 0;
    std::int32_t s_outroAutoLeave = 8 * 4096;
    // The soft keys' width at the screen's bottom corners, where a press
    // does not leave the outro.
    std::int32_t s_softKeyMargin = 80;

    RT_NO_REFERENCE_FIELDS(RaceStateStatics, rt::NoReferenceBase)
};

RaceStateStatics& raceStateStatics();

// What the menus over a race keep while it stands below them.
struct RaceMenuStatics {
    // The state below the pause menu when it opened (0, no state, when the
    // stack is shallower than 2 or deeper than 33): the questions, the help
    // and the options paint it under themselves.
    State s_pausedState{};
    // The pause menu's selection, kept when the menu is left.
    std::int32_t s_pauseMenuItem = 0;
    // The track the after-race menu's next race loads (-1 none).
    std::int32_t s_nextTrack = -1;
    // The after-race menu offers the next race.
    std::int8_t s_nextRaceOffered = 0;

    RT_NO_REFERENCE_FIELDS(RaceMenuStatics, rt::NoReferenceBase)
};

RaceMenuStatics& raceMenuStatics();

// The current event's row: of the track and variant of the current slot;
// null when there is none.
rt::IntArray* currentEventRow();
// Field `field` of the current event row; `fallback` without a row or field.
std::int32_t currentEventField(std::int32_t field, std::int32_t fallback);

// `segment` wrapped into 0..s_segmentCount-1 by adding or taking away the
// count (not a power of two); 0 on a ring without segments.
std::int32_t wrapSegment(std::int32_t segment);
// The curvature of a segment of the ring, any segment number; 0 without a
// ring.
std::int32_t segmentCurveAt(std::int32_t segment);

// Index-checked access for the race's per-racer and per-lap tables, which
// stay inside their arrays whatever laps and racer indexes hold: a read
// outside (or of null) answers 0, a write outside changes nothing.
std::int32_t intAt(const rt::IntArray* a, std::int32_t i);
void setIntAt(rt::IntArray* a, std::int32_t i, std::int32_t value);
void addIntAt(rt::IntArray* a, std::int32_t i, std::int32_t value);

// How far `a` is ahead of `b` (negative when behind), exact across the
// ring's wrap.
std::int32_t carGap(const cEntity* a, const cEntity* b);
bool hasFinished(const cEntity* car);

// The number of cars, and car `i` (null outside the list).
std::int32_t racerCount();
cEntity* racerAt(std::int32_t i);
// Whether the racers hold no null and each car's place is its index.
bool racersInRaceOrder();
// One pass of the incremental sort, from the back: a car further along
// than the one ahead swaps with it (and is compared again one place up);
// level cars keep their order; a finished car ends the pass, so nobody
// passes it. Nothing for fewer than two cars; a null slot is passed over.
void rankRacers();

// The car whose racer index is `index`; null when none is.
cEntity* findRacerByIndex(std::int32_t index);
// The first car whose driver kind is `kind`; null when none is. Meant for the championship's
// standings update, which ranks the kinds by their points alone (RaceResults.cpp).
cEntity* findRacerByKind(std::int32_t kind);
// Every car's computer-driver mode becomes `mode`. Meant for the race phase, which gives its
// modes to the computer cars only (RacePhase.cpp): the player's too would change the replayed race.
void setRacersAiMode(std::int32_t mode);

} // namespace game
