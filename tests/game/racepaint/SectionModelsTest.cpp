#include "game/racepaint/SectionModels.h"
#include "game/racepaint/RoadsideView.h"

#include "game/data/EventSlots.h"
#include "game/framework/States.h"
#include "game/race/EventGoals.h"
#include "game/race/RaceFrame.h"
#include "game/race/RaceState.h"
#include "game/race/RaceTables.h"
#include "game/race/RacerData.h"
#include "game/race/RoadProjection.h"
#include "game/race/TrackTriggers.h"
#include "game/race/cEntity.h"
#include "game/racepaint/RoadImages.h"
#include "game/sprite/ZoomPlayers.h"
#include "tests/game/racepaint/RoadsideTrackFixture.h"
#include "tests/support/DrawingLog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

// Its own namespace: this file compiles in one batch with its neighbours.
namespace section_models_test {

namespace {

using datakit::colourPrimitive;
using datakit::rectanglePrimitive;
using roadside_testing::kHalfWidth;
using roadside_testing::RoadsideTrackTest;
using sprite_testing::on565;

// A white board 200 wide and 200 high standing on the road centre at the
// slice's near edge, of detail class `detail`.
std::vector<datakit::SectionPrimitive> board(std::int16_t detail) {
    return {colourPrimitive(255, 255, 255), rectanglePrimitive(-100, 0, 0, 100, 0, 200, detail)};
}

struct SectionModelTest : RoadsideTrackTest {
    void loadModels(std::vector<std::vector<datakit::SectionPrimitive>> models) {
        datakit::TrackRoadside roadside;
        roadside.sectionModels = std::move(models);
        load(plainRing(20), roadside);
        straightView();
    }
    bool drawsAnything() const { return screen.bounds() != std::vector<std::int32_t>{0, 0, 0, 0}; }
};

TEST_F(SectionModelTest, DetailClassesShowBySlice) {
    loadModels({board(0), board(2), board(3), board(4)});
    struct Case {
        std::int32_t detail;
        std::vector<std::int32_t> shownAt;
    };
    const Case cases[] = {{0, {0, 6, 7, 10, 11, 14}}, {2, {0, 6, 7, 10}}, {3, {0, 6}}, {4, {11, 14}}};
    for (const Case& c : cases) {
        for (std::int32_t k : {0, 6, 7, 10, 11, 14}) {
            clearScreen();
            // A non-zero offset anchors at offset + half width: the centre.
            game::drawTrackSection(c.detail == 0 ? 0 : c.detail - 1, k, -kHalfWidth, 0);
            EXPECT_EQ(drawsAnything(), std::ranges::count(c.shownAt, k) == 1)
                << "class " << c.detail << " k " << k;
        }
    }
}

// A flat board from the near edge to the far edge of slice 2 at road level:
// code bits 0x300 drop it by 3/4 of the half width at the near edge and 5/4
// at the far edge.
TEST_F(SectionModelTest, LoweredModelsSinkUnderTheRoad) {
    loadModels({{colourPrimitive(255, 255, 255), rectanglePrimitive(-100, 0, 0, 100, 1024, 0)}});
    for (std::int32_t code : {0, 0x100, 0x200, 0x300}) {
        clearScreen();
        game::drawTrackSection(code, 2, -kHalfWidth, 0);
        const double nearDrop = code != 0 ? kHalfWidth * 0.75 : 0;
        const double farDrop = code != 0 ? kHalfWidth * 1.25 : 0;
        const double zNear = depthOf(2), zFar = depthOf(3);
        const double top = screenY(-roadside_testing::kEyeHeight - farDrop, zFar);
        const double bottom = screenY(-roadside_testing::kEyeHeight - nearDrop, zNear);
        const std::vector<std::int32_t> box = screen.bounds();
        EXPECT_NEAR(box[0], screenX(-100, zNear), 1) << code;
        EXPECT_NEAR(box[1], top, 1) << code;
        EXPECT_NEAR(box[2], screenX(100, zFar), 1) << code;
        EXPECT_NEAR(box[3], bottom, 1) << code;
    }
}

TEST_F(SectionModelTest, AFoggedRectangleLeavesItsFadedColourCurrent) {
    loadModels({{colourPrimitive(255, 0, 0), rectanglePrimitive(-300, 0, 0, -200, 0, 100),
                 rectanglePrimitive(200, 0, 0, 300, 0, 100)}});
    game::roadsideView().s_fogStart = 4096;
    game::roadsideView().s_wallFogColour = 0x0000FF;
    const std::int32_t k = 9;
    game::drawTrackSection(0, k, -kHalfWidth, 0);
    const std::int32_t weight = (static_cast<std::int32_t>(depthOf(k)) - 4096) * 256 / (15360 - 4096);
    const std::int32_t first = game::blendColor(0x0000FF, 0xFF0000, weight);
    const std::int32_t second = game::blendColor(0x0000FF, first, weight);
    const double z = depthOf(k);
    const auto y = static_cast<std::int32_t>(screenY(-roadside_testing::kEyeHeight + 50, z));
    EXPECT_EQ(screen.at(static_cast<std::int32_t>(screenX(-250, z)), y),
              on565(static_cast<std::uint32_t>(first)));
    EXPECT_EQ(screen.at(static_cast<std::int32_t>(screenX(250, z)), y),
              on565(static_cast<std::uint32_t>(second)));
}

// A line is cut at the clip's left and right edges before it is drawn: each
// end beyond them slides along the line onto the edge (the right one onto
// its last column), dividing toward zero.
TEST_F(SectionModelTest, ALineSlidesItsEndsOntoTheClipsSides) {
    loadModels({{colourPrimitive(255, 255, 255), datakit::linePrimitive(-300, 0, 0, 300, 0, 300)}});
    auto drawnLine = [] {
        testing_support::DrawingLog drawn;
        game::drawTrackSection(0, 2, -kHalfWidth, 0);
        const std::vector<game::DrawRecord> lines = drawn.outer(game::DrawCall::DrawLine);
        EXPECT_EQ(lines.size(), 1u);
        return lines.empty() ? std::vector<std::int32_t>{}
                             : std::vector<std::int32_t>(lines[0].args.begin(), lines[0].args.begin() + 4);
    };
    const std::vector<std::int32_t> whole = drawnLine();
    ASSERT_EQ(whole.size(), 4u);
    const std::int32_t x1 = whole[0], y1 = whole[1], x2 = whole[2], y2 = whole[3];
    ASSERT_LT(x1 + 10, x2 - 10) << "a line across the clip, drawn whole on the open screen";

    const std::int32_t left = x1 + 10, right = x2 - 10; // the clip's columns left .. right - 1
    screen.graphics->setClip(left, 0, right - left, 480);
    const std::int32_t y1Cut = y1 + (left - x1) * (y2 - y1) / (x2 - x1);
    const std::int32_t y2Cut = y2 - (x2 - (right - 1)) * (y2 - y1Cut) / (x2 - left);
    EXPECT_EQ(drawnLine(), (std::vector<std::int32_t>{left, y1Cut, right - 1, y2Cut}));
    screen.graphics->setClip(0, 0, 640, 480);
}

TEST(SectionModelDigits, ATimingBoardShowsMinutesSecondsAndMilliseconds) {
    struct Case {
        std::int32_t time;
        std::int32_t digits[7];
    };
    const Case cases[] = {
        {342016, {0, 1, 2, 3, 4, 9, 9}},            // 83.5 s: 1:23.499
        {-342016, {0, 1, 2, 3, 4, 9, 9}},           // the sign is dropped
        {600 * 4096 + 4095, {1, 0, 0, 0, 9, 9, 8}}, // 10:00.998
        {0, {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        for (std::int32_t d = 0; d < 7; ++d)
            EXPECT_EQ(game::timeDigit(c.time, d), c.digits[d]) << c.time << " digit " << d;
}

TEST_F(SectionModelTest, ModelsThatCannotBeDrawnAreSkippedQuietly) {
    // Digits of the racer in place 3 of one, and of the racer in place 0,
    // whose time slot lies past the times.
    datakit::SpritePrimitive pastTheRacers{
        .xA = -100, .xB = 100, .sprite = 3, .mode = datakit::timeDigitMode(3, 0)};
    datakit::SpritePrimitive pastTheTimes = pastTheRacers;
    pastTheTimes.mode = datakit::timeDigitMode(0, 6);
    loadModels(
        {board(0), {datakit::spritePrimitive(pastTheRacers)}, {datakit::spritePrimitive(pastTheTimes)}});
    game::cEntity* racer = game::cEntity::cEntityWithType(1);
    racer->m_racerIndex = 5;
    game::raceStatics().s_racers = rt::newObjectArray(1);
    rt::ObjectArray::set(game::raceStatics().s_racers, 0, racer);
    game::raceFrameStatics().s_racerTimes = rt::newIntArray(2);
    game::drawTrackSection(1, 2, -kHalfWidth, 0);
    game::drawTrackSection(2, 2, -kHalfWidth, 0);
    // A missing primitive.
    rt::ObjectArray::set(game::sectionModel(1), 0, nullptr);
    game::drawTrackSection(1, 2, -kHalfWidth, 0);
    // A model past the models, slices without a far edge.
    game::drawTrackSection(7, 2, -kHalfWidth, 0);
    game::drawTrackSection(0, 15, -kHalfWidth, 0);
    game::drawTrackSection(0, -1, -kHalfWidth, 0);
    // A rectangle cut short.
    auto* shortBoard = rt::newShortArray(8);
    rt::ShortArray::set(shortBoard, 0, 1);
    rt::ObjectArray::set(game::sectionModel(0), 1, shortBoard);
    game::drawTrackSection(0, 2, -kHalfWidth, 0);
    EXPECT_FALSE(drawsAnything());
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

TEST_F(SectionModelTest, SegmentModelsSkipSegmentsWithoutScenery) {
    loadModels({board(0)});
    // Segment 2's surface attribute is 6.
    rt::ByteArray::set(game::trackStatics().s_segmentAttributes, 5, 6);
    game::drawSegmentSection(0, 2, -kHalfWidth);
    EXPECT_FALSE(drawsAnything());
    game::drawSegmentSection(0, 3, -kHalfWidth);
    EXPECT_TRUE(drawsAnything());
}

TEST_F(SectionModelTest, TheStartLineIsABandWithAHalfLaneChequerAndNeverLoopsOnANarrowLane) {
    loadModels({});
    game::TrackStatics& t = game::trackStatics();
    t.s_laneCount = 4;
    game::roadSliceStatics().s_sliceStepDepth[2] = 4096;
    // Slice 2's segment is 2; its near depth 2560 + 128 per part.
    auto xAt = [](std::int32_t part, std::int32_t lateral) {
        return 320 + static_cast<std::int32_t>(std::lround(200.0 * lateral / (2560 + 128 * part)));
    };
    struct Case {
        std::int32_t part, halfWidth, edges;
        std::size_t squares;
        std::int32_t left;
    };
    // Lanes of 200: squares at -400, -200 and 0 on even parts, -300 and -100
    // on odd ones, each mirrored; a lane taken by the left edge flag moves
    // the band's edge in by a lane. Lanes of 1 unit give the band only.
    const Case cases[] = {{0, 400, 0, 6, -400},
                          {1, 400, 0, 4, -400},
                          {4, 400, 1, 4, -200},
                          {3, 400, 2, 4, -400},
                          {0, 3, 0, 0, -2}};
    for (const Case& c : cases) {
        t.s_roadHalfWidth = c.halfWidth;
        rt::ByteArray::set(t.s_segmentEdgeFlags, 2, static_cast<std::int8_t>(c.edges));
        testing_support::DrawingLog drawn;
        game::paintStartLine(c.part, 2, 0xFFFFFF);
        const auto triangles = drawn.outer(game::DrawCall::FillTriangle);
        ASSERT_EQ(triangles.size(), 2 + 2 * c.squares) << c.part << " " << c.halfWidth;
        EXPECT_EQ(triangles[0].colour & 0xFFFFFF, 0xFFFFFF);
        EXPECT_NEAR(triangles[0].args[0], xAt(c.part, c.left), 1) << c.part;
        for (std::size_t i = 2; i < triangles.size(); ++i)
            EXPECT_EQ(triangles[i].colour & 0xFFFFFF, 0xFF0000);
    }
}

TEST_F(SectionModelTest, DynamicTriggersShowCoinsAndLaneObjectsOnTheirLanes) {
    loadModels({});
    game::TrackStatics& t = game::trackStatics();
    game::createAnimPlayers();
    game::RoadImageStatics& images = game::roadImageStatics();
    images.s_backgroundWidth = images.s_backgroundHeight = 4;
    images.s_sliceObjectPixels = rt::newObjectArray(3);
    for (std::int32_t i = 0; i < 3; ++i)
        rt::ObjectArray::set(images.s_sliceObjectPixels, i, rt::newIntArray(16));
    game::EventSlotStatics& slots = game::eventSlotStatics();
    slots.s_eventTrack = rt::newByteArray(1);
    slots.s_eventVariant = rt::newByteArray(1);
    // Entries 0..11: value = id on lane 5, every lap.
    rt::IntArray* entries = rt::newIntArray(12);
    for (std::int32_t v = 0; v < 12; ++v)
        rt::IntArray::set(entries, v, static_cast<std::int32_t>(0xFF058000u) | v);
    rt::ObjectArray* variants = rt::newObjectArray(1);
    rt::ObjectArray::set(variants, 0, entries);
    game::eventStatics().s_dynamicTriggers = rt::newObjectArray(1);
    rt::ObjectArray::set(game::eventStatics().s_dynamicTriggers, 0, variants);
    game::racerStatics().s_playerCar = game::cEntity::cEntityWithType(0);
    game::RoadSliceStatics& slices = game::roadSliceStatics();
    slices.s_sliceDepth[2] = 2560;
    slices.s_sliceHeight[2] = -700;
    // Lane 5 lies (5 - 3) x 512 right of the centre for a coin; for a lane
    // object at its lane's centre.
    // The item boxes: one taken on lane 4, the entries' lane 5 standing.
    game::triggerStatics().s_itemBoxTaken = rt::newIntArray(t.s_segmentCount);
    rt::IntArray::set(game::triggerStatics().s_itemBoxTaken, 2, 1 << 4);
    // The guided race (mode 6) shows each value from its own step.
    struct Case {
        std::int32_t value;
        game::GameMode gameMode;
        std::int32_t guideStep;
        std::int8_t taken;
        const char* drawn;
    };
    const Case cases[] = {
        {2, game::GameMode::LapRace, 0, 0, "paintZoomedAnim 30 0 "},
        {10, game::GameMode::LapRace, 0, 0, "paintZoomedAnim 30 1 "},
        {2, game::GameMode::LapRace, 0, 0x20, ""},
        {10, game::GameMode::LapRace, 0, 0x10, "paintZoomedAnim 30 1 "},
        {2, game::GameMode::Guided, 6, 0, ""},
        {2, game::GameMode::Guided, 7, 0, "paintZoomedAnim 30 0 "},
        {10, game::GameMode::Guided, 7, 0, ""},
        {10, game::GameMode::Guided, 8, 0, "paintZoomedAnim 30 1 "},
        {3, game::GameMode::LapRace, 0, 0, "drawRGB"},
        {11, game::GameMode::LapRace, 0, 0, "drawRGB"},
        {3, game::GameMode::Guided, 9, 0, ""},
        {1, game::GameMode::LapRace, 0, 0, "paintZoomedAnim 27 0 "},
        {1, game::GameMode::Guided, 4, 0, "paintZoomedAnim 27 0 "},
        {1, game::GameMode::Guided, 5, 0, ""},
        {5 + 0, game::GameMode::LapRace, 0, 0, ""},
    };
    for (const Case& c : cases) {
        game::stateStatics().s_gameMode = c.gameMode;
        game::eventGoalStatics().s_guideStep = c.guideStep;
        rt::ByteArray::set(t.s_segmentFlagsB, 2, c.taken);
        testing_support::DrawingLog drawn;
        game::paintDynamicTrigger(c.value, 2);
        const auto calls = drawn.calls();
        const std::string first = calls.empty() ? "" : calls.front().substr(0, std::string(c.drawn).size());
        EXPECT_EQ(first, c.drawn) << c.value << " mode " << c.gameMode << " step " << c.guideStep;
        if ((c.value == 1 || c.value == 2) && !calls.empty()) {
            EXPECT_EQ(drawn.outer().front().args[3], 320 + 200 * 1024 / 2560) << calls.front();
        }
    }
    game::racerStatics().s_playerCar = nullptr;
}

} // namespace

} // namespace section_models_test
