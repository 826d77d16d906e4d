// Reads the input as an event entry of track 2. Every variant read has its
// 17-value row and counts that match its tables.

#include "fuzz/RaceDataHarness.h"
#include "game/race/RaceTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzing::runRaceReader(data, size, [](game::EntryReader& reader) {
        game::readEventEntry(reader, 2, 2);
        const game::EventStatics& s = game::eventStatics();
        auto* rows = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(s.s_eventRows, 2));
        if (!reader.ok() || !rows)
            return;
        auto* lists = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(s.s_eventLists, 2));
        auto* counts = static_cast<rt::IntArray*>(rt::ObjectArray::get(s.s_eventListCounts, 2));
        for (std::int32_t j = 0; j < rows->length(); ++j) {
            fuzzing::check(game::eventRow(2, j)->length() == 17);
            auto* list = static_cast<rt::IntArray*>(rt::ObjectArray::get(lists, j));
            fuzzing::check(list->length() == 3 * rt::IntArray::get(counts, j));
        }
    });
}
