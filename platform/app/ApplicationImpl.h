#pragma once

// `ApplicationImpl`: the runtime's host in the process. It opens the display
// back-end, owns the `Application` (and through it the runtime), runs the
// first thread's loop and decides when a frame may be painted.
//
// Threads: everything here runs on the first thread (the window thread)
// except `serviceRepaints` and `notifyDestroyed`, which the game thread
// calls. The flags both read (active, hold-paint, running) are atomics; no
// lock is taken between painting and input. Presenting a frame and drawing
// the shell's own screens are kept apart by the screen lock.

#include "host/Threads.h"
#include "host/display/WindowView.h"
#include "platform/app/ReplayLog.h"
#include "platform/app/StartupHooks.h"
#include "platform/display/DisplayDriver.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {
class Host;
} // namespace host

namespace platform {

class Application;
class Shell;

struct RunOptions {
    // Ends the run after this many painted frames; 0 runs until the MIDlet ends.
    std::uint32_t frameLimit = 0;
    // When set, the last painted frame is written there as PNG at shutdown.
    std::string screenshotPath;
    // How the screenshot shows the screen: as the device holds it, or turned
    // as the window shows it.
    host::WindowTurn screenshotTurn = host::WindowTurn::AsDevice;
    // When set, every present and window event is logged there for a replay.
    ReplayLog* replay = nullptr;
};

class ApplicationImpl {
public:
    ApplicationImpl(host::Host& host, Shell& shell, StartupHooks hooks, RunOptions options = {});
    // Shuts down when that has not happened yet.
    ~ApplicationImpl();
    ApplicationImpl(const ApplicationImpl&) = delete;
    ApplicationImpl& operator=(const ApplicationImpl&) = delete;

    // The one that exists, or null. Guest code reaches the platform through it.
    static ApplicationImpl* current();

    // Opens the display back-end named `displayType` on the host's window;
    // false when it cannot be opened.
    bool openDisplay(std::u16string_view displayType);
    // Starts the runtime, lays the screen Image over the display surface and
    // starts the MIDlet. Answers why start-up stopped, if it did; `shutdown`
    // undoes what was done. `rt::OutOfStore` passes through to the caller.
    StartupResult init();
    // The run loop, until running is cleared; then the shutdown.
    void run();
    // Destroys the MIDlet, stops the other runtime threads, frees every
    // object and both heaps, closes the display. Every step happens once,
    // however often this is called.
    void shutdown();

    Application* getApplication() { return m_application.get(); }
    DisplayDriver* display() { return m_display.get(); }
    host::Host& host() { return m_host; }
    Shell& shell() { return m_shell; }

    // The volume keys: the host's master volume read, its left channel (low
    // 16 bits) moved by 6553 within 0..65535, the right channel set to the
    // same level, and the word written back.
    void volumeUp();
    void volumeDown();
    static std::uint32_t raisedVolume(std::uint32_t volume);
    static std::uint32_t loweredVolume(std::uint32_t volume);

    // Empty operations: the end of `Application::init`, and every frame of the game loop.
    static void initHook() {}
    static void frameHook() {}

    // Game thread: paints and presents one frame when the window is active,
    // painting is not held and the window is in the foreground; otherwise the
    // frame is dropped. A paint asked for from inside a paint, or once the
    // run has ended, is dropped too.
    void serviceRepaints();
    // Ends the run loop (any thread).
    void notifyDestroyed() { m_running = false; }
    // Game thread: the run is to end as `verdict` says, a broken data set
    // found while the game ran; the first verdict stands. The shell reads
    // it once the run loop and its shutdown are over (`runVerdict`: ready
    // when none was given).
    void setRunVerdict(const StartupResult& verdict);
    StartupResult runVerdict() const { return m_verdict.value_or(StartupResult::ready()); }

    bool isRunning() const { return m_running; }
    void setActive(bool active) { m_active = active; }
    bool isActive() const { return m_active; }
    // Set by the orientation test; cleared at the start of each run-loop turn.
    void holdPaint() { m_holdPaint = true; }
    bool isPaintHeld() const { return m_holdPaint; }
    std::uint32_t paintedFrames() const { return m_paintedFrames; }
    // True when the screenshot asked for could not be written.
    bool screenshotFailed() const { return m_screenshotFailed; }

    // Held (as a `BlockingLock`) around every write to the host's screen and
    // every present.
    host::Mutex& screenLock() { return *m_screenLock; }

private:
    // Answers the replay log's frame (a zero frame without a log).
    ReplayLog::Frame presentFrame();
    void writeScreenshot();
    void closeDisplay();

    host::Host& m_host;
    Shell& m_shell;
    StartupHooks m_hooks;
    RunOptions m_options;
    std::unique_ptr<host::Mutex> m_screenLock;

    std::atomic<bool> m_holdPaint{false};
    std::unique_ptr<Application> m_application;
    std::unique_ptr<DisplayDriver> m_display;
    bool m_pocketPC = false;
    std::atomic<bool> m_active{false};
    std::atomic<bool> m_running{true};
    std::uint16_t* m_surface = nullptr;
    // The master volume as the volume keys last wrote it.
    std::uint32_t m_masterVolume = 0xFFFFFFFF;

    std::atomic<bool> m_painting{false};
    std::atomic<std::uint32_t> m_paintedFrames{0};
    // The last presented frame, kept only when a screenshot is asked for.
    std::vector<std::uint16_t> m_lastFrame;
    bool m_shutDown = false;
    bool m_screenshotFailed = false;
    std::optional<StartupResult> m_verdict;
};

} // namespace platform
