#pragma once
// The race data that start-up loads, in order: the game tables, the racer
// definitions, the event tables (which read the saved event records), and
// the wire model of every race row's track.
#include <string>

namespace game {

void loadStartupRaceData();
// Loads the game tables and the racer definitions and answers what is
// broken in them ("racer 3 has no time"), empty when they are sound. Start
// -up runs it before the game so that broken racers end the program with
// the broken-data status.
std::string checkRaceData();

} // namespace game
