#pragma once

// The loading state 4: it builds what the next screen needs one step per
// frame, so that the frame loop keeps painting the loading screen and its
// bar. A caller names the load kind and the state to go to
// (`startLoading`), and the state runs the kinds one step a frame: the race
// kinds through the race loader (RaceLoader.h), the menus' kind here. When
// every kind has run it goes back to the next state: at once to the menus
// and the championship's reward screen, after a key or a tap to a race.
//
// The bar's value rises by one per step (and per sprite slot a walking step
// passes), stays below the kind's end value until its last step, and is set
// to that value when the kind is complete.
//
// A step that cannot go on (a resource it needs is missing, or it left an
// exception pending) is not run again: `failLoadStep` logs one line naming
// the kind, the step and the resource, and the load is abandoned. A race
// load then loads the menus instead and, once they are in, the loading
// screen gives way to a notice saying the race could not be loaded
// (MenuScreens.h), which a tap or the select, fire or left soft key
// takes to the main menu; unless the race was entered without the front
// end (`s_raceFailureEndsRun`). A failed menus' load, and such a race's,
// end the run with the broken-data status naming the resource.
//
// Threads: the game thread only.

#include "game/framework/States.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>
#include <string>

namespace platform {
class javax_microedition_lcdui_Graphics;
}

namespace game {

class ASprite;

inline constexpr std::int32_t kMenuLoadSteps = 24;
inline constexpr std::int32_t kRaceLoadSteps = 40;

struct LoadingStatics {
    // The loading bar, all reset together by `initLoadingBar`: the load
    // kinds still to run (bits), the steps of the running kind, the bar's
    // value when a kind is complete, the bar's value, the running kind's
    // step and the slot a step walks over several frames, and whether every
    // kind has run.
    std::int32_t s_loadingStyle = 0;
    std::int32_t s_loadingBarHeight = 0;
    std::int32_t s_loadingBarWidth = 0;
    std::int32_t s_loadingProgress = 0;
    std::int32_t s_loadingStep = 0;
    std::int32_t s_loadingSubStep = 0;
    std::int32_t s_loadingDone = 0;
    // The loading screen's own texts, kept while the loaded texts change.
    rt::ObjectArray* s_loadingTexts = nullptr;
    // The bar width painted last: the bar never shrinks while a load runs.
    std::int32_t s_barShown = 0;
    // Set by a race step, cleared by a menu step.
    std::int8_t s_raceStepRan = 0;
    // The prompt after a race load blinks; whether it is shown now.
    std::int8_t s_promptShown = 0;
    // Set by `failLoadStep` during the step that failed.
    std::int8_t s_stepFailed = 0;
    // A race load that fails ends the run (a race entered without the front
    // end has no menus to go back to).
    std::int8_t s_raceFailureEndsRun = 0;
    // A race load failed and the menus' load took its place: once that is
    // done the state shows the failure notice until the player answers it.
    std::int8_t s_raceLoadFailed = 0;

    RT_REFERENCE_FIELDS(LoadingStatics, rt::NoReferenceBase, s_loadingTexts)
};

LoadingStatics& loadingStatics();

// The loading bar's size by style, that of the kind that runs first (race,
// then next race, then menus); 0 by 0 for none of them.
std::int32_t loadingBarHeight(std::int32_t style);
std::int32_t loadingBarWidth(std::int32_t style);
void initLoadingBar(std::int32_t style);

// Asks for a load of `kind` followed by `nextState` and pushes the loading
// state. Every way into a race, and back to the menus, goes through here.
void startLoading(std::int32_t kind, State nextState);

// What every load does first: the button and background sprites, the first
// font when it is missing, and the loading screen's texts; `raceKind` also
// loads the item sprite again with its grey palette.
void startLoad(bool raceKind);

// Constant string `n`: for a pack constant (`rt::constants`), the pack's
// file name.
rt::String* constantString(std::int32_t n);
// The sprite in slot `slot` of the sprite table; null for a slot outside
// the table, an empty one and one that holds another class.
ASprite* spriteInSlot(std::int32_t slot);
// Loads entry `entry` of the text pack (TextPacks.h), reported missing
// (MissingData.h) when no table could be installed.
void loadNeededTexts(std::int32_t entry);

// Field `field` of the definition of racer `id` (1: its sprite set, 3: its
// second set); -1 when the racer has no definition.
std::int32_t racerField(std::int32_t id, std::int32_t field);
// "<pack file> entry <entry>" for the pack that constant string `pack` names.
std::string packEntryName(std::int32_t pack, std::int32_t entry);
// What a car's sprite set (slots `kCarSprite0` to `kCarSprite9`) lacks of
// what the menus and the race draw from it, as a problem ("12 frames; a car
// draws 49"); empty when it has it all, and for every other slot.
std::string carSpriteShortfall(std::int32_t slot, const ASprite* s);
// The racers whose sprite sets the loads manage: the last value of the
// record block sizes.
std::int32_t managedRacerCount();

// The running step cannot go on because of `resource` ("/tracks.pak entry
// 1") and `why` ("cannot be loaded"): logged once per step with the kind and
// the step, and the load is abandoned after the step (the run ends there
// when that load is the menus' or a race's that ends the run).
void failLoadStep(const std::string& resource, const std::string& why);

// The handler of state 4.
void stateLoading(std::int32_t message);
// One step of the first kind still to run; counts it on the bar.
void loadingStep();
// Step `s_loadingStep` of the menus' load (kind 4).
void loadMenuStep();
// The loading screen: texts 0 and 1 of the loading texts and the bar.
void paintLoadingScreen(platform::javax_microedition_lcdui_Graphics* g);

// Registers state 4's handler.
void registerLoadingState();

} // namespace game
