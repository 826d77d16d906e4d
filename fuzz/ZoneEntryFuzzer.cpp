// Reads the input as a zone entry. The zone table holds three shorts for
// every zone its count names, never a negative count.

#include "fuzz/RaceDataHarness.h"
#include "game/race/RaceTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzing::runRaceReader(data, size, [](game::EntryReader& reader) {
        game::readZones(reader, 0);
        const game::EventStatics& s = game::eventStatics();
        fuzzing::check(s.s_trackZoneCount >= 0 && s.s_trackZones->length() == 3 * s.s_trackZoneCount);
    });
}
