#pragma once

// Real, free-running threads and the machine's monotonic clock, for runtime
// tests that want true concurrency (stress, blocking while another thread
// collects).

#include "host/system/SystemClock.h"
#include "host/system/SystemThreads.h"

namespace testing_support {

struct FreeThreads {
    host::SystemThreads threads;
    host::SystemClock clock;
};

} // namespace testing_support
