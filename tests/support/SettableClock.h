#pragma once

// The machine's clock with a tick that a test can hold: until `setTick`,
// the monotonic tick counted from the clock's making; from then on, the
// value the test set, until `release`. Sleeping and the calendar time stay
// the machine's. For code under test that reads the device tick through the
// runtime (`java_lang_System::currentTimeMillis`).

#include "host/system/SystemClock.h"

#include <atomic>
#include <cstdint>

namespace testing_support {

class SettableClock final : public host::Clock {
public:
    std::uint32_t tickCount() override {
        return m_held.load(std::memory_order_acquire) ? m_tick.load(std::memory_order_relaxed)
                                                      : m_system.tickCount();
    }
    void sleep(std::uint32_t milliseconds) override { m_system.sleep(milliseconds); }
    std::int64_t wallClockSeconds() override { return m_system.wallClockSeconds(); }

    // Holds the tick at `milliseconds`. Any thread.
    void setTick(std::uint32_t milliseconds) {
        m_tick.store(milliseconds, std::memory_order_relaxed);
        m_held.store(true, std::memory_order_release);
    }
    // Moves the held tick on by `milliseconds` (holding it where it is first).
    void advance(std::uint32_t milliseconds) { setTick(tickCount() + milliseconds); }
    // The tick runs with the machine's clock again.
    void release() { m_held.store(false, std::memory_order_release); }

private:
    host::SystemClock m_system;
    std::atomic<std::uint32_t> m_tick{0};
    std::atomic<bool> m_held{false};
};

} // namespace testing_support
