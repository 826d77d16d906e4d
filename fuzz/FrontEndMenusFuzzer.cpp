// Drives the front end's menu and question screens with a key and a stylus
// action per frame. Byte 0 picks the screen to open (over the main menu);
// then two bytes a frame: bits 0-4 of the first the game key released (24
// and up: none), bit 5 a press of the back key (19), bits 6-7 the stylus (0
// none, 1 a tap, 2 resting, 3 a tap on the left soft key); the second the
// point, a cell of a 16 x 16 grid over the 640 x 480 screen. The game's
// registries are filled as at start-up, but sprites are stand-ins with frame
// sizes only (the framework measures and paints them through the registry),
// so every zone has its real size. Only the menu, start-up and menu-screen
// states have their handlers; the states the front end leads to that are
// not built here return at once; a run ends when it starts a load (state 4).
//
// Checked after every frame: no runtime check was logged, the state stack is
// below 32 deep, the current state has a handler, and once it has been
// entered a menu's selection is one of its items (the bonus menu may
// highlight none) and a question's answer one of its two.

#include "classlib/ClassLibrary.h"
#include "fuzz/Harness.h"
#include "game/Game.h"
#include "game/data/Progress.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "game/framework/StaticInit.h"
#include "game/framework/Touch.h"
#include "game/frontend/MenuScreens.h"
#include "game/frontend/SlidingMenus.h"
#include "game/frontend/StartupScreens.h"
#include "game/ui/MenuStatics.h"
#include "platform/Platform.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace {

using fuzzing::check;

constexpr game::State kOpenable[] = {
    game::State::MainMenu,  game::State::ModeMenu,        game::State::RaceMenu,
    game::State::BonusMenu, game::State::PromotionNotice, game::State::SoundQuestion,
    game::State::Title,     game::State::ResetQuestion,   game::State::StartQuestion};
// What the front end leads to that is not built here; each returns at once.
constexpr game::State kElsewhere[] = {
    game::State::ExitQuestion, game::State::PreRaceSelect, game::State::RacerList,  game::State::CupSelect,
    game::State::Options,      game::State::ReferenceList, game::State::TextScreen, game::State::Promotion};
constexpr std::size_t kMaxFrames = 2000;

// Fails the input on any runtime check.
struct ChecksSink final : host::LogSink {
    void write(host::LogCategory category, std::string_view) override {
        if (category == host::LogCategory::Runtime)
            m_checked = true;
    }
    bool m_checked = false;
};

void returnAtOnce(std::int32_t message) {
    if (message == game::kUpdate)
        game::popState();
}

rt::Object* standIn(std::int32_t number) {
    rt::IntArray* sprite = rt::newIntArray(1);
    rt::IntArray::set(sprite, 0, number);
    return sprite;
}

std::int32_t standInNumber(rt::Object* sprite) {
    return rt::IntArray::get(static_cast<rt::IntArray*>(sprite), 0);
}

void setUp() {
    game::registerGame();
    game::seams().states = {};
    game::OrvelLibConfig::staticInit();
    rt::ObjectArray* constants = rt::newObjectArray(rt::constants::kFontPack + 1);
    rt::Array::setRef(constants, rt::constants::kDefaultMessage, rt::String::newFromCString("?"));
    rt::getStaticClass().setConstantStrings(constants);
    game::initializeGameStatics();
    game::loopStatics().s_rotated = 0;
    game::makeKeyStateArrays();
    game::initKeyTables();
    game::initProgressStatics();
    game::resetUnlocks();
    game::StartupStatics& startup = game::startupStatics();
    startup.s_sprites = rt::newObjectArray(game::kSpriteCount);
    startup.s_fonts = rt::newObjectArray(6);
    for (std::int32_t number = 0; number < game::kSpriteCount; ++number)
        rt::Array::setRef(startup.s_sprites, number, standIn(number));
    game::SpriteHooks& sprites = game::seams().sprites;
    sprites.frameWidth = [](rt::Object* sprite, std::int32_t frame) {
        return 20 + standInNumber(sprite) + frame;
    };
    sprites.frameHeight = [](rt::Object* sprite, std::int32_t frame) {
        return 10 + standInNumber(sprite) / 2 + frame;
    };
    sprites.paintFrame = [](rt::Object*, platform::javax_microedition_lcdui_Graphics*, std::int32_t,
                            std::int32_t, std::int32_t, std::int32_t) {};
    game::registerMenuStates();
    game::registerStartupScreens();
    game::registerMenuScreens();
    for (game::State state : kElsewhere)
        game::setStateHandler(state, returnAtOnce);
    game::setStateHandler(game::State::StartupLoad, returnAtOnce);
    game::initStateMachine();
}

void applyInput(std::uint8_t action, std::uint8_t cell) {
    rt::ByteArray* keys = game::keyStatics().s_keyState;
    for (std::int32_t key = 0; key < game::kGameKeyCount; ++key)
        rt::ByteArray::set(keys, key, 0);
    if ((action & 31) < game::kGameKeyCount)
        rt::ByteArray::set(keys, action & 31, -2);
    if (action & 32)
        rt::ByteArray::set(keys, 19, 1);
    std::int32_t x = (cell & 15) * 40 + 5;
    std::int32_t y = (cell >> 4) * 30 + 5;
    switch (action >> 6) {
    case 1:
        game::pointerPressed(x, y);
        game::pointerReleased(x, y);
        break;
    case 2:
        game::pointerDragged(x, y);
        break;
    case 3:
        game::pointerPressed(4, 475);
        game::pointerReleased(4, 475);
        break;
    default:
        break;
    }
    game::latchPointer();
}

void frame() {
    game::StateStatics& states = game::stateStatics();
    game::loopStatics().s_frameMs = 40;
    if (states.s_stateEntered) {
        states.s_stateEntered = 0;
        states.s_stateTime = 0;
        game::sendStateMessage(game::kEnter);
    }
    game::sendStateMessage(game::kUpdate);
    game::sendStateMessage(game::kPaint);
    game::applyStateChange();
    states.s_stateTime += 40;
}

void checkScreen() {
    const game::StateStatics& states = game::stateStatics();
    check(states.s_stateStackDepth < game::kStateStackSize);
    check(game::stateHandler(states.s_state) != nullptr);
    // A state just changed to is set up by its enter message next frame.
    if (states.s_stateEntered)
        return;
    std::int32_t selection = game::touchStatics().s_selection;
    std::int32_t count = game::touchStatics().s_menuCount;
    switch (states.s_state) {
    case game::State::MainMenu:
    case game::State::ModeMenu:
    case game::State::RaceMenu:
        check(selection >= 0 && selection < count);
        break;
    case game::State::BonusMenu:
        check(selection >= -1 && selection < count);
        break;
    case game::State::SoundQuestion:
        check(game::startupScreenStatics().s_soundAnswer == 0 ||
              game::startupScreenStatics().s_soundAnswer == 1);
        break;
    case game::State::ResetQuestion:
    case game::State::StartQuestion:
        check(game::menuStatics().s_questionAnswer >= 0 && game::menuStatics().s_questionAnswer < 2);
        break;
    default:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 1 + 2 * kMaxFrames)
        return 0;
    ChecksSink sink;
    host::LogSink* previous = host::setLogSink(&sink);
    {
        rt::Runtime runtime{rt::RuntimeOptions{16 << 20, 8 << 20}};
        runtime.bufferHeap().setFailureHandler(nullptr);
        runtime.objectHeap().setFailureHandler(nullptr);
        platform::installPlatform(runtime);
        setUp();
        game::pushState(game::State::MainMenu);
        game::applyStateChange();
        frame();
        const game::State first = kOpenable[data[0] % std::size(kOpenable)];
        if (first != game::State::MainMenu) {
            game::pushState(first);
            game::applyStateChange();
        }
        for (std::size_t at = 1; at + 1 < size; at += 2) {
            applyInput(data[at], data[at + 1]);
            frame();
            check(!sink.m_checked);
            if (game::stateStatics().s_state == game::State::Loading ||
                game::stateStatics().s_stateStackDepth == 0)
                break;
            checkScreen();
        }
    }
    host::setLogSink(previous);
    return 0;
}
