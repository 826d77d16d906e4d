#pragma once

// What the roadside painting tests share: the sprite fixture with a
// 640 x 480 canvas as the frame's Graphics and the view's statics back at
// their defaults.

#include "game/framework/FixedPoint.h"
#include "game/racepaint/RoadsideView.h"
#include "tests/game/sprite/PaintFixture.h"

#include <cmath>
#include <numbers>

namespace roadside_testing {

// The fixed-point cosine table, computed, for the painters that take a
// tangent or a sine.
inline void installCosTable() {
    game::initFixedPointConstants();
    const std::int32_t quarter = game::fixedPointStatics().s_quarterCircle;
    rt::IntArray* table = rt::newIntArray(quarter + 1);
    for (std::int32_t i = 0; i <= quarter; ++i)
        rt::IntArray::set(table, i,
                          static_cast<std::int32_t>(std::lround(std::cos(i * std::numbers::pi / 2 / quarter) *
                                                                game::fixedPointStatics().s_one)));
    game::setCosTable(table);
}

struct RoadsideTest : sprite_testing::SpriteTest {
    sprite_testing::Canvas screen{640, 480};

    RoadsideTest() {
        game::loopStatics().s_graphics = screen.graphics;
        game::roadsideView() = game::RoadsideViewStatics{};
    }
    ~RoadsideTest() override { game::loopStatics().s_graphics = nullptr; }
};

} // namespace roadside_testing
