#include "game/frontend/QuickRace.h"

#include "game/data/TextPacks.h"
#include "game/framework/MissingData.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/frontend/Loading.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceTables.h"
#include "game/race/TrackData.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <string>

namespace game {

namespace {

// The race table cannot give the race asked for: the run ends, naming it.
bool refuse(const std::string& problem) {
    host::logf(host::LogCategory::Game, "quick race: %s", problem.c_str());
    rt::String* tables = rt::getStaticClass().getConstantString(rt::constants::kGameTablesPack);
    endRunWithBrokenData(tables ? tables->toUtf8() : std::string("(no pack)"), problem);
    return false;
}

} // namespace

bool startQuickRace(std::int32_t row) {
    if (row < 0 || row >= kTrackCount || row >= raceRowCount())
        return refuse("race row " + std::to_string(row) + " is not in the race table");
    // The event slots take the row as its track; a table that names another
    // track would load a race the row does not describe.
    if (const std::int32_t track = raceRowValue(row, 0); track != row)
        return refuse("race row " + std::to_string(row) + " names track " + std::to_string(track));
    // The event's title, type and tip come from the menus' texts, as they
    // do when the front end chooses the event.
    unloadAllTexts();
    if (!loadTextPack(startupStatics().s_textPackName, kMenuTextEntry)) {
        rt::String* pack = startupStatics().s_textPackName;
        endRunWithBrokenData((pack ? pack->toUtf8() : std::string("(no pack)")) + " entry " +
                                 std::to_string(kMenuTextEntry),
                             "the text table cannot be loaded");
        return false;
    }
    // A race entered without the front end has no menus to fall back on.
    loadingStatics().s_raceFailureEndsRun = 1;
    setupEventSlots(row, false);
    startLoading(kLoadRace, firstRaceState(stateStatics().s_gameMode));
    return true;
}

} // namespace game
