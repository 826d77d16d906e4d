#pragma once

// The sliding menus: the main menu (state 6) and the mode menus 15 and 17.
// A choice blinks its item for 8 frames, then the items slide out to the
// left one after another, and only then is the choice carried out (a state
// pushed). Entering the menu, also when a pushed state pops back to it,
// brings every item back; so does a choice without a target.

#include "game/data/Progress.h"
#include "game/framework/States.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// Bit of the third progress mask: the first-time question was answered.
inline constexpr std::int32_t kStartQuestionAnsweredBit = 3;
static_assert((kMaskCBits >> kStartQuestionAnsweredBit & 1) != 0, "a saved mask C holding it must be taken");

struct FrontEndStatics {
    // The highlighted item of each menu state when it was left (short[48],
    // indexed by the state's number).
    rt::ShortArray* s_lastSelection = nullptr;
    // 0, no state, until a sliding menu has been left.
    State s_lastMenuState{};

    RT_REFERENCE_FIELDS(FrontEndStatics, rt::NoReferenceBase, s_lastSelection)
};

FrontEndStatics& frontEndStatics();
// `s_lastSelection`, made on first use.
rt::ShortArray* rememberedSelections();
// The item of `state` highlighted when it was left last, and remembering it.
std::int32_t rememberedSelection(State state);
void rememberSelection(State state, std::int32_t selection);

// The handlers of states 6, 15 and 17.
void stateMainMenu(std::int32_t message);
void stateModeMenu(std::int32_t message);
void stateRaceMenu(std::int32_t message);

// Key map 0 for the menus: the digits 2, 4, 6 and 8 walk (game keys 8, 10,
// 12, 14) and 5 chooses (game key 11).
void mapMenuDigits();

// Registers the menu states' handlers.
void registerMenuStates();

} // namespace game
