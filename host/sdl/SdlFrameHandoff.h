#pragma once

// Where a presented frame waits for the window thread: the presenting thread
// leaves a copy, the window thread takes the newest one at its next turn.

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace host {

class SdlFrameHandoff {
public:
    // Any thread.
    void put(std::span<const std::uint16_t> pixels) {
        std::lock_guard guard(m_lock);
        m_pending.assign(pixels.begin(), pixels.end());
        m_fresh = true;
    }

    // Swaps the newest frame into `frame`; false when none came since the last take.
    bool take(std::vector<std::uint16_t>& frame) {
        std::lock_guard guard(m_lock);
        if (!m_fresh)
            return false;
        frame.swap(m_pending);
        m_fresh = false;
        return true;
    }

private:
    std::mutex m_lock;
    std::vector<std::uint16_t> m_pending;
    bool m_fresh = false;
};

} // namespace host
