#pragma once

// The shell: the process's start and its one window. It finds the program
// folder, makes sure only one instance runs, opens the window and the display
// back-end, picks its messages by the user-interface language, starts the
// runtime host and hands the first thread to the run loop. Its window
// procedure turns the window's events into the platform's: focus into start
// and pause of the MIDlet with the canvas's show and hide notifications, keys
// into MIDP key codes, stylus positions into the logical 480 x 640 screen,
// display-setting changes into keeping the display upright (orientation 0).
// It also watches power transitions, shows "Please wait" while the
// orientation is wrong, asks before a web address goes to the browser, and
// puts the device back as it was when the process ends. While it runs,
// connections show their wait animation on its screen and their error boxes
// through its window thread.
//
// Threads: all of it runs on the first thread, the one that made the host,
// except `platformRequest` and `runOnWindowThread`, which any thread may call.

#include "host/Result.h"
#include "host/Window.h"
#include "platform/app/ApplicationImpl.h"
#include "platform/app/StartupHooks.h"
#include "platform/shell/ShellMessages.h"
#include "platform/shell/input.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace host {
class Event;
class Host;
class FileLogSink;
class LogSink;
class Mutex;
} // namespace host

namespace platform {

class ConnectionScreen;
class ConnectionUi;

inline constexpr const char* kWindowClass = "BrivantaClass";
inline constexpr const char* kWindowTitle = "Brivanta - Vorlax Rally";

struct ShellOptions {
    // The log switch: when on, the log goes to "log.txt" in the program
    // folder, or to `logPath` when that is set; failure lines go to standard
    // error as well. Off, the log goes to the standard output. A log file
    // that cannot be written ends the start-up before anything runs.
    bool logToFile = false;
    std::string logPath;
    RunOptions run;
};

class Shell {
public:
    // Made on the thread that made `host`, which becomes the first thread.
    Shell(host::Host& host, StartupHooks hooks, ShellOptions options = {});
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // The process: start-up, the run loop, the cleanup. Answers ready after
    // a normal run and when another instance is running already; otherwise
    // why start-up stopped: the log file, the window, the display or the
    // runtime could not start, or the start-up hooks could not load the data set. Loading that
    // fills the object heap (`rt::OutOfStore`) ends start-up as a broken data
    // set instead of ending the process. A run that the game ended because
    // its data set turned out broken answers the game's verdict.
    StartupResult run();

    // The window procedure: one event of the window.
    void handleEvent(const host::WindowEvent& event);
    // One pass over the window's pending events (and the web addresses other
    // threads asked for). False when the window was told to quit.
    bool pumpMessages();
    // Acts on the power transitions that arrived while notifications were on:
    // on resumes a paused Application, idle, suspend and unattended pause a
    // running one.
    void processPowerNotifications();
    // Whether the run loop tests the display orientation (always).
    bool orientationCheckEnabled() const { return m_orientationCheck; }
    // True when the display shows orientation 0. Otherwise pauses the
    // Application, holds painting, shows "Please wait" and asks the device
    // for orientation 0.
    bool checkDisplayOrientation();
    // The whole screen black and the "Please wait" text in red, centred
    // across the screen with its top at the middle.
    void showPleaseWait();
    bool isAppInForeground();
    // Any thread: asks the user the Internet question and on yes hands the
    // address (cut to 255 characters) to the browser. A thread other than the
    // first waits, as a blocking call, until the first thread has asked; the
    // address is copied first, so it may live in movable memory.
    void platformRequest(std::u16string_view address);
    // Runs `work` on the first thread: at once when called there, else at
    // the first thread's next pass over its events, while the caller waits as
    // in a blocking call. False, with nothing run, once calls are refused.
    bool runOnWindowThread(const std::function<void()>& work);
    // Lets go of every call still waiting, not run; later ones are refused.
    void refuseWindowCalls();
    // Runs once: power notifications off, the runtime host shut down, the
    // user's orientation restored, the log closed.
    void cleanup();

    const ShellMessages& messages() const { return m_messages; }
    // What connections show while the shell runs (the runtime's start-up hands it on).
    ConnectionUi& connectionScreen();
    ApplicationImpl& applicationImpl() { return *m_impl; }
    const StylusScale& stylusScale() const { return m_stylusScale; }

private:
    struct WindowCall {
        const std::function<void()>* work;
        std::unique_ptr<host::Event> done;
        bool ran = false;
    };

    StartupResult startRuntime();
    void cleanupAfterFailedStart();
    void focusGained();
    void focusLost();
    void settingsChanged();
    void keyDown(std::int32_t virtualKey);
    void keyUp(std::int32_t virtualKey);
    void stylus(const host::WindowEvent& event);
    void askAndBrowse(const std::u16string& address);
    void serveWindowCalls();
    [[nodiscard]] host::Result<void> openLogFile();
    void closeLogFile();

    host::Host& m_host;
    ShellOptions m_options;
    ShellMessages m_messages;
    std::uint32_t m_windowThread;

    std::int32_t m_restoreOrientation = 0;
    bool m_restorePending = false;
    bool m_windowActive = false;
    bool m_swallowStylusUp = false;
    bool m_systemKeys = true;
    bool m_orientationCheck = true;
    StylusScale m_stylusScale;
    bool m_powerNotifications = false;
    std::vector<host::PowerTransition> m_powerQueue;
    bool m_cleanedUp = false;

    std::unique_ptr<host::FileLogSink> m_logFile;
    host::LogSink* m_previousLogSink = nullptr;

    std::unique_ptr<host::Mutex> m_windowCallLock;
    std::deque<WindowCall*> m_windowCalls;
    bool m_acceptingWindowCalls = true;

    // What connections show; the runtime's start-up hands it to the platform.
    std::unique_ptr<ConnectionScreen> m_connectionScreen;

    // Last, so that it goes first: its shutdown may still reach the shell.
    std::unique_ptr<ApplicationImpl> m_impl;
};

} // namespace platform
