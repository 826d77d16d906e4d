#pragma once

// Real, free-running threads and the machine's monotonic clock, for runtime
// tests that want true concurrency (stress, blocking while another thread
// collects).

#include "host/Clock.h"
#include "host/Threads.h"

namespace testing_support {

class FreeThreads final : public host::Threads, public host::Clock {
public:
    FreeThreads();

    host::Result<std::unique_ptr<host::Thread>> create(std::function<void()> body) override;
    host::ThreadId currentId() override;
    int currentPriority() override;
    host::StackBounds currentStackBounds() override;
    std::unique_ptr<host::Mutex> createMutex() override;
    std::unique_ptr<host::Event> createEvent() override;

    std::uint32_t tickCount() override;
    void sleep(std::uint32_t milliseconds) override;
};

} // namespace testing_support
