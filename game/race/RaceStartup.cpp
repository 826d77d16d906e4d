#include "game/race/RaceStartup.h"

#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"

namespace game {

void loadStartupRaceData() {
    loadTablesFromPack157();
    loadRacerDefinitions();
    loadTablesFromPack159();
    for (std::int32_t row = 0; row < raceRowCount(); ++row)
        loadTrackArrays(raceRowValue(row, 0));
}

std::string checkRaceData() {
    loadTablesFromPack157();
    loadRacerDefinitions();
    return racerDataProblem();
}

} // namespace game
