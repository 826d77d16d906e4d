#pragma once

// How the race loader's tests, fuzz harness and benchmarks start a race
// without the race menus: the first event slot takes the race of track
// `track` (its race row has the same number in the demo and the race set) in
// game mode `mode`, and the race load (kind 2) is asked for, followed by the
// flyover in mode 0 and the countdown in the others, as the race menus
// would.

#include "game/data/EventSlots.h"
#include "game/framework/States.h"
#include "game/frontend/Loading.h"
#include "game/race/EventGoals.h"
#include "runtime/Array.h"

#include <cstdint>

namespace frontend_testing {

inline void startRaceLoad(std::int32_t track, game::GameMode mode) {
    game::initEventSlots();
    game::EventSlotStatics& slots = game::eventSlotStatics();
    slots.s_currentEvent = 0;
    rt::ByteArray::set(slots.s_eventRaceRow, 0, static_cast<std::int8_t>(track));
    rt::ByteArray::set(slots.s_eventTrack, 0, static_cast<std::int8_t>(track));
    rt::ByteArray::set(slots.s_eventVariant, 0, 0);
    game::setSlotEventType(0, game::eventTypeOf(mode));
    game::stateStatics().s_gameMode = mode;
    game::startLoading(game::kLoadRace, game::firstRaceState(mode));
}

} // namespace frontend_testing
