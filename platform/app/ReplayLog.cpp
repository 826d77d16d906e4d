#include "platform/app/ReplayLog.h"

#include "host/Log.h"
#include "host/headless/HeadlessScreen.h"

#include <cinttypes>
#include <cstdio>

namespace platform {

namespace {

// The event as a script carries it: only the fields its kind uses.
host::WindowEvent scriptable(const host::WindowEvent& event) {
    host::WindowEvent kept;
    kept.type = event.type;
    switch (event.type) {
    case host::WindowEventType::Activate:
        kept.active = event.active;
        break;
    case host::WindowEventType::KeyDown:
    case host::WindowEventType::KeyUp:
        kept.key = event.key;
        break;
    case host::WindowEventType::StylusDown:
    case host::WindowEventType::StylusMove:
    case host::WindowEventType::StylusUp:
        kept.x = event.x;
        kept.y = event.y;
        break;
    case host::WindowEventType::Power:
        kept.power = event.power;
        break;
    default:
        break;
    }
    return kept;
}

} // namespace

ReplayLog::ReplayLog(const Options& options, host::Clock& clock, host::Screen& screen)
    : m_options(options)
    , m_clock(clock)
    , m_screen(screen) {
}

host::Result<std::unique_ptr<ReplayLog>> ReplayLog::open(const Options& options, host::Clock& clock,
                                                         host::Screen& screen) {
    std::unique_ptr<ReplayLog> log(new ReplayLog(options, clock, screen));
    if (!options.recordPath.empty()) {
        log->m_record.open(options.recordPath, std::ios::binary | std::ios::trunc);
        if (!log->m_record)
            return host::Error::withMessage("cannot write the recording " + options.recordPath);
        if (!clock.isRandomSeedFixed())
            clock.fixRandomSeed(clock.tickCount());
        log->writeLine(log->m_record, "seed " + std::to_string(clock.randomSeed()));
    }
    if (!options.hashesPath.empty()) {
        log->m_hashes.open(options.hashesPath, std::ios::binary | std::ios::trunc);
        if (!log->m_hashes)
            return host::Error::withMessage("cannot write the hashes " + options.hashesPath);
    }
    screen.setPresentObserver(
        [watcher = log.get()](std::span<const std::uint16_t> pixels) { watcher->presented(pixels); });
    return log;
}

ReplayLog::~ReplayLog() {
    m_screen.setPresentObserver(nullptr);
    std::lock_guard guard(m_lock);
    if (m_record.is_open()) {
        // A run that ended by a frame limit has no quit of its own; the
        // replay ends at the same frame all the same.
        host::WindowEvent quit;
        quit.type = host::WindowEventType::Quit;
        if (!m_quitRecorded)
            m_pending.events.push_back(quit);
        if (m_pending.events.empty())
            return;
        m_pending.milliseconds = m_clock.tickCount() - m_lastPresentTick;
        if (auto line = host::formatFrame(m_pending); line)
            writeLine(m_record, line.value());
    }
}

void ReplayLog::writeLine(std::ofstream& file, const std::string& line) {
    file << line << '\n';
    file.flush();
    if (!file && !m_failed) {
        m_failed = true;
        host::logFailure(host::LogCategory::Platform, "vorlax: cannot write the replay files any more");
    }
}

void ReplayLog::event(const host::WindowEvent& event) {
    if (!m_record.is_open())
        return;
    host::WindowEvent kept = scriptable(event);
    if (!host::formatEvent(kept))
        return; // a key code no script carries cannot be replayed either
    std::lock_guard guard(m_lock);
    m_pending.events.push_back(kept);
    if (kept.type == host::WindowEventType::Quit)
        m_quitRecorded = true;
}

void ReplayLog::presented(std::span<const std::uint16_t> pixels) {
    std::lock_guard guard(m_lock);
    if (m_record.is_open()) {
        std::uint32_t tick = m_clock.tickCount();
        m_pending.milliseconds = tick - m_lastPresentTick;
        m_lastPresentTick = tick;
        if (auto line = host::formatFrame(m_pending); line)
            writeLine(m_record, line.value());
        m_pending = {};
    }
    m_lastPresented = {m_frames++, m_hashes.is_open() ? host::hashFrame(pixels) : 0};
}

ReplayLog::Frame ReplayLog::lastPresented() {
    std::lock_guard guard(m_lock);
    return m_lastPresented;
}

void ReplayLog::painted(const Frame& frame) {
    if (!m_hashes.is_open())
        return;
    std::uint64_t state = m_options.stateHash ? m_options.stateHash() : 0;
    std::lock_guard guard(m_lock);
    char line[64];
    std::snprintf(line, sizeof line, "%" PRIu32 " %016" PRIx64 " %016" PRIx64, frame.number, state,
                  frame.hash);
    writeLine(m_hashes, line);
}

} // namespace platform
