#include "host/headless/HeadlessFrames.h"

#include "host/headless/HeadlessScheduler.h"

#include <algorithm>

namespace host {

HeadlessFrames::HeadlessFrames(std::vector<ScriptedFrame> frames,
                               std::shared_ptr<HeadlessScheduler> scheduler)
    : m_frames(std::move(frames))
    , m_scheduler(std::move(scheduler)) {
    m_windowThread = m_scheduler->currentId();
    if (!m_frames.empty())
        m_tick = m_frames.front().milliseconds;
}

std::uint64_t HeadlessFrames::stallLocked() const {
    std::uint64_t since = m_scheduler->now() - m_lastPresentAt;
    return since > kStallMs ? since - kStallMs : 0;
}

std::uint32_t HeadlessFrames::tickCount() const {
    std::lock_guard guard(m_lock);
    return static_cast<std::uint32_t>(m_tick + stallLocked());
}

bool HeadlessFrames::nextEvent(WindowEvent& event) {
    std::lock_guard guard(m_lock);
    while (m_nextFrame < m_frames.size() && m_nextFrame <= m_presented) {
        const std::vector<WindowEvent>& events = m_frames[m_nextFrame].events;
        if (m_nextEvent < events.size()) {
            event = events[m_nextEvent++];
            return true;
        }
        ++m_nextFrame;
        m_nextEvent = 0;
    }
    m_handledThrough = m_presented;
    return false;
}

void HeadlessFrames::presented() {
    std::uint32_t frame;
    {
        std::lock_guard guard(m_lock);
        m_tick += stallLocked();
        frame = ++m_presented;
        std::size_t line = std::min<std::size_t>(frame, m_frames.size() - 1);
        m_tick += m_frames[line].milliseconds;
        m_lastPresentAt = m_scheduler->now();
    }
    if (m_scheduler->currentId() == m_windowThread)
        return;
    for (std::uint32_t waited = 0; waited < kWindowWaitMs; ++waited) {
        {
            std::lock_guard guard(m_lock);
            if (m_handledThrough >= frame)
                return;
        }
        m_scheduler->sleep(1);
    }
}

} // namespace host
