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

TEST_F(DataTest, TablesTheFixedPointRoutinesCannotIndexAreNamed) {
    game::initFixedPointConstants();
    const std::int32_t quarter = game::fixedPointStatics().s_quarterCircle;
    const std::vector<std::int32_t> full(static_cast<std::size_t>(quarter + 1), 4096);
    const std::vector<std::int32_t> short_(static_cast<std::size_t>(quarter), 4096);
    struct Case {
        const char* name;
        std::vector<datakit::Bytes> entries;
        std::string problem;
    };
    const Case cases[] = {
        {"sound",
         {datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray(full))),
          datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray({})))},
         ""},
        {"cosines one short",
         {datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray(short_))),
          datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray({})))},
         "entry 0 (the cosine table) holds " + std::to_string(quarter) + " values, not " +
             std::to_string(quarter + 1)},
        {"cosines of another type",
         {datakit::packEntry(0, datakit::writeTypedArray(datakit::byteArray({1}))),
          datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray({})))},
         "entry 0 (the cosine table) is no int array or cannot be read"},
        {"companion of another type",
         {datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray(full))),
          datakit::packEntry(0, datakit::writeTypedArray(datakit::byteArray({1})))},
         "entry 1 is no int array or cannot be read"},
        {"companion missing",
         {datakit::packEntry(0, datakit::writeTypedArray(datakit::intArray(full)))},
         "entry 1 is no int array or cannot be read"},
    };
    std::vector<datakit::ArchiveEntry> files;
    for (std::size_t n = 0; n < std::size(cases); ++n)
        for (datakit::ArchiveEntry& file :
             datakit::packArchiveEntries(datakit::widen("m" + std::to_string(n) + ".pak"), u".",
                                         datakit::writePack(cases[n].entries)))
            files.push_back(std::move(file));
    putArchive(files);
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        SCOPED_TRACE(cases[n].name);
        game::loadMathTables(text(("m" + std::to_string(n) + ".pak").c_str()), 0, 1);
        EXPECT_EQ(game::fixedPointTableProblem(), cases[n].problem);
    }
}

} // namespace
