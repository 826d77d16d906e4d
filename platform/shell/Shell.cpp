#include "platform/shell/Shell.h"

#include "host/Host.h"
#include "host/Log.h"
#include "platform/app/Application.h"
#include "platform/app/BlockingLock.h"
#include "platform/lcdui/Displayable.h"
#include "platform/midlet/MIDlet.h"
#include "platform/shell/ConnectionScreen.h"
#include "platform/shell/screenText.h"
#include "runtime/Exceptions.h"
#include "runtime/OutOfStore.h"
#include "runtime/ThreadTable.h"
#include "runtime/charsets.h"
#include "runtime/checks.h"

#include <algorithm>
#include <span>
#include <vector>

namespace platform {

namespace {

constexpr std::int32_t kRequiredOrientation = host::kOrientation0;
constexpr std::int32_t kVolumeUpKey = 117;   // F6
constexpr std::int32_t kVolumeDownKey = 118; // F7
// The delay before a system key is handed back after the window is minimised.
constexpr std::uint32_t kSystemKeyDelay = 200;
// The longest web address handed to the browser.
constexpr std::size_t kMaxAddress = 255;
constexpr const char* kQuestionCaption = "Vorlax Rally";

// There is no input method: the key it would report for VK_PROCESSKEY is 0.
constexpr std::int32_t kInputMethodKey = 0;

// The keys the system keeps while the window takes all keys: the Windows
// keys, F4, Escape, Home and F3.
bool isSystemKey(std::int32_t key) {
    return key == host::vk::RightWindows || key == host::vk::LeftWindows || key == 115 ||
           key == host::vk::Escape || key == host::vk::Home || key == 114;
}

std::int32_t keyOf(std::int32_t virtualKey) {
    return mapVirtualKey(virtualKey == host::vk::ProcessKey ? kInputMethodKey : virtualKey & 255);
}

// The text of the "Please wait" screen: red on black.
constexpr std::uint32_t kPleaseWaitColour = 0xFF0000;

void logShellLine(const char* line) {
    host::logLine(host::LogCategory::Platform, line);
}

} // namespace

Shell::Shell(host::Host& host, StartupHooks hooks, ShellOptions options)
    : m_host(host)
    , m_options(std::move(options))
    , m_windowThread(host.threads().currentId())
    , m_windowCallLock(host.threads().createMutex())
    , m_impl(std::make_unique<ApplicationImpl>(host, *this, std::move(hooks), m_options.run)) {
    m_connectionScreen = std::make_unique<ConnectionScreen>(
        host, m_impl->screenLock(), [this](const std::string& caption, const std::string& text) {
            return runOnWindowThread([&] {
                rt::SafeRegion blocking;
                m_host.dialogs().showError(caption, text);
            });
        });
}

Shell::~Shell() {
    cleanup();
}

StartupResult Shell::run() {
    // The log goes where it was asked to go or the run does not start: its
    // lines must not end up on the terminal instead, nor the run pass as one
    // whose log can be read.
    if (m_options.logToFile) {
        if (auto opened = openLogFile(); !opened.ok())
            return StartupResult::cannotStart(opened.error().message);
    }

    auto instance = m_host.instanceLock().acquire(kWindowClass, kWindowTitle);
    if (!instance.ok()) {
        host::logf(host::LogCategory::Platform, "vorlax: cannot tell whether another instance runs: %s",
                   instance.error().message.c_str());
    } else if (instance.value() == host::InstanceState::Another) {
        logShellLine("vorlax: Vorlax Rally is already running.");
        closeLogFile();
        return StartupResult::ready();
    }

    rt::installOutOfStoreHandler();

    host::Window& window = m_host.window();
    if (auto opened = window.open(kWindowClass, kWindowTitle); !opened.ok()) {
        closeLogFile();
        return StartupResult::cannotStart("the window cannot open: " + opened.error().message);
    }
    window.bringToFront();
    logShellLine("\nInitInstance: SHFullscreen returned 1.");
    m_restoreOrientation = m_host.device().displayOrientation();

    if (!m_impl->openDisplay(u"GDI")) {
        cleanup();
        return StartupResult::cannotStart("the display cannot open");
    }
    m_messages.select(static_cast<std::uint16_t>(m_host.device().uiLanguage() & 0x3FF));
    if (StartupResult started = startRuntime(); !started.ok()) {
        cleanupAfterFailedStart();
        return started;
    }
    // The events that arrived while the runtime started; a quit among them
    // ends the run before its first turn.
    if (!pumpMessages())
        m_impl->notifyDestroyed();
    window.bringToFront();
    m_impl->run();
    StartupResult verdict = m_impl->runVerdict();
    cleanup();
    return verdict;
}

StartupResult Shell::startRuntime() {
    try {
        return m_impl->init();
    } catch (const rt::OutOfStore&) {
        return StartupResult::outOfStore();
    }
}

// The shutdown runs guest code (the MIDlet's destroyApp) on a heap that may
// just have run out: should it run out again, the rest of the shutdown is
// left to the process's end.
void Shell::cleanupAfterFailedStart() {
    try {
        cleanup();
    } catch (const rt::OutOfStore&) {
        logShellLine("vorlax: the shutdown after a failed start ran out of store; it ends here");
        closeLogFile();
        m_cleanedUp = true;
    }
}

void Shell::handleEvent(const host::WindowEvent& event) {
    switch (event.type) {
    case host::WindowEventType::Activate:
        m_windowActive = event.active;
        m_impl->setActive(event.active);
        break;
    case host::WindowEventType::FocusGained:
        focusGained();
        break;
    case host::WindowEventType::FocusLost:
        focusLost();
        break;
    case host::WindowEventType::DisplaySettingsChanged:
        settingsChanged();
        break;
    case host::WindowEventType::KeyDown:
        keyDown(event.key);
        break;
    case host::WindowEventType::KeyUp:
        keyUp(event.key);
        break;
    case host::WindowEventType::StylusDown:
    case host::WindowEventType::StylusMove:
    case host::WindowEventType::StylusUp:
        stylus(event);
        break;
    case host::WindowEventType::Power:
        if (m_powerNotifications)
            m_powerQueue.push_back(event.power);
        break;
    case host::WindowEventType::Quit:
        break; // `pumpMessages` ends the run
    }
}

void Shell::focusGained() {
    m_host.window().bringToFront();
    host::Device& device = m_host.device();
    if (device.displayOrientation() != kRequiredOrientation)
        device.setDisplayOrientation(kRequiredOrientation);
    if (Application* application = m_impl->getApplication())
        application->startAndShow();
    host::ScreenSize screen = m_host.screen().size();
    m_stylusScale.x = static_cast<float>(kLogicalScreenWidth) / static_cast<float>(screen.width);
    m_stylusScale.y = static_cast<float>(kLogicalScreenHeight) / static_cast<float>(screen.height);
    m_powerNotifications = true;
}

void Shell::focusLost() {
    m_powerNotifications = false;
    m_powerQueue.clear();
    if (Application* application = m_impl->getApplication())
        application->pauseAndHide();
    m_swallowStylusUp = true;
    m_host.device().setDisplayOrientation(m_restoreOrientation);
    m_host.window().minimize();
}

void Shell::settingsChanged() {
    if (!m_windowActive)
        return;
    host::Device& device = m_host.device();
    std::int32_t current = device.displayOrientation();
    if (m_restorePending) {
        m_restorePending = false;
        m_restoreOrientation = current;
    }
    if (current != kRequiredOrientation) {
        device.setDisplayOrientation(kRequiredOrientation);
        m_restorePending = true;
    }
}

void Shell::keyDown(std::int32_t virtualKey) {
    std::int32_t key = keyOf(virtualKey);
    if ((m_systemKeys && isSystemKey(key)) || key == kVolumeUpKey || key == kVolumeDownKey)
        return;
    if (Application* application = m_impl->getApplication())
        application->keyPressed(key);
}

// A system key minimises the window; on the device it then goes back to the
// system, which has nothing to do with it here.
void Shell::keyUp(std::int32_t virtualKey) {
    std::int32_t key = keyOf(virtualKey);
    if (m_systemKeys && isSystemKey(key)) {
        m_host.window().minimize();
        rt::SafeRegion blocking;
        m_host.clock().sleep(kSystemKeyDelay);
        return;
    }
    if (key == kVolumeUpKey) {
        m_impl->volumeUp();
    } else if (key == kVolumeDownKey) {
        m_impl->volumeDown();
    } else if (Application* application = m_impl->getApplication()) {
        application->keyReleased(key);
    }
}

void Shell::stylus(const host::WindowEvent& event) {
    if (event.type == host::WindowEventType::StylusUp && m_swallowStylusUp) {
        m_swallowStylusUp = false;
        return;
    }
    if (event.type == host::WindowEventType::StylusMove && m_swallowStylusUp)
        return;
    Application* application = m_impl->getApplication();
    javax_microedition_lcdui_Displayable* displayable =
        application ? application->currentDisplayable() : nullptr;
    if (!displayable)
        return;
    // The window reports positions as two signed 16-bit halves of one word.
    std::int32_t x = static_cast<std::int16_t>(event.x);
    std::int32_t y = static_cast<std::int16_t>(event.y);
    if (m_stylusScale.x != 1.0f || m_stylusScale.y != 1.0f)
        scaleStylusPoint(m_stylusScale, x, y);
    if (event.type == host::WindowEventType::StylusDown)
        displayable->pointerPressed(x, y);
    else if (event.type == host::WindowEventType::StylusUp)
        displayable->pointerReleased(x, y);
    else
        displayable->pointerDragged(x, y);
    rt::reportUncaughtException();
}

bool Shell::pumpMessages() {
    serveWindowCalls();
    host::WindowEvent event;
    while (m_host.window().pollEvent(event)) {
        if (m_options.run.replay)
            m_options.run.replay->event(event);
        if (event.type == host::WindowEventType::Quit)
            return false;
        handleEvent(event);
    }
    return true;
}

void Shell::processPowerNotifications() {
    std::vector<host::PowerTransition> transitions;
    transitions.swap(m_powerQueue);
    for (host::PowerTransition transition : transitions) {
        Application* application = m_impl->getApplication();
        if (!application)
            return;
        if (transition == host::PowerTransition::On) {
            if (application->isPaused())
                application->resume();
        } else if (!application->isPaused()) {
            application->pause();
        }
    }
}

bool Shell::checkDisplayOrientation() {
    host::Device& device = m_host.device();
    Application* application = m_impl->getApplication();
    if (device.displayOrientation() == kRequiredOrientation) {
        if (application && application->isPaused())
            application->resume();
        return true;
    }
    if (application && !application->isPaused())
        application->pause();
    m_impl->holdPaint();
    showPleaseWait();
    device.setDisplayOrientation(kRequiredOrientation);
    return false;
}

void Shell::showPleaseWait() {
    BlockingLock lock(m_impl->screenLock());
    host::Screen& screen = m_host.screen();
    host::ScreenSize size = screen.size();
    std::span<std::uint16_t> pixels = screen.pixels();
    std::fill(pixels.begin(), pixels.end(), 0);
    std::u16string_view text = m_messages.get(kPleaseWaitMessage);
    drawTextOver(m_host.text(), text, kPleaseWaitColour, pixels, size,
                 (size.width - m_host.text().measure(text)) / 2, size.height / 2);
    screen.present();
}

ConnectionUi& Shell::connectionScreen() {
    return *m_connectionScreen;
}

bool Shell::isAppInForeground() {
    return m_host.window().isForeground();
}

void Shell::platformRequest(std::u16string_view address) {
    // A native copy: the caller's characters may be a string's units, which a
    // collection may move while the caller waits for the window thread.
    std::u16string copy(address.substr(0, std::min(address.size(), kMaxAddress)));
    runOnWindowThread([this, &copy] { askAndBrowse(copy); });
}

bool Shell::runOnWindowThread(const std::function<void()>& work) {
    if (m_host.threads().currentId() == m_windowThread) {
        work();
        return true;
    }
    WindowCall call{&work, m_host.threads().createEvent()};
    {
        BlockingLock lock(*m_windowCallLock);
        if (!m_acceptingWindowCalls)
            return false;
        m_windowCalls.push_back(&call);
    }
    rt::SafeRegion blocking;
    call.done->wait(host::Event::kInfinite);
    return call.ran;
}

void Shell::askAndBrowse(const std::u16string& address) {
    host::Window& window = m_host.window();
    window.minimize();
    bool yes = false;
    {
        rt::SafeRegion blocking;
        yes =
            m_host.dialogs().askYesNo(kQuestionCaption, rt::toUtf8(m_messages.get(kConnectQuestionMessage)));
    }
    if (!yes) {
        window.bringToFront();
        return;
    }
    if (auto opened = m_host.browser().open(rt::toUtf8(address)); !opened) {
        host::logf(host::LogCategory::Platform,
                   "\njavax_microedition_midlet_MIDlet::platformRequest: g_CallBrowser() Error: %d",
                   opened.error().code);
    }
}

void Shell::serveWindowCalls() {
    std::deque<WindowCall*> calls;
    {
        BlockingLock lock(*m_windowCallLock);
        calls.swap(m_windowCalls);
    }
    for (WindowCall* call : calls) {
        (*call->work)();
        call->ran = true;
        call->done->set();
    }
}

void Shell::refuseWindowCalls() {
    std::deque<WindowCall*> calls;
    {
        BlockingLock lock(*m_windowCallLock);
        m_acceptingWindowCalls = false;
        calls.swap(m_windowCalls);
    }
    for (WindowCall* call : calls)
        call->done->set();
}

void Shell::cleanup() {
    if (m_cleanedUp)
        return;
    m_powerNotifications = false;
    m_powerQueue.clear();
    m_impl->shutdown();
    m_host.device().setDisplayOrientation(m_restoreOrientation);
    // After the shutdown, which runs guest code too.
    rt::logRuntimeReportCounts();
    closeLogFile();
    m_cleanedUp = true;
}

// A log that cannot be opened stays where it was; the caller says why.
host::Result<void> Shell::openLogFile() {
    closeLogFile();
    std::string path =
        m_options.logPath.empty() ? m_host.folders().programFolder() + "log.txt" : m_options.logPath;
    auto opened = host::FileLogSink::open(path);
    if (!opened)
        return opened.error();
    m_logFile = std::move(opened).value();
    m_previousLogSink = host::setLogSink(m_logFile.get());
    return {};
}

void Shell::closeLogFile() {
    if (!m_logFile)
        return;
    host::setLogSink(m_previousLogSink);
    m_logFile.reset();
}

} // namespace platform
