// What datakit writes for walls, banks, fog, wall kinds, section models
// and scenery strips comes back through the race data loader under the
// roadside painters' names, and data they cannot trust is cut once.

#include "game/racepaint/RoadsideTrack.h"

#include "game/race/TrackData.h"
#include "game/racepaint/RoadsideView.h"
#include "tests/game/race/RaceDataFixture.h"
#include "tools/datakit/TrackRoadside.h"

#include <gtest/gtest.h>

namespace {

using race_testing::RaceDataTest;

datakit::TrackModel ringOf(int segments) {
    std::mt19937 rng(36);
    return race_testing::randomTrack(rng, segments, 1, false);
}

// Every primitive type and polygon flag, a sprite in both modes, and a
// shape type the game does not know.
datakit::TrackRoadside busyRoadside() {
    using namespace datakit;
    TrackRoadside r;
    r.fogStart = 4096;
    r.wallKinds = {{wall_bits::kLeft, 300, 0x123456, 0x654321},
                   {wall_bits::kRight, 120, 0xFF00FF, 0x00FF00},
                   {wall_bits::kLeft | wall_bits::kRight, -5, 0xABCDEF, 0x010203}};
    r.walls = {wallByte(0), wallByte(1, true), 0, wallByte(2), wallByte(15), 0x20};
    r.banks = std::vector<std::int8_t>{bankByte(40, true), bankByte(254, false), 0, 0, 0, 0};
    const std::uint16_t flags[] = {0,
                                   section_bits::kNearDetail,
                                   section_bits::kGroundFog,
                                   section_bits::kTexturedQuad,
                                   section_bits::kAnchoredOnEdge,
                                   0xFFFF};
    std::vector<SectionPrimitive> model{colourPrimitive(1, 2, 50),
                                        rectanglePrimitive(-600, 0, 0, -500, 1024, 800, 2),
                                        linePrimitive(1, -2, 3, -4, 5, -6, 3)};
    for (std::uint16_t f : flags)
        model.push_back(polygonPrimitive(f, {-1, 2, -3}, {4, -5, 6}, {-7, 8, -9}, 4));
    model.push_back(spritePrimitive({.xA = 10,
                                     .depthOffset = 20,
                                     .lift = 30,
                                     .xB = 40,
                                     .t = 50,
                                     .sprite = 77,
                                     .detail = 2,
                                     .animationLength = 3000,
                                     .mode = section_bits::kStartCountAnimation}));
    model.push_back(spritePrimitive({.xA = -10, .sprite = 12, .mode = timeDigitMode(1, 6)}));
    SectionPrimitive unknown{};
    unknown.fields[0] = 5;
    model.push_back(unknown);
    r.sectionModels = {model, {}, {colourPrimitive(9, 9, 9)}};
    r.strips = {{1, 0, -900, 100, 0, 0}, {2, 3, 900, 1000, -1, 7}};
    return r;
}

TEST_F(RaceDataTest, RoadsideDataComesBackUnderItsNames) {
    datakit::TrackModel model = ringOf(6);
    const datakit::TrackRoadside roadside = busyRoadside();
    datakit::putRoadside(model, roadside);
    putPacks({{"tracks.pak", {datakit::writeTrack(model)}}});
    game::loadTrack(0);
    game::setupRoadside();
    // The one line: segment 4 names kind 15 of three.
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("kind"), std::string::npos) << log.lines()[0];

    EXPECT_EQ(game::roadsideView().s_fogStart, 4096);
    const game::RoadsideTrackStatics& r = game::roadsideTrack();
    ASSERT_EQ(r.s_wallKindCount, 3);
    for (std::int32_t k = 0; k < 3; ++k) {
        const datakit::WallKind& want = roadside.wallKinds[static_cast<std::size_t>(k)];
        const game::WallKind got = game::wallKind(k);
        EXPECT_EQ(got.sides, want.sides);
        EXPECT_EQ(got.height, want.height);
        EXPECT_EQ(got.colours[0], static_cast<std::int32_t>(want.evenColour));
        EXPECT_EQ(got.colours[1], static_cast<std::int32_t>(want.oddColour));
    }
    EXPECT_EQ(game::wallKind(3).sides, 0);
    const std::int32_t walls[] = {0x40, 0x61, 0, 0x42, 0, 0x20};
    const std::int32_t banks[] = {0x94, 0x7F, 0, 0, 0, 0};
    for (std::int32_t s = 0; s < 6; ++s) {
        EXPECT_EQ(game::segmentWall(s), walls[s]) << s;
        EXPECT_EQ(game::segmentBank(s), banks[s]) << s;
    }
    EXPECT_EQ(game::segmentWall(-5), walls[1]); // wrapped onto the ring

    ASSERT_EQ(r.s_sectionModelCount, 3);
    for (std::size_t m = 0; m < roadside.sectionModels.size(); ++m) {
        rt::ObjectArray* got = game::sectionModel(static_cast<std::int32_t>(m));
        const auto& want = roadside.sectionModels[m];
        ASSERT_EQ(got ? got->length() : 0, static_cast<std::int32_t>(want.size())) << m;
        for (std::size_t p = 0; p < want.size(); ++p) {
            auto* shape =
                static_cast<rt::ShortArray*>(rt::ObjectArray::get(got, static_cast<std::int32_t>(p)));
            if (want[p].fields[0] == 5) {
                EXPECT_EQ(shape, nullptr);
                continue;
            }
            ASSERT_NE(shape, nullptr) << m << " " << p;
            const auto values = rt::ShortArray::span(shape);
            for (std::size_t f = 0; f < values.size(); ++f)
                EXPECT_EQ(values[f], want[p].fields[f]) << m << " " << p << " field " << f;
        }
    }
    EXPECT_EQ(game::sectionModel(3), nullptr);

    const std::vector<std::int16_t> strips{1, 0, -900, 100, 0, 0, 2, 3, 900, 1000, -1, 7};
    const auto shorts = rt::ShortArray::span(game::trackStatics().s_trackShorts);
    EXPECT_EQ(std::vector<std::int16_t>(shorts.begin(), shorts.end()), strips);
}

TEST_F(RaceDataTest, RoadsideWithoutBanksOrWallsStaysFlatAndSilent) {
    datakit::TrackModel model = ringOf(4);
    datakit::TrackRoadside roadside;
    roadside.wallKinds = {{datakit::wall_bits::kLeft, 100, 1, 2}};
    datakit::putRoadside(model, roadside);
    putPacks({{"tracks.pak", {datakit::writeTrack(model)}}});
    game::loadTrack(0);
    game::setupRoadside();
    EXPECT_TRUE(log.lines().empty());
    EXPECT_FALSE(game::hasBanks());
    EXPECT_EQ(game::roadsideView().s_fogStart, 15360);
    for (std::int32_t s = 0; s < 4; ++s)
        EXPECT_EQ(game::segmentWall(s) | game::segmentBank(s), 0);
}

TEST_F(RaceDataTest, ShortRoadsideArraysAreDroppedWithOneLine) {
    datakit::TrackModel model = ringOf(5);
    datakit::TrackRoadside roadside;
    // Two kinds but one colour pair.
    roadside.wallKinds = {{datakit::wall_bits::kLeft, 100, 1, 2}, {datakit::wall_bits::kRight, 100, 3, 4}};
    roadside.walls = {datakit::wallByte(0), datakit::wallByte(1)};
    roadside.banks = std::vector<std::int8_t>{1, 1, 1, 1, 1};
    datakit::putRoadside(model, roadside);
    model.trackIntPairs.resize(2);
    putPacks({{"tracks.pak", {datakit::writeTrack(model)}}});
    game::loadTrack(0);
    game::trackStatics().s_segmentBytesA = rt::newByteArray(4);
    game::trackStatics().s_segmentDecor = rt::newByteArray(3);
    game::setupRoadside();
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(game::roadsideTrack().s_wallKindCount, 1);
    EXPECT_FALSE(game::hasBanks());
    EXPECT_EQ(game::segmentWall(0), 0);
    EXPECT_EQ(game::segmentBank(0), 0);
}

} // namespace
