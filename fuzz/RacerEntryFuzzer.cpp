// Reads the input as a racer entry. A whole racer has at least one speed
// step and one time behind their leading 0s.

#include "fuzz/RaceDataHarness.h"
#include "game/race/RacerData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzing::runRaceReader(data, size, [](game::EntryReader& reader) {
        game::RacerStatics& s = game::racerStatics();
        s.s_racerDefinitions = rt::newObjectArray(1);
        s.s_racerLists = rt::newObjectArray(1);
        rt::ObjectArray::set(s.s_racerDefinitions, 0, rt::newIntArray(game::kRacerDefinitionInts));
        rt::ObjectArray::set(s.s_racerLists, 0, rt::newObjectArray(2));
        game::RacerFault fault = game::readRacerDefinition(reader, 0);
        if (fault == game::RacerFault::None) {
            auto* lists = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(s.s_racerLists, 0));
            for (std::int32_t list = 0; list < 2; ++list) {
                auto* values = static_cast<rt::IntArray*>(rt::ObjectArray::get(lists, list));
                fuzzing::check(values && values->length() >= 2 && rt::IntArray::get(values, 0) == 0);
            }
        }
    });
}
