// The fixed-point tables come from the demo set's pack when state 1 loads.

#include "game/data/MathTables.h"
#include "game/framework/StartupLoad.h"
#include "tests/game/data/DataFixture.h"
#include "tests/game/framework/GameFixture.h"
#include "tools/datakit/TypedArrayWriter.h"

namespace {

using data_testing::DataTest;

TEST(MathTables, StateOneLoadsTheCosineTableFromTheDemoSet) {
    framework_testing::StartedGame game;
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(game.frame());
    const game::StartupStatics& startup = game::startupStatics();
    ASSERT_NE(startup.s_cosineTable, nullptr);
    std::span<std::int32_t> cosines = rt::IntArray::span(startup.s_cosineTable);
    EXPECT_EQ(std::vector<std::int32_t>(cosines.begin(), cosines.end()), mkdata::demoCosineTable());
    ASSERT_EQ(cosines.size(), 513u);
    EXPECT_EQ(cosines[0], 4096);
    EXPECT_EQ(cosines[256], 2896); // cos 45 degrees
    EXPECT_EQ(cosines[512], 0);
    ASSERT_NE(startup.s_cosineCompanion, nullptr);
    EXPECT_EQ(startup.s_cosineCompanion->length(), 0);
    EXPECT_EQ(game::streamStatics().s_packStream, nullptr) << "the stream is closed after loading";
}

TEST_F(DataTest, TablesThatAreNoIntArraysOrAbsentStayNull) {
    putPack("m.pak",
            datakit::writePack({datakit::packEntry(0, datakit::writeTypedArray(datakit::byteArray({1}))),
                                datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray({7})))}));
    game::loadMathTables(text("m.pak"), 0, 1);
    EXPECT_EQ(game::startupStatics().s_cosineTable, nullptr);
    EXPECT_TRUE(log.contains("no int array"));
    ASSERT_NE(game::startupStatics().s_cosineCompanion, nullptr);
    game::loadMathTables(text("m.pak"), 1, -1);
    EXPECT_EQ(rt::IntArray::get(game::startupStatics().s_cosineTable, 0), 7);
    EXPECT_EQ(game::startupStatics().s_cosineCompanion, nullptr);
}

} // namespace
