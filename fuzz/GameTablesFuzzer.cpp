// Reads the input as entry 0 of the game tables pack. The chunk sizes end
// with their total, and every record the total counts is found.

#include "fuzz/RaceDataHarness.h"
#include "game/race/RaceTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzing::runRaceReader(data, size, [](game::EntryReader& reader) {
        game::readGameTables(reader);
        const game::RaceTableStatics& s = game::raceTableStatics();
        if (reader.ok() && s.s_racerBlockSizes) {
            std::int32_t chunks = s.s_racerRecords->length();
            std::int32_t total = 0;
            for (std::int32_t i = 0; i < chunks; ++i)
                total += rt::ShortArray::get(s.s_racerBlockSizes, i);
            fuzzing::check(rt::ShortArray::get(s.s_racerBlockSizes, chunks) == total);
            if (total > 0)
                fuzzing::check(game::getRecordShort(total - 1, 0) >= 0);
            fuzzing::check(game::getRecordShort(total, 0) == -1);
        }
    });
}
