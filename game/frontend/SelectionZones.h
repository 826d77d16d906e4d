#pragma once

// The touch zones of the selection screens and the stylus on the racer list
// (state 14): a three-column grid of pictures, one per entry of the game's
// record count table, and the arrow zones that the option arrows test
// (`touchOptionArrows`, which reads them from `s_arrowZones`).
//
// Game thread only.

#include "game/framework/States.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// The list's selection waits this long (ms) after a change before a tap may
// confirm it, so that the tap that picks an entry does not also confirm it.
inline constexpr std::int32_t kListSelectionWait = 300;

struct SelectionZoneStatics {
    // The grid of state 14 (int[n][4]), made once.
    rt::ObjectArray* s_gridZones = nullptr;
    // The arrow zones by kind (int[n][4] each): state 31, states 16 and
    // 18, every other selection screen; each made once.
    rt::ObjectArray* s_arrowZoneKinds = nullptr;
    // The list's confirm rectangle (int[4]) as the last update tested it.
    rt::IntArray* s_confirmZone = nullptr;
    // The list's stylus: ms until a confirmation is taken, the selection
    // and its value before the last change, and what was confirmed.
    std::int32_t s_selectionTimer = 0;
    std::int32_t s_previousSelection = 0;
    std::int32_t s_previousValue = 0;
    std::int32_t s_chosenRacer = -1;
    std::int32_t s_chosenValue = 0;
    std::int8_t s_listConfirmed = 0;

    RT_REFERENCE_FIELDS(SelectionZoneStatics, rt::NoReferenceBase, s_gridZones, s_arrowZoneKinds,
                        s_confirmZone)
};

SelectionZoneStatics& selectionZoneStatics();

// The grid's zones, made on first use: entry i at (45 + 106 (i mod 3),
// 88 + 88 (i / 3)), 85 by 85, one per entry of the racer list
// (`racerListCount`), which draws its cells there.
rt::ObjectArray* buildGridZones();

// The list's stylus, once per update of state 14. The selection timer runs
// down by the frame's time. The latched point on an entry selects it (a
// change remembers the previous selection and value and restarts the
// timer); a latched press on any entry, or on the confirm rectangle
// (400, 300 - h) sized by frame 0 of sprite `itemSprite` (the selected
// entry's car, drawn there; no rectangle while it is missing), confirms the
// selection once the timer has run out and the entry is unlocked (first
// progress mask): the chosen racer and its value are stored and the
// confirmed flag set. Answers whether it confirmed.
bool touchListScreen(std::int32_t itemSprite);

// The current selection screen's arrow zones, each kind made once and
// installed as `s_arrowZones`, sized by the width w of the left arrow:
// state 31 a left and a right zone (2w by w) at mid-height; states 16 and 18
// a zone of 2w by 4w beside each arrow anchor; any other screen four zones
// of 4w by 4w around the anchors, the lower two 245 pixels further down.
rt::ObjectArray* buildScreenZones();

} // namespace game
