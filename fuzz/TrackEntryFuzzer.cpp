// Reads the input as a track entry (wire model first). A track that loads
// has per-segment arrays as long as its segment count says, and trigger
// codes for every slot of every segment.

#include "fuzz/RaceDataHarness.h"
#include "game/race/TrackData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzing::runRaceReader(data, size, [](game::EntryReader& reader) {
        reader.skip(game::kWireModelBytes);
        bool loaded = game::loadTrackEntry(reader, 1);
        const game::TrackStatics& t = game::trackStatics();
        fuzzing::check(loaded == (t.s_trackLoaded == 1));
        if (loaded) {
            const std::int32_t n = t.s_segmentCount;
            fuzzing::check(t.s_segmentCurve->length() == n && t.s_segmentHeight->length() == n);
            fuzzing::check(t.s_segmentAttributes->length() == 2 * n && t.s_segmentState->length() == n);
            fuzzing::check(t.s_triggerCodes->length() == n * t.s_triggersPerSegment);
            fuzzing::check(t.s_laneCount >= 1);
        }
    });
}
