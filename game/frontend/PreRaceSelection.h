#pragma once

// State 12, the pre-race selection: the player browses the events of the
// game mode (item 0) and, in game mode 0, the laps (item 1: value v is
// v + 1 laps, 3 on every entry). Every update writes the event shown into
// the current event slot, so the screen always shows the race that would
// start; a locked event (its bit clear in the second progress mask) can be
// browsed but not chosen. A choice hands over to the loader: a race of
// game mode 0 starts with the flyover (40), any other with the countdown
// (41).
//
// Events whose data does not lead anywhere (a mode without events, a race
// row outside the race table, a track without its event row, a name index
// outside the track's name table) write nothing into the slot and cannot
// be chosen; going back still works.
//
// The screen's paint, our design: the track's wire model, its name, the
// goal with its target and what the event asks on translucent bands, a lock
// mark on a locked event, the laps in game mode 0, the option arrows where
// the stylus finds them and, on an event that can be chosen, the choose key.
//
// Game thread only.

#include "game/framework/States.h"
#include "runtime/ReferenceFields.h"

#include <array>
#include <cstdint>

namespace game {

// The remembered selection that carries the lap option (laps - 1).
// The event screen's layout: its texts stand centred on bands this wide
// (the goal's label and value at either end, this far in), and the
// "Locked" note is centred under the wire model, which reaches this far
// from its centre.
inline constexpr std::int32_t kEventBandWidth = 290;
inline constexpr std::int32_t kEventBandInset = 12;
inline constexpr std::int32_t kWireReach = 100;
inline constexpr std::int32_t kLapOptionSlot = 13;
inline constexpr std::int32_t kLapOptions = 5;
inline constexpr std::int32_t kDefaultLapOption = 2;

struct PreRaceStatics {
    // Set when an event is confirmed here.
    std::int8_t s_eventSelected = 0;
    // Whether the event shown could be written into the slot.
    std::int8_t s_eventUsable = 0;
    // The two race-goal texts (String[2]): the goal's label and its value.
    rt::ObjectArray* s_goalTexts = nullptr;

    RT_REFERENCE_FIELDS(PreRaceStatics, rt::NoReferenceBase, s_goalTexts)
};

PreRaceStatics& preRaceStatics();

// Fills the two goal texts of the current event slot by game mode (the
// array made once, refilled every call): the time trial and the stop-and-go
// the target time (the first of the event row's three target values, in ms)
// after text 174; the points mode the target number with text 176's first
// character as thousands separator, after text 175; other modes the event
// type's name (text 151 + type) and the default message.
void buildRaceGoalTexts();

// The number of events of game mode `mode` (0 for a mode without a list).
std::int32_t modeEventCount(GameMode mode);
// Writes event `index` of game mode `mode` into the current event slot:
// its race row, track, variant, type, icons, title and name. Answers false,
// writing nothing, when the data does not lead to a race (see above).
bool writeModeEvent(GameMode mode, std::int32_t index);

// The choose key of the selection screens (states 12 and 16), drawn with
// the current left soft key's label at the bottom, just right of the left
// arrow's zone: inside the band between the arrows, where a tap chooses.
void paintChooseKey();
// Where the choose key is drawn, {x, y, w, h}; all 0 without arrows. A
// press there chooses, as the band around it does.
std::array<std::int32_t, 4> chooseKeyRect();
bool isChooseKeyPressed();

void statePreRaceSelect(std::int32_t message);
// Registers state 12's handler.
void registerPreRaceSelection();

} // namespace game
