#pragma once

// The clock service: the device's millisecond tick count, sleeping, and the
// calendar time. The sdl back-end reads the machine's monotonic and real-time
// clocks; the headless back-end keeps a virtual clock that moves only when
// every thread it knows waits (see host/headless/HeadlessScheduler.h for the
// exact rule), and a calendar time that follows it from a fixed epoch.

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
};

} // namespace host
