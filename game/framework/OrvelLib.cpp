#include "game/framework/OrvelLib.h"

#include "classlib/lang/Runtime.h"
#include "classlib/lang/System.h"
#include "classlib/util/Random.h"
#include "game/framework/Anchors.h"
#include "game/framework/Keys.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Seams.h"
#include "game/framework/StartupLoad.h"
#include "game/framework/States.h"
#include "platform/app/ApplicationImpl.h"
#include "platform/lcdui/Display.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "platform/midlet/MIDlet.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/Thread.h"

#include <algorithm>

namespace game {

namespace {

std::int64_t now() {
    return lib::java_lang_System::currentTimeMillis();
}

// The tick now, unless the host was given a seed (a replay, `--seed`).
std::int64_t randomSeed() {
    host::Clock* clock = rt::Runtime::current().clock();
    return clock ? clock->randomSeed() : now();
}

// Clears the in-paint flag and the paint's Graphics on every way out of a
// paint, the one that leaves a throwable pending included: a flag left at 1
// would make every later paint do nothing.
struct PaintScope {
    LoopStatics& loop;
    explicit PaintScope(LoopStatics& statics)
        : loop(statics) {
        loop.s_inPaint = 1;
    }
    ~PaintScope() {
        loop.s_inPaint = 0;
        loop.s_screenGraphics = nullptr;
    }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
};

} // namespace

void OrvelLib::init(OrvelLib* canvas, platform::javax_microedition_midlet_MIDlet* midlet,
                    platform::javax_microedition_lcdui_Display* display) {
    LoopStatics& loop = loopStatics();
    canvas->m_lastTick = 0;
    loop.s_canvas = canvas;
    loop.s_runState = -1;
    loop.s_inPaint = 1;
    loop.s_midlet = midlet;
    loop.s_display = display;
    if (display)
        display->setCurrent(canvas);
    initKeyTables();
    std::int64_t time = now();
    loop.s_frameClock = time;
    canvas->m_lastTick = time;
    initStateMachine();
}

void OrvelLib::start(OrvelLib* canvas) {
    LoopStatics& loop = loopStatics();
    if (loop.s_runState >= 0)
        return;
    const OrvelLibConfig& settings = config();
    loop.s_canvasWidth = settings.s_gameScreenWidth;
    loop.s_canvasHeight = settings.s_gameScreenHeight;
    if (settings.s_keyCounters)
        makeKeyStateArrays();
    if (settings.s_useBackBuffer) {
        std::int32_t side = std::max(loop.s_canvasWidth, loop.s_canvasHeight);
        loop.s_backBuffer = settings.s_backBufferSwitch
                                ? Image::createImage(side, side)
                                : Image::createImage(loop.s_canvasWidth, loop.s_canvasHeight);
        loop.s_backBufferGraphics = loop.s_backBuffer->getGraphics();
    }
    lib::java_util_Random::seedSharedRandom(randomSeed());
    loop.s_runState = 0;
    // Without a thread of its own the caller drives the loop from now on
    // (runFrame); nothing else would take back the hold that init put on
    // painting.
    if (settings.s_noLoopThread) {
        loop.s_inPaint = 0;
        return;
    }
    auto* thread = rt::make<rt::java_lang_Thread>(canvas);
    thread->setPriority(rt::java_lang_Thread::currentThread()->getPriority());
    thread->start();
}

void OrvelLib::setCurrent(platform::javax_microedition_lcdui_Displayable* displayable) {
    if (platform::javax_microedition_lcdui_Display* display = loopStatics().s_display; display && displayable)
        display->setCurrent(displayable);
}

void OrvelLib::libraryShowNotify(OrvelLib* canvas) {
    LoopStatics& loop = loopStatics();
    if (loop.s_paused != 1)
        return;
    std::int64_t time = now();
    loop.s_paintTime = time;
    loop.s_frameClock = time;
    canvas->m_lastTick = time;
    loop.s_paused = 0;
    seams().sound.suspend(false);
    setCurrent(canvas);
    loop.s_resumedThisFrame = 1;
    if (config().s_frameSwitchB && loop.s_inPaint == 0)
        canvas->serviceRepaints();
    clearKeys();
}

void OrvelLib::libraryHideNotify(OrvelLib*) {
    LoopStatics& loop = loopStatics();
    if (loop.s_paused != 0)
        return;
    loop.s_paused = 1;
    seams().sound.suspend(true);
    seams().sound.stopAllSounds();
}

void* OrvelLib::getInterface(rt::ClassId interfaceId) {
    return interfaceId == rt::ClassId::java_lang_Runnable
               ? static_cast<rt::java_lang_Runnable*>(this)
               : javax_microedition_lcdui_Canvas::getInterface(interfaceId);
}

void OrvelLib::run() {
    LoopStatics& loop = loopStatics();
    const OrvelLibConfig& settings = config();
    if (!settings.s_noLoopThread && loop.s_display)
        setCurrent(this);
    loop.s_inPaint = 0;
    while (loop.s_runState >= 0) {
        turn();
        if (settings.s_noLoopThread)
            return;
    }
    cleanUp();
}

bool OrvelLib::runFrame() {
    LoopStatics& loop = loopStatics();
    if (loop.s_runState < 0 || loop.s_paused)
        return false;
    serviceRepaints();
    if (config().s_yieldPerFrame)
        platform::ApplicationImpl::frameHook();
    // A throwable that is not an Exception has left the paint: it is
    // reported and the next frame runs; an Exception stops the loop.
    if (rt::catchException(rt::ClassId::java_lang_Exception))
        loop.s_runState = -1;
    rt::reportUncaughtException();
    loop.s_resumedThisFrame = 0;
    return true;
}

void OrvelLib::turn() {
    LoopStatics& loop = loopStatics();
    const OrvelLibConfig& settings = config();
    if (!runFrame()) {
        if (loop.s_runState < 0)
            return;
        m_lastTick = std::min(m_lastTick, now());
        if (settings.s_paceToFrameTime)
            rt::java_lang_Thread::sleep(settings.s_loopSleepMs);
        else
            rt::java_lang_Thread::yield();
        return;
    }
    std::int64_t time = now();
    m_lastTick = std::min(m_lastTick, time);
    if (settings.s_fixedSleep && loop.s_fixedSleep >= 0) {
        if (loop.s_fixedSleep == 0)
            rt::java_lang_Thread::yield();
        else
            rt::java_lang_Thread::sleep(loop.s_fixedSleep);
    } else if (settings.s_paceToFrameTime) {
        rt::java_lang_Thread::sleep(std::max<std::int64_t>(1, loop.s_frameTime - (time - m_lastTick)));
    } else {
        while (time - loop.s_frameTime - m_lastTick < 0) {
            rt::java_lang_Thread::yield();
            time = now();
            m_lastTick = std::min(m_lastTick, time);
        }
    }
    m_lastTick = now();
    if (rt::catchException(rt::ClassId::java_lang_Exception))
        loop.s_runState = -1;
}

void OrvelLib::cleanUp() {
    LoopStatics& loop = loopStatics();
    const OrvelLibConfig& settings = config();
    if (settings.s_keyCounters)
        dropKeyStateArrays();
    if (settings.s_useBackBuffer) {
        loop.s_backBuffer = nullptr;
        loop.s_backBufferGraphics = nullptr;
    }
    dropStartupPack();
    collectAfterUnload();
    if (!settings.s_yieldInLoop && loop.s_midlet)
        loop.s_midlet->notifyDestroyed();
}

void OrvelLib::paintFrame(platform::javax_microedition_lcdui_Graphics* graphics) {
    LoopStatics& loop = loopStatics();
    const OrvelLibConfig& settings = config();
    loop.s_screenGraphics = graphics;
    if (settings.s_pauseOnLongGap) {
        std::int64_t time = now();
        std::int64_t gap = time - loop.s_lastPaintTime;
        loop.s_lastPaintTime = time;
        if (gap > settings.s_longGapMs) {
            gameHideNotify();
            gameShowNotify();
        }
    }
    if (loop.s_paused || loop.s_inPaint)
        return;
    PaintScope painting(loop);
    updateKeys();
    if (settings.s_debugToggle && isKeyPressed(kDigit0Key))
        loop.s_debugByte = static_cast<std::int8_t>(loop.s_debugByte ? 0 : 1);
    std::int64_t time = now();
    loop.s_paintTime = time;
    if (settings.s_measureFrameTime) {
        std::int64_t frame = std::clamp<std::int64_t>(time - loop.s_frameClock, 0, 1000);
        loop.s_frameMs = static_cast<std::int32_t>(frame);
        loop.s_totalMs += loop.s_frameMs;
        loop.s_fpsTimes100 = loop.s_frameCount * 100000 / (loop.s_totalMs + 1);
        loop.s_frameClock = time;
    }
    loop.s_frameCount += 1;
    if (settings.s_useBackBuffer && loop.s_backBufferActive) {
        loop.s_graphics = loop.s_backBufferGraphics;
        gameUpdate(loop.s_graphics);
        if (!rt::exceptionPending() && graphics)
            graphics->drawImage(loop.s_backBuffer, 0, 0, kAnchorTopLeft);
    } else {
        loop.s_graphics = graphics;
        gameUpdate(graphics);
    }
    if (rt::exceptionPending()) {
        // Only an Exception is caught here; anything else leaves the paint
        // still pending, for the loop.
        if (!rt::catchException(rt::ClassId::java_lang_Exception))
            return;
        loop.s_runState = -1;
    }
    if (settings.s_gcFreeMemoryLimit > 0 &&
        lib::java_lang_Runtime::getRuntime()->freeMemory() < settings.s_gcFreeMemoryLimit)
        lib::java_lang_System::gc();
}

} // namespace game
