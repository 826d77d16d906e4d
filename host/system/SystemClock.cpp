#include "host/system/SystemClock.h"

#include <ctime>
#include <thread>

namespace host {

std::uint32_t SystemClock::tickCount() {
    auto elapsed = std::chrono::steady_clock::now() - m_start;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SystemClock::sleep(std::uint32_t milliseconds) {
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::int64_t SystemClock::wallClockSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

} // namespace host
