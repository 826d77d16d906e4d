#include "game/data/EventSlots.h"
#include "tests/game/data/SavedProgressFixture.h"

#include <vector>

namespace {

using namespace progress_testing;

using Progress = SavedProgressTest;

TEST_F(Progress, BitNumbersCountByTheirLow8BitsAndFrom32NameNoBit) {
    struct Case {
        std::int32_t bit;
        std::uint32_t mask; // after setting it on an empty mask
    } cases[] = {{0, 1},   {5, 32}, {31, 0x80000000u}, {32, 0},
                 {255, 0}, {-1, 0}, {256, 1},          {256 + 31, 0x80000000u}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bit);
        game::ProgressStatics& progress = game::progressStatics();
        progress.s_progressMaskA = progress.s_progressMaskB = progress.s_progressMaskC = 0;
        game::setProgressFlagC(c.bit);
        EXPECT_EQ(static_cast<std::uint32_t>(progress.s_progressMaskC), c.mask);
        progress.s_progressMaskA = progress.s_progressMaskB = progress.s_progressMaskC = -1;
        EXPECT_EQ(game::hasProgressFlagA(c.bit), c.mask != 0);
        EXPECT_EQ(game::hasProgressFlagB(c.bit), c.mask != 0);
        EXPECT_EQ(game::hasProgressFlagC(c.bit), c.mask != 0);
    }
}

TEST_F(Progress, GridCellsAreColumnPlusRowTimesTheRowLength) {
    game::ProgressStatics& progress = game::progressStatics();
    progress.s_gridFlagsA = progress.s_gridFlagsB = 0;
    game::setGridFlagA(3, 7); // bit 31
    game::setGridFlagA(0, 8); // bit 32: no cell
    game::setGridRowB(1);
    game::clearGridFlagB(2, 1);
    EXPECT_EQ(static_cast<std::uint32_t>(progress.s_gridFlagsA), 0x80000000u);
    EXPECT_EQ(progress.s_gridFlagsB, 0xB0);
    EXPECT_TRUE(game::hasGridFlagA(3, 7));
    EXPECT_TRUE(game::hasGridFlagB(3, 1));
    EXPECT_FALSE(game::hasGridFlagB(2, 1));
    game::setGridRowA(2);
    EXPECT_EQ(static_cast<std::uint32_t>(progress.s_gridFlagsA), 0x80000F00u);
    progress.s_rewardGrid = 1 << 9;
    EXPECT_TRUE(game::hasReward(1, 2));
    EXPECT_FALSE(game::hasReward(2, 1));
}

TEST_F(Progress, ATierIsCompleteWhenEveryItemHasItsFirstBit) {
    for (std::int32_t item = 0; item < game::kTripletItems; ++item) {
        EXPECT_FALSE(game::isTierComplete(2));
        game::setTripletFlag(item, 2, 1); // not the bit that counts
        game::setTripletFlag(item, 2, 0);
    }
    EXPECT_TRUE(game::isTierComplete(2));
    EXPECT_FALSE(game::isTierComplete(1));
    EXPECT_EQ(rt::IntArray::get(game::progressStatics().s_tripletFlags, 0), 3 << 6);
    game::setTripletFlag(0, 11, 0); // bit 33: none
    EXPECT_EQ(rt::IntArray::get(game::progressStatics().s_tripletFlags, 0), 3 << 6);

    game::progressStatics().s_tripletFlags = rt::newIntArray(0);
    EXPECT_TRUE(game::isTierComplete(0)) << "no items: every tier complete";
}

std::vector<std::int32_t> listOf(rt::IntArray* bits) {
    if (!bits)
        return {};
    std::span<std::int32_t> values = rt::IntArray::span(bits);
    return {values.begin(), values.end()};
}

// From the defaults (masks 7, 7, 3; grid A 17, grid B 0), with `granted`
// already in the reward grid and the tiers of `completeTiers` complete.
TEST_F(Progress, GrantingARewardAppliesTheUnlockRulesAndSaves) {
    struct Case {
        const char* what;
        std::int32_t granted;
        std::vector<std::int32_t> completeTiers;
        std::int32_t column, row;
        std::int32_t maskA, maskB, maskC, gridA, gridB;
        std::vector<std::int32_t> newA, newB;
        std::int32_t allDone;
        std::int32_t rewards;
    } cases[] = {
        {"column 0 opens column 1", 0, {}, 0, 0, 7, 31, 3, 17 | 2 | 32, 2 | 32, {}, {3, 4}, 0, 1},
        {"and tier 0 done", 0, {0}, 0, 0, 15, 31, 3, 17 | 2 | 32, 2 | 32, {3}, {3, 4}, 0, 1},
        {"column 1, tier 1 done",
         0,
         {1},
         1,
         1,
         23,
         39,
         7,
         0xF00 | 17 | 4 | 64,
         0xF00 | 4 | 64,
         {4},
         {5},
         0,
         32},
        {"column 2 opens column 3", 0, {}, 2, 1, 7, 7, 3, 17 | 8 | 128, 8 | 128, {}, {}, 0, 64},
        {"column 3 opens nothing", 0, {}, 3, 0, 7, 7, 3, 17, 0, {}, {}, 0, 8},
        {"row 1 after row 0: no column unlock", 1, {}, 0, 1, 7, 7, 3, 17, 0, {}, {}, 0, 1 | 16},
        {"but its tier rule", 1, {1}, 0, 1, 23, 7, 7, 0xF00 | 17, 0xF00, {4}, {}, 0, 1 | 16},
        {"row 0 after row 1", 16, {}, 0, 0, 7, 7, 3, 17, 0, {}, {}, 0, 1 | 16},
        {"row 2, the last tier done", 0, {2}, 2, 2, 39, 7, 3, 17, 0, {5}, {}, 1, 1 << 10},
        {"row 2, last tier open", 0, {0, 1}, 1, 2, 7, 7, 3, 17, 0, {}, {}, 0, 1 << 9},
        {"row 3 has no rule", 0, {0, 1, 2}, 0, 3, 7, 7, 3, 17, 0, {}, {}, 0, 1 << 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        game::resetUnlocks();
        game::ProgressStatics& progress = game::progressStatics();
        progress.s_rewardGrid = c.granted;
        for (std::int32_t tier : c.completeTiers) {
            for (std::int32_t item = 0; item < game::kTripletItems; ++item)
                game::setTripletFlag(item, tier, 0);
        }
        game::grantReward(c.column, c.row);
        EXPECT_EQ(progress.s_progressMaskA, c.maskA);
        EXPECT_EQ(progress.s_progressMaskB, c.maskB);
        EXPECT_EQ(progress.s_progressMaskC, c.maskC);
        EXPECT_EQ(progress.s_gridFlagsA, c.gridA);
        EXPECT_EQ(progress.s_gridFlagsB, c.gridB);
        EXPECT_EQ(listOf(progress.s_newMaskABits), c.newA);
        EXPECT_EQ(listOf(progress.s_newMaskBBits), c.newB);
        EXPECT_EQ(progress.s_allTiersDone, c.allDone);
        EXPECT_EQ(progress.s_rewardGrid, c.rewards);
        EXPECT_EQ(record("Unlocks"), datakit::writeUnlockRecord(unlocksInMemory())) << "saved at once";
    }
}

TEST_F(Progress, ARewardGrantedTwiceChangesNothingAndSavesNothing) {
    game::resetUnlocks();
    game::grantReward(1, 0);
    Bytes saved = record("Unlocks");
    datakit::UnlockRecord before = unlocksInMemory();
    game::progressStatics().s_newMaskBBits = nullptr;
    fs::remove(inProgramFolder(datakit::recordFileName("Unlocks", 1, kNames)));

    game::grantReward(1, 0);
    EXPECT_TRUE(unlocksInMemory() == before);
    EXPECT_EQ(game::progressStatics().s_newMaskBBits, nullptr);
    EXPECT_FALSE(fs::exists(inProgramFolder(datakit::recordFileName("Unlocks", 1, kNames)))) << "no save";
    EXPECT_FALSE(saved.empty());
}

TEST_F(Progress, EventSlotsResetToOneAndKeepTheirTables) {
    game::EventSlotStatics& slots = game::eventSlotStatics();
    game::initEventSlots();
    ASSERT_NE(slots.s_eventTrack, nullptr);
    EXPECT_EQ(slots.s_eventTrack->length(), game::kEventSlots);
    EXPECT_EQ(slots.s_eventName->length(), game::kEventSlots);
    rt::ByteArray* track = slots.s_eventTrack;
    rt::ByteArray::set(track, 2, 9);
    slots.s_currentEvent = 3;
    slots.s_eventSlotCount = 4;
    game::initEventSlots();
    EXPECT_EQ(slots.s_currentEvent, 0);
    EXPECT_EQ(slots.s_eventSlotCount, 1);
    EXPECT_EQ(slots.s_eventTrack, track);
    EXPECT_EQ(rt::ByteArray::get(track, 2), 9);
}

} // namespace
