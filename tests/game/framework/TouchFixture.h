#pragma once

// Tests of touch zones and of what is painted over them (the overlay, the
// race's zones and buttons, the front end's screens) share a runtime with
// the configured 640 x 480 game screen turned a quarter (touch width 480)
// and a screen to paint on; a sprite table of stand-in sprites whose frame
// f measures w = sprite + f by h = (sprite + f) / 2 (one blank module each,
// so nothing shows), fonts 0 to 2 whose texts are 0 wide, and a record of
// every sprite frame and font text that a painter draws itself.

#include "game/framework/DrawingTap.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteStatics.h"
#include "platform/lcdui/Image.h"
#include "tests/classlib/ClassLibraryFixture.h"
#include "tests/game/framework/FrameworkFixture.h"
#include "tools/datakit/SpriteWriter.h"

#include <string>
#include <utility>
#include <vector>

namespace framework_testing {

// "frame S:F @x,y" for each sprite frame painted, and "palette F:P" then
// "text 'T' @x,y a" for each font text, as the painter asked for them.
inline std::vector<std::string> s_paints;

// Frames of a stand-in sprite.
inline constexpr std::int32_t kStandInFrames = 24;

// A sprite whose frame f is one blank module of `sizes[f]` (width,
// height) at its origin, with `palettes` palettes.
inline game::ASprite* blankSprite(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& sizes,
                                  std::int32_t palettes) {
    datakit::SpriteModel model;
    model.format = datakit::sprite_bits::kPixelSection;
    model.pixels.emplace();
    model.pixels->palettes.assign(static_cast<std::size_t>(palettes), {0xFF000000u});
    for (std::size_t f = 0; f < sizes.size(); ++f) {
        model.modules.push_back(
            {.type = 5, .width = sizes[f].first, .height = sizes[f].second, .params = {}});
        model.pixels->indexes.emplace_back();
        model.fmodules.push_back({.module = static_cast<std::uint8_t>(f), .x = 0, .y = 0, .flags = 0});
        model.frames.push_back(
            {.fmoduleCount = 1, .firstFModule = static_cast<std::int16_t>(f), .boxCount = 0});
    }
    game::ASprite* sprite = game::ASprite::initDefaults();
    sprite->loadDefault(testing_support::byteArray(datakit::writeSprite(model)), 0);
    return sprite;
}

// The stand-in sprite of sprite slot `number`.
inline game::ASprite* standInSprite(std::int32_t number) {
    std::vector<std::pair<std::uint16_t, std::uint16_t>> sizes;
    for (std::int32_t f = 0; f < kStandInFrames; ++f)
        sizes.emplace_back(static_cast<std::uint16_t>(number + f),
                           static_cast<std::uint16_t>((number + f) / 2));
    return blankSprite(sizes, 1);
}

// A font of four palettes whose every character is glyph 1, which has no
// advance: every text is 0 wide.
inline game::ASprite* emptyFont() {
    return blankSprite({{0, 0}, {0, 0}}, 4);
}

// The slot of `table` that holds `object`, -1 when none does.
inline std::int32_t slotOf(rt::ObjectArray* table, const void* object) {
    for (std::int32_t i = 0; table && i < table->length(); ++i)
        if (rt::ObjectArray::get(table, i) == object)
            return i;
    return -1;
}

// Writes the sprite frames and font texts a painter draws itself into `s_paints`.
class PaintRecorder final : public game::DrawingTap {
public:
    PaintRecorder() { game::setDrawingTap(this); }
    ~PaintRecorder() override { game::setDrawingTap(nullptr); }
    PaintRecorder(const PaintRecorder&) = delete;
    PaintRecorder& operator=(const PaintRecorder&) = delete;

    void record(const game::DrawRecord& r) override {
        if (r.depth != 0)
            return;
        const game::StartupStatics& startup = game::startupStatics();
        if (r.call == game::DrawCall::PaintFrame) {
            s_paints.push_back("frame " + std::to_string(slotOf(startup.s_sprites, r.subject)) + ":" +
                               std::to_string(r.args[0]) + " @" + std::to_string(r.args[1]) + "," +
                               std::to_string(r.args[2]));
        } else if (r.call == game::DrawCall::DrawText) {
            std::string text;
            for (char16_t c : r.text)
                text += c < 0x80 ? static_cast<char>(c) : '?';
            s_paints.push_back("palette " + std::to_string(slotOf(startup.s_fonts, r.subject)) + ":" +
                               std::to_string(r.args[3]));
            s_paints.push_back("text '" + text + "' @" + std::to_string(r.args[0]) + "," +
                               std::to_string(r.args[1]) + " a" + std::to_string(r.args[2]));
        }
    }
};

struct TouchTest : FrameworkTest {
    TouchTest() {
        game::OrvelLibConfig::staticInit();
        game::spriteStaticInit();
        // No collection per load: a sprite is held by a C++ local until it is in its table.
        game::spriteStatics().s_gcOnLoad = 0;
        game::LoopStatics& loop = game::loopStatics();
        loop.s_rotated = 1;
        loop.s_touchWidth = 480;
        loop.s_graphics = platform::javax_microedition_lcdui_Image::createImage(640, 480)->getGraphics();
        game::StartupStatics& startup = game::startupStatics();
        startup.s_sprites = rt::newObjectArray(game::kSpriteCount);
        for (std::int32_t number : {11, 12, 26, 30, 65, 66})
            standIn(number);
        startup.s_fonts = rt::newObjectArray(6);
        for (std::int32_t font = 0; font < 3; ++font)
            rt::Array::setRef(startup.s_fonts, font, emptyFont());
        s_paints.clear();
        game::initStateMachine();
    }
    ~TouchTest() override { game::loopStatics().s_graphics = nullptr; }

    PaintRecorder recorder;

    // Puts the stand-in sprite of slot `number` in its slot.
    static void standIn(std::int32_t number) {
        rt::Array::setRef(game::startupStatics().s_sprites, number, standInSprite(number));
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
