// State 1 loads the demo set's race data: tables, racers, events, the saved
// event records and the wire models; each of its six tracks loads whole.

#include "game/data/SaveRecords.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/TrackData.h"
#include "tests/game/framework/GameFixture.h"

namespace {

TEST(DemoRaceData, StateOneLoadsTheRaceTablesAndEveryTrackLoads) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(game.frame());
    EXPECT_EQ(game::raceRowCount(), 6);
    EXPECT_EQ(game::racerDataProblem(), "");
    const game::RacerStatics& racers = game::racerStatics();
    ASSERT_NE(racers.s_racerDefinitions, nullptr);
    EXPECT_EQ(racers.s_racerDefinitions->length(), 14);
    EXPECT_GE(rt::ShortArray::get(game::raceTableStatics().s_racerBlockSizes, 0), 6) << "the player's block";
    // Every track has a three-lap race of six cars, indexed under type 0.
    auto* races = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(game::eventStatics().s_eventsByType, 0));
    ASSERT_NE(races, nullptr);
    EXPECT_EQ(races->length(), 6);
    for (std::int32_t track = 0; track < 6; ++track) {
        rt::IntArray* row = game::eventRow(track, 0);
        EXPECT_EQ(rt::IntArray::get(row, 5), 3);
        EXPECT_EQ(rt::IntArray::get(row, 16), 6);
    }
    EXPECT_NE(game::trackStatics().s_wireModels, nullptr);
    for (std::int32_t track = 0; track < 6; ++track) {
        game::loadTrack(track);
        const game::TrackStatics& t = game::trackStatics();
        ASSERT_EQ(t.s_trackLoaded, 1) << "track " << track;
        EXPECT_GE(t.s_segmentCount, 250);
        // The bends make one full turn: 2048 units less what the division
        // into whole units drops, under one unit per segment.
        std::int64_t turn = 0;
        for (std::int32_t curve : rt::IntArray::span(t.s_segmentCurve))
            turn += curve;
        EXPECT_LE(turn, 2048) << "track " << track;
        EXPECT_GT(turn, 2048 - t.s_segmentCount) << "track " << track;
    }
    for (const std::string& line : game.log.lines())
        EXPECT_EQ(line.find("pack:"), std::string::npos) << line;
}

} // namespace
