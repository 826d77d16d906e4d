#include "game/framework/cGame.h"

#include "classlib/lang/System.h"
#include "classlib/lang/Throwable.h"
#include "game/framework/Anchors.h"
#include "game/framework/GameGraphics.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Overlay.h"
#include "game/framework/Seams.h"
#include "game/framework/States.h"
#include "game/framework/Touch.h"
#include "host/Log.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"

namespace game {

namespace {

// The screen buffer goes out in 8 x 8 tiles.
constexpr std::int32_t kTilesPerSide = 8;

bool sendAndCheck(std::int32_t message) {
    sendStateMessage(message);
    return !rt::exceptionPending();
}

void paintDebugNumber(Graphics* graphics) {
    const LoopStatics& loop = loopStatics();
    graphics->setColor(0);
    graphics->fillRect(140, 0, 100, 20);
    graphics->setColor(0xFFFFFF);
    rt::String* label = rt::getStaticClass().getConstantString(rt::constants::kDebugNumberLabel);
    rt::String* number = rt::String::valueOf(loop.s_watchedValue);
    graphics->drawString(label ? label->concat(number) : number, 140, 2, 0);
}

} // namespace

void cGame::sizeChanged(std::int32_t width, std::int32_t height) {
    LoopStatics& loop = loopStatics();
    loop.s_canvasWidth = width;
    loop.s_canvasHeight = height;
}

void cGame::keyPressed(std::int32_t keyCode) {
    game::keyPressed(keyCode);
}

void cGame::keyReleased(std::int32_t keyCode) {
    game::keyReleased(keyCode);
}

void cGame::pointerPressed(std::int32_t x, std::int32_t y) {
    game::pointerPressed(x, y);
}

void cGame::pointerDragged(std::int32_t x, std::int32_t y) {
    game::pointerDragged(x, y);
}

void cGame::pointerReleased(std::int32_t x, std::int32_t y) {
    game::pointerReleased(x, y);
}

void cGame::gameUpdate(platform::javax_microedition_lcdui_Graphics*) {
    frameStep();
    if (rt::Object* caught = rt::catchException(rt::ClassId::java_lang_Exception))
        static_cast<lib::java_lang_Throwable*>(caught)->printStackTrace();
}

// In this order, each step only when the one before left no exception
// pending: the enter message to a state entered last frame (keys cleared
// first, except for the race), update, the clip, paint, the change of
// state requested during the frame, the overlay, the counters, the sound
// service, the stylus latch, the copy of the buffer to the screen.
void cGame::frameStep() {
    LoopStatics& loop = loopStatics();
    StateStatics& states = stateStatics();
    loop.s_frameGraphics = loop.s_graphics;
    loop.s_graphics = loop.s_bufferGraphics;
    if (states.s_stateEntered) {
        // The race keeps its keys when it is entered.
        if (states.s_state != State::Race)
            clearKeys();
        states.s_stateEntered = 0;
        states.s_stateFrames = 0;
        states.s_stateTime = 0;
        if (!sendAndCheck(kEnter))
            return;
    }
    if (!sendAndCheck(kUpdate))
        return;
    const OrvelLibConfig& settings = config();
    if (loop.s_graphics) {
        setClip(loop.s_graphics, 0, 0, settings.s_gameScreenWidth, settings.s_gameScreenHeight);
    }
    if (!sendAndCheck(kPaint))
        return;
    const State from = states.s_state;
    if (!applyStateChange())
        return;
    if (from != states.s_state)
        host::logf(host::LogCategory::Game, "state %d -> %d", stateNumber(from), stateNumber(states.s_state));
    paintOverlay(loop.s_graphics);
    states.s_stateFrames += 1;
    states.s_stateTime += loop.s_frameMs;
    seams().frame.soundService();
    latchPointer();
    if (loop.s_frameGraphics)
        blitScreenBuffer(loop.s_frameGraphics, loop.s_screenBuffer);
    if (loop.s_debugNumber && loop.s_frameGraphics)
        paintDebugNumber(loop.s_frameGraphics);
}

void cGame::blitScreenBuffer(platform::javax_microedition_lcdui_Graphics* graphics,
                             platform::javax_microedition_lcdui_Image* buffer) {
    const LoopStatics& loop = loopStatics();
    std::int32_t width = loop.s_bufferWidth;
    std::int32_t height = loop.s_bufferHeight;
    if (!loop.s_rotated) {
        graphics->drawRegion(buffer, 0, 0, width, height, Graphics::TRANS_NONE, 0, 0, kAnchorTopLeft);
        return;
    }
    std::int32_t tileWidth = width / kTilesPerSide;
    std::int32_t tileHeight = height / kTilesPerSide;
    for (std::int32_t i = 0; i < kTilesPerSide; ++i) {
        for (std::int32_t j = 0; j < kTilesPerSide; ++j)
            graphics->drawRegion(buffer, i * tileWidth, j * tileHeight, tileWidth, tileHeight,
                                 Graphics::TRANS_ROT90, height - (j * tileHeight + tileHeight), i * tileWidth,
                                 kAnchorTopLeft);
    }
}

void cGame::gameHideNotify() {
    LoopStatics& loop = loopStatics();
    if (loop.s_gamePaused != 0)
        return;
    loop.s_gamePaused = 1;
    lib::java_lang_System::gc();
    const SoundHooks& sound = seams().sound;
    loop.s_pausedMusic = sound.playingMusic();
    sendStateMessage(kPause);
    if (rt::exceptionPending()) {
        // A dropped Exception skips the sound steps; anything else ends the pause here.
        if (!rt::catchException(rt::ClassId::java_lang_Exception))
            return;
    } else {
        sound.stopMusic();
        sound.queueFreeChannel(0);
    }
    libraryHideNotify(this);
}

void cGame::gameShowNotify() {
    LoopStatics& loop = loopStatics();
    if (loop.s_gamePaused != 1)
        return;
    lib::java_lang_System::gc();
    if (stateStatics().s_state != State::Race && loop.s_pausedMusic != -1 && loop.s_pausedMusic < 8)
        seams().sound.playSound(loop.s_pausedMusic);
    sendStateMessage(kResume);
    if (rt::exceptionPending() && !rt::catchException(rt::ClassId::java_lang_Exception))
        return;
    loop.s_gamePaused = 0;
    libraryShowNotify(this);
}

} // namespace game
