#pragma once

// What the roadside painting tests share: the sprite fixture with a
// 640 x 480 canvas as the frame's Graphics and the view's statics back at
// their defaults.

#include "game/racepaint/RoadsideView.h"
#include "tests/game/sprite/PaintFixture.h"

namespace roadside_testing {

struct RoadsideTest : sprite_testing::SpriteTest {
    sprite_testing::Canvas screen{640, 480};

    RoadsideTest() {
        game::loopStatics().s_graphics = screen.graphics;
        game::roadsideView() = game::RoadsideViewStatics{};
    }
    ~RoadsideTest() override { game::loopStatics().s_graphics = nullptr; }
};

} // namespace roadside_testing
