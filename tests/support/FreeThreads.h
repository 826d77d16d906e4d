#pragma once

// Real, free-running threads and the machine's monotonic clock, for runtime
// tests that want true concurrency (stress, blocking while another thread
// collects). A test may hold the clock's tick (SettableClock.h).

#include "host/system/SystemThreads.h"
#include "tests/support/SettableClock.h"

namespace testing_support {

struct FreeThreads {
    host::SystemThreads threads;
    SettableClock clock;
};

} // namespace testing_support
