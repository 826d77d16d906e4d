#pragma once

// Touch and overlay tests share a runtime with the configured 640 x 480
// game screen turned a quarter (touch width 480), a sprite table whose
// stand-in sprites answer frame sizes w = sprite + frame and
// h = (sprite + frame) / 2, and sprite hooks that record every paint call.

#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "tests/game/framework/FrameworkFixture.h"

#include <string>
#include <vector>

namespace framework_testing {

// "frame S:F @x,y", "palette F:P" and "text 'T' @x,y a" for each paint call.
inline std::vector<std::string> s_paints;

inline std::int32_t standInNumber(rt::Object* sprite) {
    return rt::IntArray::get(static_cast<rt::IntArray*>(sprite), 0);
}

struct TouchTest : FrameworkTest {
    TouchTest() {
        game::OrvelLibConfig::staticInit();
        game::LoopStatics& loop = game::loopStatics();
        loop.s_rotated = 1;
        loop.s_touchWidth = 480;
        rt::ObjectArray* sprites = rt::newObjectArray(game::kSpriteCount);
        game::startupStatics().s_sprites = sprites;
        for (std::int32_t number : {11, 12, 26, 30, 65, 66}) {
            rt::IntArray* standIn = rt::newIntArray(1);
            rt::IntArray::set(standIn, 0, number);
            rt::Array::setRef(sprites, number, standIn);
        }
        game::SpriteHooks& hooks = game::seams().sprites;
        hooks.frameWidth = [](rt::Object* sprite, std::int32_t frame) {
            return standInNumber(sprite) + frame;
        };
        hooks.frameHeight = [](rt::Object* sprite, std::int32_t frame) {
            return (standInNumber(sprite) + frame) / 2;
        };
        hooks.paintFrame = [](rt::Object* sprite, platform::javax_microedition_lcdui_Graphics*,
                              std::int32_t frame, std::int32_t x, std::int32_t y, std::int32_t) {
            s_paints.push_back("frame " + std::to_string(standInNumber(sprite)) + ":" +
                               std::to_string(frame) + " @" + std::to_string(x) + "," + std::to_string(y));
        };
        hooks.selectFontPalette = [](std::int32_t font, std::int32_t palette) {
            s_paints.push_back("palette " + std::to_string(font) + ":" + std::to_string(palette));
        };
        hooks.drawString = [](std::int32_t, platform::javax_microedition_lcdui_Graphics*, rt::String* text,
                              std::int32_t x, std::int32_t y, std::int32_t anchor) {
            s_paints.push_back("text '" + (text ? text->toUtf8() : std::string("null")) + "' @" +
                               std::to_string(x) + "," + std::to_string(y) + " a" + std::to_string(anchor));
        };
        s_paints.clear();
        game::initStateMachine();
    }

    // The four soft-key labels "L0".."L3", or null where `present` says so.
    static void setLabels(std::initializer_list<bool> present = {true, true, true, true}) {
        rt::ObjectArray* labels = rt::newObjectArray(4);
        game::touchStatics().s_softKeyLabels = labels;
        std::int32_t i = 0;
        for (bool shown : present) {
            if (shown)
                rt::Array::setRef(labels, i, rt::String::newFromCString(("L" + std::to_string(i)).c_str()));
            ++i;
        }
    }

    static void setState(game::State state, game::GameMode mode) {
        game::stateStatics().s_state = state;
        game::stateStatics().s_gameMode = mode;
    }

    // Presses at the game-space point (x, y) (no turn) and latches it.
    static void pressAt(std::int32_t x, std::int32_t y) {
        game::loopStatics().s_rotated = 0;
        game::pointerPressed(x, y);
        game::pointerReleased(x, y);
        game::latchPointer();
        game::loopStatics().s_rotated = 1;
    }
};

} // namespace framework_testing
