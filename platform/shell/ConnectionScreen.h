#pragma once

// What connections show while the shell runs. The wait animation is a row of
// dots drawn straight onto the screen, over whatever it shows, by a thread of
// its own while a request runs: every 300 ms the next of five frames at
// (75, 240), the first in white over the dots, the other four in red with one
// to seven dots. The error box of a failed socket goes to the window thread,
// which shows it; once the shell has stopped taking calls it is logged.
//
// Threads: any thread may begin and end a wait or show an error. Waits may
// overlap (two threads sending at once): one animation runs from the first
// begin to the last end.

#include "platform/io/ConnectionUi.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace host {
class Event;
class Host;
class Mutex;
class Thread;
} // namespace host

namespace platform {

class ConnectionScreen final : public ConnectionUi {
public:
    // Answers whether the box was shown.
    using ErrorBox = std::function<bool(const std::string& caption, const std::string& text)>;

    static constexpr int kLeft = 75;
    static constexpr int kTop = 240;
    static constexpr std::uint32_t kStepMs = 300;
    static constexpr int kFrameCount = 5;

    // `screenLock` keeps the animation's drawing apart from every other
    // writer of the screen.
    ConnectionScreen(host::Host& host, host::Mutex& screenLock, ErrorBox errorBox);
    // Ends a running animation.
    ~ConnectionScreen() override;
    ConnectionScreen(const ConnectionScreen&) = delete;
    ConnectionScreen& operator=(const ConnectionScreen&) = delete;

    void beginWait() override;
    // Returns once the animation has stopped drawing.
    void endWait() override;
    void showError(const std::string& caption, const std::string& text) override;

    // The text and colour of animation frame `frame` (0 to 4).
    static std::u16string_view frameText(int frame);
    static std::uint32_t frameColour(int frame);

private:
    void animate();
    void drawFrame(int frame);
    void stopAnimation();

    host::Host& m_host;
    host::Mutex& m_screenLock;
    ErrorBox m_errorBox;
    std::unique_ptr<host::Mutex> m_lock; // guards the count and the thread
    int m_waits = 0;
    std::unique_ptr<host::Thread> m_thread;
    std::unique_ptr<host::Event> m_stop;
    std::atomic<bool> m_running{false};
};

} // namespace platform
