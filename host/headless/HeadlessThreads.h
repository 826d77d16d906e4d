#pragma once

#include "host/Threads.h"
#include "host/headless/HeadlessScheduler.h"

#include <memory>

namespace host {

// Threads, mutexes and events that take turns by the scheduler's rule.
class HeadlessThreads final : public Threads {
public:
    explicit HeadlessThreads(std::shared_ptr<HeadlessScheduler> scheduler)
        : m_scheduler(std::move(scheduler)) {}

    Result<std::unique_ptr<Thread>> create(std::function<void()> body) override;
    ThreadId currentId() override { return m_scheduler->currentId(); }
    int currentPriority() override { return m_scheduler->currentPriority(); }
    StackBounds currentStackBounds() override;
    std::unique_ptr<Mutex> createMutex() override;
    std::unique_ptr<Event> createEvent() override;

private:
    std::shared_ptr<HeadlessScheduler> m_scheduler;
};

} // namespace host
