#pragma once

#include "host/Clock.h"
#include "host/headless/HeadlessScheduler.h"

#include <memory>

namespace host {

// The virtual clock: the tick is the scheduler's time, and sleeping lets the
// other threads run and time move on by the scheduler's rule.
class HeadlessClock final : public Clock {
public:
    explicit HeadlessClock(std::shared_ptr<HeadlessScheduler> scheduler)
        : m_scheduler(std::move(scheduler)) {}

    std::uint32_t tickCount() override { return static_cast<std::uint32_t>(m_scheduler->now()); }
    void sleep(std::uint32_t milliseconds) override { m_scheduler->sleep(milliseconds); }

private:
    std::shared_ptr<HeadlessScheduler> m_scheduler;
};

} // namespace host
