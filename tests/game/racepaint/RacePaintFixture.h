#pragma once

// What the race painting tests share: the sprite fixture with a 640 x 480
// canvas as the frame's Graphics, the track statics of a small track, and
// the drawing log.

#include "game/framework/LoopStatics.h"
#include "game/race/TrackData.h"
#include "game/racepaint/RoadImages.h"
#include "tests/game/sprite/PaintFixture.h"
#include "tests/support/DrawingLog.h"

namespace racepaint_testing {

using namespace sprite_testing;

inline constexpr std::int32_t kScreenWidth = 640;
inline constexpr std::int32_t kScreenHeight = 480;

struct RacePaintTest : SpriteTest {
    Canvas screen{kScreenWidth, kScreenHeight};

    RacePaintTest() {
        game::loopStatics().s_graphics = screen.graphics;
        game::TrackStatics& t = game::trackStatics();
        t.s_trackStyle = rt::newIntArray(14);
        t.s_laneCount = 4;
        game::roadImageStaticInit();
    }
    ~RacePaintTest() override { game::loopStatics().s_graphics = nullptr; }
};

inline rt::IntArray* intArray(const std::vector<std::int32_t>& values) {
    rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    std::ranges::copy(values, rt::IntArray::span(array).begin());
    return array;
}

} // namespace racepaint_testing
