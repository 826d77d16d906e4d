// The race presentation put together on the busy datakit race: a whole
// frame through the view pass and the real painters, probed where sky,
// road, walls and a car must show; the race the same over a hundred frames
// with or without the painter; and a hundred painted frames making no
// object.

#include "game/racepaint/RacePresentation.h"

#include "game/race/CarViewPass.h"
#include "game/race/RaceHash.h"
#include "game/race/RoadProjection.h"
#include "game/race/TrackTriggers.h"
#include "game/racepaint/RaceScene.h"
#include "tests/game/racepaint/RacePaintFixture.h"
#include "tests/support/BusyRace.h"

#include <string>
#include <vector>

namespace {

using namespace racepaint_testing;
using game::cEntity;
using testing_support::kBusyCars;

constexpr std::uint32_t kRoad = 0x808080;

struct RacePresentation : RacePaintTest {
    RacePresentation() {
        testing_support::setUpRaceScene();
        EXPECT_TRUE(testing_support::setUpBusyRace());
    }

    // Frame `n` as the race state's paint message runs it.
    static void frame(std::int32_t n, bool painted) {
        testing_support::stepBusyRace(n);
        game::runViewPass(true);
        if (painted)
            game::paintRaceScene();
        game::finishViewPass();
    }
    std::uint16_t pixel(std::int32_t x, std::int32_t y) const { return screen.at(x, y); }
    static std::uint16_t rgb(std::uint32_t colour) { return on565(0xFF000000u | colour); }
};

// On flat road pictures: sky over the panorama, road under the camera,
// the wall faces of the walled bends ahead on the side each bend turns
// their faces to (the left bend from segment 2, the right from segment
// 20), and the nearest car's colour in the middle of its box.
TEST_F(RacePresentation, AWholeFrameShowsSkyRoadWallsAndCars) {
    installFlatRoadSurfaces({kRoad, kRoad});
    const std::uint16_t walls[] = {rgb(testing_support::kBusyWallEven), rgb(testing_support::kBusyWallOdd)};
    auto wallPixels = [&](bool leftHalf) {
        std::int32_t count = 0;
        for (std::int32_t y = 240; y < 480; ++y)
            for (std::int32_t x = leftHalf ? 0 : 320; x < (leftHalf ? 320 : 640); ++x)
                count += pixel(x, y) == walls[0] || pixel(x, y) == walls[1] ? 1 : 0;
        return count;
    };
    frame(20 * 1024 / 37, true);
    EXPECT_GT(wallPixels(false), 100) << "right bend";
    frame(2 * 1024 / 37, true);
    EXPECT_GT(wallPixels(true), 100) << "left bend";
    frame(0, true);
    EXPECT_EQ(pixel(320, 2), rgb(testing_support::kBusySky));
    EXPECT_EQ(pixel(320, 470), rgb(kRoad));

    const cEntity* nearest = nullptr;
    for (std::int32_t i = 0; i < kBusyCars; ++i) {
        const cEntity* car = game::racerAt(i);
        if (car->m_roadSlice >= 0 &&
            (!nearest || car->m_roadSlice < nearest->m_roadSlice ||
             (car->m_roadSlice == nearest->m_roadSlice && car->m_segmentPos < nearest->m_segmentPos)))
            nearest = car;
    }
    ASSERT_NE(nearest, nullptr);
    // The body is 40 x 20 standing on its place, drawn at the car's scale.
    const std::int32_t halfHeight = 10 * nearest->m_screenScale / 4096;
    EXPECT_EQ(pixel(nearest->m_screenX, nearest->m_screenY - halfHeight),
              rgb(testing_support::kBusyCarColour))
        << "car at " << nearest->m_screenX << ", " << nearest->m_screenY << " scale "
        << nearest->m_screenScale;
}

// What changes as the cars are shown (a car in its ghost animation, a
// marker rising after a fall, the item box's lane mark) changes in the view
// pass, so a hundred frames leave the same race after every frame whether
// or not the painter runs.
TEST_F(RacePresentation, TheRaceIsTheSameWithOrWithoutThePainter) {
    auto run = [](bool painted) {
        testing_support::makeBusyCars();
        game::resetTrackTriggers();
        game::stateStatics().s_messageCount = 0;
        cEntity* animated = game::racerAt(2);
        animated->m_state = game::CarState::Ghost;
        animated->m_animFrameCount = 40;
        animated->m_animFrameModulo = 3;
        animated->m_stateTimer = 1 << 20;
        game::racerAt(3)->m_fallLateral = 400;
        std::vector<std::string> states;
        for (std::int32_t n = 0; n < 100; ++n) {
            frame(n, painted);
            // The hash covers every car's fields and the lane marks.
            std::string bytes = std::to_string(game::raceStateHash()) + " " +
                                std::to_string(game::triggerStatics().s_laneTargetsOn);
            states.push_back(std::move(bytes));
        }
        return states;
    };
    const std::vector<std::string> painted = run(true);
    const std::vector<std::string> bare = run(false);
    ASSERT_EQ(painted.size(), bare.size());
    for (std::size_t n = 0; n < painted.size(); ++n)
        ASSERT_EQ(painted[n], bare[n]) << "frame " << n;
    EXPECT_GT(game::racerAt(2)->m_animCounter, 0) << "the animation ran";
    EXPECT_LT(game::racerAt(3)->m_fallLateral, 400) << "the marker rose";
}

TEST_F(RacePresentation, AHundredPaintedFramesMakeNoObject) {
    frame(0, true);
    const std::size_t objects = runtime.objectManager().objectCount();
    for (std::int32_t n = 1; n <= 100; ++n)
        frame(n, true);
    EXPECT_EQ(runtime.objectManager().objectCount(), objects);
}

} // namespace
