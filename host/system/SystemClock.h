#pragma once

#include "host/Clock.h"

#include <chrono>

namespace host {

// The machine's monotonic clock, counted from the host's making, and its
// real-time clock for the calendar time.
class SystemClock final : public Clock {
public:
    std::uint32_t tickCount() override;
    void sleep(std::uint32_t milliseconds) override;
    std::int64_t wallClockSeconds() override;

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

} // namespace host
