#pragma once
// What the driving tests share: a track ring built by datakit's ring
// builder and loaded through the track loader.

#include "game/race/EntryReader.h"
#include "game/race/TrackData.h"
#include "tests/game/race/RaceDataFixture.h"
#include "tools/datakit/TrackRing.h"

namespace race_testing {

struct DrivingTest : RaceDataTest {
    // Loads `ring` as the current track.
    static void loadRing(const datakit::TrackRing& ring, std::uint16_t halfWidth = 1000,
                         std::uint16_t margin = 400) {
        Bytes entry = datakit::writeTrack(ring.model(halfWidth, margin));
        game::EntryReader reader(std::move(entry), "track pack");
        reader.skip(game::kWireModelBytes);
        ASSERT_TRUE(game::loadTrackEntry(reader, 1));
    }
};

} // namespace race_testing
