#include "platform/app/ApplicationImpl.h"

#include "host/Host.h"
#include "host/Log.h"
#include "host/png/PngWriter.h"
#include "platform/app/Application.h"
#include "platform/app/BlockingLock.h"
#include "platform/display/openDisplay.h"
#include "platform/lcdui/Image.h"
#include "platform/shell/Shell.h"
#include "runtime/Thread.h"
#include "runtime/ThreadTable.h"

#include <algorithm>

namespace platform {

namespace {

std::atomic<ApplicationImpl*> s_current{nullptr};

constexpr std::uint32_t kVolumeStep = 6553;
// At or above this level a raise goes to full volume.
constexpr std::uint32_t kRaiseToFullFrom = 58981;
constexpr std::uint32_t kRunLoopSleep = 5;

// Both channels at `left`.
std::uint32_t bothChannels(std::uint32_t left) {
    return left | left << 16;
}

// Clears the painting flag on every way out of a paint.
class PaintingScope {
public:
    explicit PaintingScope(std::atomic<bool>& painting)
        : m_painting(painting) {}
    ~PaintingScope() { m_painting = false; }
    PaintingScope(const PaintingScope&) = delete;
    PaintingScope& operator=(const PaintingScope&) = delete;

private:
    std::atomic<bool>& m_painting;
};

} // namespace

ApplicationImpl::ApplicationImpl(host::Host& host, Shell& shell, StartupHooks hooks, RunOptions options)
    : m_host(host)
    , m_shell(shell)
    , m_hooks(std::move(hooks))
    , m_options(std::move(options))
    , m_screenLock(host.threads().createMutex()) {
    ApplicationImpl* expected = nullptr;
    HOST_VERIFY(s_current.compare_exchange_strong(expected, this));
}

ApplicationImpl::~ApplicationImpl() {
    shutdown();
    s_current = nullptr;
}

void ApplicationImpl::setRunVerdict(const StartupResult& verdict) {
    if (!m_verdict)
        m_verdict = verdict;
}

ApplicationImpl* ApplicationImpl::current() {
    return s_current.load(std::memory_order_acquire);
}

bool ApplicationImpl::openDisplay(std::u16string_view displayType) {
    return platform::openDisplay(displayType, m_host, &m_host.window(), m_display) == 1;
}

StartupResult ApplicationImpl::init() {
    m_pocketPC = m_host.device().isPocketPC();
    m_application = std::make_unique<Application>(*this);
    if (StartupResult statics = m_application->init(m_hooks); !statics.ok())
        return statics;
    if (!m_display || !m_display->surfacePixels())
        return StartupResult::cannotStart("the display has no surface to paint on");
    m_surface = m_display->surfacePixels();

    // The screen Image lies over the surface; the screen starts black.
    std::int32_t width = m_display->logicalWidth();
    std::int32_t height = m_display->logicalHeight();
    std::int32_t pitch = ((width + 1) & ~1) * 2;
    auto* screen = javax_microedition_lcdui_Image::createOverSurface(width, height, pitch, m_surface);
    std::fill_n(m_surface, static_cast<std::size_t>(pitch / 2) * static_cast<std::size_t>(height), 0);
    m_application->createScreenGraphics(screen);
    // The data set was read all the same: a broken one says so first.
    if (!m_hooks.makeMidlet)
        return StartupResult::noGame();
    if (!m_application->startApp(m_hooks))
        return StartupResult::cannotStart("there is no MIDlet to start");
    return StartupResult::ready();
}

void ApplicationImpl::run() {
    while (m_running) {
        m_shell.processPowerNotifications();
        if (!m_shell.pumpMessages()) {
            m_running = false;
            break;
        }
        bool active = m_active;
        m_holdPaint = false;
        if (active && m_shell.orientationCheckEnabled())
            m_shell.checkDisplayOrientation();
        {
            rt::SafeRegion blocking;
            m_host.clock().sleep(kRunLoopSleep);
        }
        rt::java_lang_Thread::sleep(kRunLoopSleep);
    }
    shutdown();
}

void ApplicationImpl::shutdown() {
    m_running = false;
    if (m_shutDown)
        return;
    m_shutDown = true;
    // The MIDlet is destroyed while its threads still run, so that it can end
    // them; a thread waiting for the window thread (the Internet question, an
    // error box) is let go for the same reason. Only then are the threads stopped.
    m_shell.refuseWindowCalls();
    if (m_application) {
        m_application->destroyMidlet();
        m_application->stopOtherThreads();
        writeScreenshot();
        m_application->close();
        m_application.reset();
    }
    closeDisplay();
}

// A thread held by the shutdown may still be presenting inside its safe
// region: the display goes only under the screen lock.
void ApplicationImpl::closeDisplay() {
    if (!m_display)
        return;
    BlockingLock screen(*m_screenLock);
    m_display->close();
    m_display.reset();
    m_surface = nullptr;
}

void ApplicationImpl::volumeUp() {
    host::Audio& audio = m_host.audio();
    m_masterVolume = raisedVolume(audio.masterVolume());
    audio.setMasterVolume(m_masterVolume);
}

void ApplicationImpl::volumeDown() {
    host::Audio& audio = m_host.audio();
    m_masterVolume = loweredVolume(audio.masterVolume());
    audio.setMasterVolume(m_masterVolume);
}

std::uint32_t ApplicationImpl::raisedVolume(std::uint32_t volume) {
    std::uint32_t left = volume & 0xFFFF;
    return bothChannels(left < kRaiseToFullFrom ? left + kVolumeStep : 0xFFFF);
}

std::uint32_t ApplicationImpl::loweredVolume(std::uint32_t volume) {
    std::uint32_t left = volume & 0xFFFF;
    return bothChannels(left > kVolumeStep ? left - kVolumeStep : 0);
}

void ApplicationImpl::serviceRepaints() {
    if (!m_running || !m_active || m_holdPaint || !m_shell.isAppInForeground() || !m_application)
        return;
    bool idle = false;
    if (!m_painting.compare_exchange_strong(idle, true))
        return;
    PaintingScope painting(m_painting);
    m_application->paint();
    ReplayLog::Frame presented = presentFrame();
    if (m_options.replay)
        m_options.replay->painted(presented);
    std::uint32_t frames = ++m_paintedFrames;
    if (m_options.frameLimit != 0 && frames >= m_options.frameLimit)
        m_running = false;
}

ReplayLog::Frame ApplicationImpl::presentFrame() {
    BlockingLock screen(*m_screenLock);
    if (!m_display)
        return {};
    m_display->present();
    auto count = static_cast<std::size_t>(m_display->logicalWidth() * m_display->logicalHeight());
    if (!m_options.screenshotPath.empty() && m_surface)
        m_lastFrame.assign(m_surface, m_surface + count);
    return m_options.replay ? m_options.replay->lastPresented() : ReplayLog::Frame{};
}

void ApplicationImpl::writeScreenshot() {
    if (m_options.screenshotPath.empty() || !m_display)
        return;
    std::vector<std::uint16_t> frame;
    {
        BlockingLock screen(*m_screenLock);
        frame = m_lastFrame;
    }
    int width = m_display->logicalWidth();
    int height = m_display->logicalHeight();
    if (frame.empty())
        frame.assign(static_cast<std::size_t>(width * height), 0);
    const host::ScreenSize size{width, height};
    const host::ScreenSize shape = host::windowSizeFor(size, m_options.screenshotTurn, 1);
    if (auto written = host::writePng(m_options.screenshotPath,
                                      host::turnedPicture(frame, size, m_options.screenshotTurn), shape.width,
                                      shape.height);
        !written) {
        host::logFailuref(host::LogCategory::Platform, "vorlax: cannot write the screenshot %s: %s",
                          m_options.screenshotPath.c_str(), written.error().message.c_str());
        m_screenshotFailed = true;
    }
}

} // namespace platform
