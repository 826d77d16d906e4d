#pragma once

// The front-end screens driven frame by frame as the framework's frame step
// drives them, on the touch tests' stand-in sprites and fonts (frame sizes
// from the sprite and frame numbers, every sprite frame and text painted
// recorded), with the screen not turned, so stylus points are game-space
// points.

#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "tests/game/framework/TouchFixture.h"

#include <string>
#include <vector>

namespace frontend_testing {

struct FrontEndTest : framework_testing::TouchTest {
    FrontEndTest() {
        game::makeKeyStateArrays();
        game::initKeyTables();
        game::loopStatics().s_rotated = 0;
        // The sprites the screens draw and size their zones by.
        for (std::int32_t number : {0, 1, 2, 3, 4, 5, 6, 8})
            standIn(number);
    }

    ~FrontEndTest() override { game::loopStatics().s_graphics = nullptr; }

    // A white 640 x 480 screen that the screens paint on from now on.
    static platform::javax_microedition_lcdui_Image* whiteScreen() {
        platform::javax_microedition_lcdui_Image* image =
            platform::javax_microedition_lcdui_Image::createImage(640, 480);
        platform::javax_microedition_lcdui_Graphics* g = image->getGraphics();
        g->setColor(0xFFFFFF);
        g->fillRect(0, 0, 640, 480);
        game::loopStatics().s_graphics = g;
        return image;
    }

    static game::State state() { return game::stateStatics().s_state; }

    // Opens `state` over the start-up state.
    static void open(game::State state) {
        game::pushState(state);
        game::applyStateChange();
        frame();
    }

    // A stylus press and release at the game-space point (x, y), latched by
    // the next frame.
    static void tap(std::int32_t x, std::int32_t y) {
        game::pointerPressed(x, y);
        game::pointerReleased(x, y);
    }

    // One frame of the framework's frame step lasting `ms`, with `released`
    // going up in it (-1 none); the paint calls of the frame are in
    // `s_paints` afterwards.
    static void frame(std::int32_t released = -1, std::int32_t ms = 40) {
        rt::ByteArray* keys = game::keyStatics().s_keyState;
        for (std::int32_t key = 0; key < game::kGameKeyCount; ++key)
            rt::ByteArray::set(keys, key, 0);
        if (released >= 0)
            rt::ByteArray::set(keys, released, -2);
        game::latchPointer();
        game::touchStatics().s_pointX = game::touchStatics().s_pointY = -1;
        game::StateStatics& states = game::stateStatics();
        game::loopStatics().s_frameMs = ms;
        if (states.s_stateEntered) {
            states.s_stateEntered = 0;
            states.s_stateTime = 0;
            states.s_stateFrames = 0;
            game::sendStateMessage(game::kEnter);
        }
        game::sendStateMessage(game::kUpdate);
        framework_testing::s_paints.clear();
        game::sendStateMessage(game::kPaint);
        game::applyStateChange();
        states.s_stateTime += ms;
        states.s_stateFrames += 1;
    }

    // How many entries of the state stack hold `state`.
    static int stacked(game::State state) {
        int count = 0;
        for (std::int32_t position = 1; position <= game::stateStatics().s_stateStackDepth; ++position)
            count += game::getStackedState(position) == state ? 1 : 0;
        return count;
    }

    // Whether a paint call of the last frame starts with `call`.
    static bool painted(const std::string& call) {
        for (const std::string& made : framework_testing::s_paints)
            if (made.starts_with(call))
                return true;
        return false;
    }
};

} // namespace frontend_testing
