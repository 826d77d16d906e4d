#pragma once

#include "host/Clock.h"
#include "host/headless/HeadlessFrames.h"
#include "host/headless/HeadlessScheduler.h"

#include <atomic>
#include <memory>

namespace host {

// The virtual clock: the tick is the scheduler's time (or, in a replay, the
// frame clock of HeadlessFrames.h), and sleeping lets the other threads run
// and time move on by the scheduler's rule. The calendar time is a settable
// epoch plus the whole seconds of the tick.
class HeadlessClock final : public Clock {
public:
    HeadlessClock(std::shared_ptr<HeadlessScheduler> scheduler, std::int64_t epochSeconds,
                  std::shared_ptr<const HeadlessFrames> frames = nullptr)
        : m_scheduler(std::move(scheduler))
        , m_frames(std::move(frames))
        , m_epochSeconds(epochSeconds) {}

    std::uint32_t tickCount() override {
        return m_frames && m_frames->active() ? m_frames->tickCount()
                                              : static_cast<std::uint32_t>(m_scheduler->now());
    }
    void sleep(std::uint32_t milliseconds) override { m_scheduler->sleep(milliseconds); }
    std::int64_t wallClockSeconds() override {
        std::uint64_t ms = m_frames && m_frames->active() ? m_frames->tickCount() : m_scheduler->now();
        return m_epochSeconds.load(std::memory_order_relaxed) + static_cast<std::int64_t>(ms / 1000);
    }

    // The calendar time at virtual time 0, in seconds since 1970. Any thread.
    void setWallClockEpoch(std::int64_t seconds) { m_epochSeconds.store(seconds, std::memory_order_relaxed); }

private:
    std::shared_ptr<HeadlessScheduler> m_scheduler;
    std::shared_ptr<const HeadlessFrames> m_frames;
    std::atomic<std::int64_t> m_epochSeconds;
};

} // namespace host
