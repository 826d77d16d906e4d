#include "platform/app/Application.h"

#include "host/Host.h"
#include "host/Log.h"
#include "platform/Platform.h"
#include "platform/app/ApplicationImpl.h"
#include "platform/app/PlatformServices.h"
#include "platform/app/StartupHooks.h"
#include "platform/lcdui/Displayable.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "platform/midlet/MIDlet.h"
#include "platform/shell/Shell.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/Thread.h"

namespace platform {

namespace {

// How long the shutdown lets the other runtime threads end by themselves.
constexpr std::uint32_t kThreadEndGrace = 500;
constexpr std::int64_t kThreadEndPoll = 5;

void say(const char* line) {
    host::logLine(host::LogCategory::Platform, line);
}

// A runtime kept after close because held threads may still point into its
// heaps; it lives until the process ends.
rt::Runtime* s_keptRuntime = nullptr;

} // namespace

Application::Application(ApplicationImpl& impl)
    : m_impl(impl) {
}

Application::~Application() {
    close();
}

StartupResult Application::init(StartupHooks& hooks) {
    say("new MemoryManagers");
    say("new ObjectManager");
    say("new StaticClass");
    host::Host& host = m_impl.host();
    m_runtime = std::make_unique<rt::Runtime>(runtimeOptionsFor(host));
    installPlatform(*m_runtime);
    m_connectionScreen = &m_impl.shell().connectionScreen();
    connectPlatformServices(host, m_connectionScreen);
    m_roots = std::make_unique<Roots>(m_runtime->objectManager());
    ApplicationImpl::initHook();
    say("Application::init");
    if (!hooks.initializeStatics)
        return StartupResult::ready();
    StartupResult statics = hooks.initializeStatics();
    if (!statics.ok())
        rt::reportUncaughtException();
    return statics;
}

void Application::createScreenGraphics(javax_microedition_lcdui_Image* screen) {
    m_roots->screenImage.set(screen);
    say("m_screenGraphics");
    m_roots->screenGraphics.set(rt::make<javax_microedition_lcdui_Graphics>(screen));
}

bool Application::startApp(StartupHooks& hooks) {
    javax_microedition_midlet_MIDlet* midlet = hooks.makeMidlet ? hooks.makeMidlet() : nullptr;
    if (!midlet) {
        rt::reportUncaughtException();
        say("Application::startApp: there is no MIDlet to start.");
        return false;
    }
    m_roots->midlet.set(midlet);
    say("Application::startApp");
    midlet->startApp();
    rt::reportUncaughtException();
    return true;
}

void Application::paint() {
    javax_microedition_lcdui_Graphics* graphics = screenGraphics();
    javax_microedition_lcdui_Image* screen = screenImage();
    if (!graphics || !screen)
        return;
    std::int32_t width = screen->getWidth();
    std::int32_t height = screen->getHeight();
    if (javax_microedition_lcdui_Displayable* displayable = currentDisplayable()) {
        graphics->translate(-graphics->getTranslateX(), -graphics->getTranslateY());
        graphics->setClip(0, 0, width, height);
        graphics->setColor(0xFFFFFF);
        // An exception the paint leaves pending stays for the caller (the
        // game loop); the frame is finished all the same.
        displayable->paint(graphics);
        m_runtime->objectManager().gc(rt::ObjectManager::kOrdinary);
        m_collectAfterPaint = false;
    }
    graphics->setClip(0, 0, width, height);
}

bool Application::pauseAndHide() {
    javax_microedition_midlet_MIDlet* midlet = this->midlet();
    javax_microedition_lcdui_Displayable* displayable = currentDisplayable();
    if (!midlet || !displayable)
        return false;
    midlet->pauseApp();
    rt::reportUncaughtException();
    displayable->hideNotify();
    rt::reportUncaughtException();
    return true;
}

bool Application::startAndShow() {
    javax_microedition_midlet_MIDlet* midlet = this->midlet();
    javax_microedition_lcdui_Displayable* displayable = currentDisplayable();
    if (!midlet || !displayable)
        return false;
    midlet->startApp();
    rt::reportUncaughtException();
    displayable->showNotify();
    rt::reportUncaughtException();
    return true;
}

void Application::pause() {
    if (!m_paused && pauseAndHide())
        m_paused = true;
}

void Application::resume() {
    if (m_paused && startAndShow())
        m_paused = false;
}

void Application::keyPressed(std::int32_t keyCode) {
    if (javax_microedition_lcdui_Displayable* displayable = currentDisplayable()) {
        displayable->keyPressed(keyCode);
        rt::reportUncaughtException();
    }
}

void Application::keyReleased(std::int32_t keyCode) {
    if (javax_microedition_lcdui_Displayable* displayable = currentDisplayable()) {
        displayable->keyReleased(keyCode);
        rt::reportUncaughtException();
    }
}

void Application::stopOtherThreads() {
    rt::ThreadTable* threads = m_runtime ? m_runtime->threadTable() : nullptr;
    if (!threads)
        return;
    host::Clock& clock = m_impl.host().clock();
    std::uint32_t start = clock.tickCount();
    while (threads->attachedOthers() > 0 && clock.tickCount() - start < kThreadEndGrace)
        rt::java_lang_Thread::sleep(kThreadEndPoll);
    threads->holdOtherThreads();
    if (std::size_t held = threads->attachedOthers(); held > 0) {
        host::logf(
            host::LogCategory::Platform,
            "Application::close: %zu runtime thread(s) did not end; they are held and the heaps are kept",
            held);
        m_threadsHeld = true;
    }
}

void Application::destroyMidlet() {
    if (!m_runtime || m_midletDestroyed)
        return;
    m_midletDestroyed = true;
    say("Application::close");
    say("Application::destoryMIDlet");
    if (javax_microedition_midlet_MIDlet* midlet = this->midlet()) {
        midlet->destroyApp(true);
        rt::reportUncaughtException();
    } else {
        say("m_midlet is already NULL.");
    }
}

void Application::close() {
    if (!m_runtime)
        return;
    destroyMidlet();
    m_roots.reset();
    disconnectPlatformServices(m_connectionScreen);
    m_connectionScreen = nullptr;
    if (m_threadsHeld)
        s_keptRuntime = m_runtime.release();
    m_runtime.reset();
}

javax_microedition_midlet_MIDlet* Application::midlet() const {
    return m_roots ? m_roots->midlet.get() : nullptr;
}

javax_microedition_lcdui_Displayable* Application::currentDisplayable() const {
    return m_roots ? m_roots->currentDisplayable.get() : nullptr;
}

void Application::setCurrentDisplayable(javax_microedition_lcdui_Displayable* displayable) {
    if (m_roots)
        m_roots->currentDisplayable.set(displayable);
}

javax_microedition_lcdui_Image* Application::screenImage() const {
    return m_roots ? m_roots->screenImage.get() : nullptr;
}

javax_microedition_lcdui_Graphics* Application::screenGraphics() const {
    return m_roots ? m_roots->screenGraphics.get() : nullptr;
}

} // namespace platform
