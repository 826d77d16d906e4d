#include "host/headless/HeadlessWindow.h"

namespace host {

HeadlessWindow::HeadlessWindow(Clock& clock, std::vector<ScriptedEvent> events,
                               std::shared_ptr<HeadlessFrames> frames)
    : m_clock(clock)
    , m_events(std::move(events))
    , m_frames(std::move(frames)) {
}

Result<void> HeadlessWindow::open(const std::string&, const std::string& title) {
    if (m_open.load())
        return Error::withMessage("host: the window is already open");
    m_title = title;
    m_open = true;
    return {};
}

void HeadlessWindow::post(const WindowEvent& event) {
    std::lock_guard guard(m_postedLock);
    m_posted.push_back(event);
}

void HeadlessWindow::postQuit() {
    WindowEvent quit;
    quit.type = WindowEventType::Quit;
    post(quit);
}

bool HeadlessWindow::pollEvent(WindowEvent& event) {
    if (!m_open.load())
        return false;
    {
        std::lock_guard guard(m_postedLock);
        if (!m_posted.empty()) {
            event = m_posted.front();
            m_posted.pop_front();
            return true;
        }
    }
    bool fromFrame = m_frames && m_frames->active() && m_frames->nextEvent(event);
    if (!fromFrame) {
        if (m_next == m_events.size() || m_events[m_next].time > m_clock.tickCount())
            return false;
        event = m_events[m_next++].event;
    }
    if (event.type == WindowEventType::FocusLost)
        m_foreground = false;
    else if (event.type == WindowEventType::FocusGained)
        m_foreground = true;
    return true;
}

} // namespace host
