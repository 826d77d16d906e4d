#include "game/frontend/QuickRace.h"

#include "game/data/TextPacks.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Texts.h"
#include "game/frontend/Loading.h"
#include "game/race/RaceRelease.h"
#include "game/race/RaceTables.h"
#include "game/race/TrackData.h"
#include "host/Log.h"

namespace game {

namespace {

// The text table of the menus, which holds the events' titles and tips.
constexpr std::int32_t kMenuTexts = 2;

} // namespace

bool startQuickRace(std::int32_t row) {
    if (row < 0 || row >= kTrackCount || row >= raceRowCount()) {
        host::logf(host::LogCategory::Game, "quick race: race row %d is not in the race table", row);
        return false;
    }
    // The event slots take the row as its track; a table that names another
    // track would load a race the row does not describe.
    if (const std::int32_t track = raceRowValue(row, 0); track != row) {
        host::logf(host::LogCategory::Game, "quick race: race row %d names track %d", row, track);
        return false;
    }
    // The event's title, type and tip come from the menus' texts, as they
    // do when the front end chooses the event.
    unloadAllTexts();
    if (!loadTextPack(startupStatics().s_textPackName, kMenuTexts))
        host::logf(host::LogCategory::Game, "quick race: text table %d did not load", kMenuTexts);
    setupEventSlots(row, false);
    startLoading(kLoadRace, firstRaceState(stateStatics().s_gameMode));
    return true;
}

} // namespace game
