#pragma once

// The clock service: the device's millisecond tick count, sleeping, and the
// calendar time. The sdl back-end reads the machine's monotonic and real-time
// clocks; the headless back-end keeps a virtual clock that moves only when
// every thread it knows waits (see host/headless/HeadlessScheduler.h for the
// exact rule), and a calendar time that follows it from a fixed epoch.

#include <atomic>
#include <cstdint>

namespace host {

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since the host was made, as a 32-bit count that wraps after
    // 2^32 ms. Any thread may ask.
    virtual std::uint32_t tickCount() = 0;

    // Suspends the calling thread for at least `milliseconds`. 0 hands the
    // processor to any other thread that is ready and returns. Called only on
    // threads the host knows: its creator and the threads it started.
    virtual void sleep(std::uint32_t milliseconds) = 0;

    // The calendar time in whole seconds since 1970-01-01 00:00 UTC (what the
    // C library's `time` answers). Unlike the tick it may jump when the
    // machine's clock is set. Any thread may ask.
    virtual std::int64_t wallClockSeconds() = 0;

    // The seed of the program's shared random generator: the tick now, unless
    // a seed was fixed (a replay fixes the one it was recorded with). Any
    // thread.
    std::int64_t randomSeed() {
        return m_seedFixed.load(std::memory_order_acquire) ? m_fixedSeed.load(std::memory_order_relaxed)
                                                           : static_cast<std::int64_t>(tickCount());
    }
    // Fixes the seed `randomSeed` answers from now on. Any thread.
    void fixRandomSeed(std::int64_t seed) {
        m_fixedSeed.store(seed, std::memory_order_relaxed);
        m_seedFixed.store(true, std::memory_order_release);
    }
    bool isRandomSeedFixed() const { return m_seedFixed.load(std::memory_order_acquire); }

private:
    std::atomic<std::int64_t> m_fixedSeed{0};
    std::atomic<bool> m_seedFixed{false};
};

} // namespace host
