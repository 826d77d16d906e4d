// The fixed-point tables come from the demo set's pack when state 1 loads.

#include "game/data/MathTables.h"
#include "game/framework/FixedPoint.h"
#include "tests/game/data/DataFixture.h"
#include "tests/game/framework/GameFixture.h"
#include "tools/datakit/TypedArrayWriter.h"

namespace {

using data_testing::DataTest;

TEST(MathTables, StateOneLoadsTheCosineTableFromTheDemoSet) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(game.frame());
    const game::FixedPointStatics& fixed = game::fixedPointStatics();
    ASSERT_NE(fixed.s_cosTable, nullptr);
    std::span<std::int32_t> cosines = rt::IntArray::span(fixed.s_cosTable);
    EXPECT_EQ(std::vector<std::int32_t>(cosines.begin(), cosines.end()), mkdata::demoCosineTable());
    ASSERT_EQ(cosines.size(), 513u);
    // The fixed-point routines answer from the loaded table.
    EXPECT_EQ(game::cos(0), 4096);
    EXPECT_EQ(game::cos(fixed.s_quarterCircle), 0);
    EXPECT_EQ(game::cos(fixed.s_quarterCircle / 2), 2896); // 45 degrees
    EXPECT_EQ(game::cos(fixed.s_halfCircle), -4096);
    ASSERT_NE(fixed.s_cosCompanion, nullptr);
    EXPECT_EQ(fixed.s_cosCompanion->length(), 0);
    EXPECT_EQ(game::streamStatics().s_packStream, nullptr) << "the stream is closed after loading";
}

TEST_F(DataTest, TablesThatAreNoIntArraysOrAbsentStayNull) {
    putPack("m.pak",
            datakit::writePack({datakit::packEntry(0, datakit::writeTypedArray(datakit::byteArray({1}))),
                                datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray({7})))}));
    const game::FixedPointStatics& fixed = game::fixedPointStatics();
    game::loadMathTables(text("m.pak"), 0, 1);
    EXPECT_EQ(fixed.s_cosTable, nullptr);
    EXPECT_TRUE(log.contains("no int array"));
    ASSERT_NE(fixed.s_cosCompanion, nullptr);
    game::loadMathTables(text("m.pak"), 1, -1);
    EXPECT_EQ(rt::IntArray::get(fixed.s_cosTable, 0), 7);
    EXPECT_EQ(fixed.s_cosCompanion, nullptr);
}

} // namespace
