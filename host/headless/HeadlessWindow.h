#pragma once

#include "host/Clock.h"
#include "host/Window.h"
#include "host/headless/HeadlessFrames.h"
#include "host/headless/HeadlessScript.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace host {

// The scripted window: each scripted event arrives once the clock has reached
// its time. The window is in the foreground until focus is lost or it is
// minimised, and again once focus is gained or it is brought to the front.
// A replay's frame events (HeadlessFrames.h) come before timed ones.
class HeadlessWindow final : public Window {
public:
    HeadlessWindow(Clock& clock, std::vector<ScriptedEvent> events,
                   std::shared_ptr<HeadlessFrames> frames = nullptr);

    Result<void> open(const std::string& className, const std::string& title) override;
    bool isOpen() const override { return m_open.load(); }
    bool pollEvent(WindowEvent& event) override;
    void bringToFront() override { m_foreground = true; }
    void minimize() override { m_foreground = false; }
    bool isForeground() const override { return m_open.load() && m_foreground.load(); }

    // Queues an event, delivered before any scripted event still due. Any thread.
    void post(const WindowEvent& event);
    // Queues a quit, as `post` does.
    void postQuit();
    const std::string& title() const { return m_title; }

private:
    Clock& m_clock;
    std::vector<ScriptedEvent> m_events;
    std::shared_ptr<HeadlessFrames> m_frames;
    std::size_t m_next = 0;
    std::string m_title;
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_foreground{true};
    std::mutex m_postedLock;
    std::deque<WindowEvent> m_posted;
};

} // namespace host
