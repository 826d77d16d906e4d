#pragma once

// Collects the log's lines while it lives, for tests that check what was said.
// Making one, and clearing it, starts a fresh tally of runtime reports, so the
// first reports of each kind are logged again.

#include "host/Log.h"

#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

class LogCapture final : public host::LogSink {
public:
    LogCapture();
    ~LogCapture() override;
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    void write(host::LogCategory category, std::string_view line) override;

    std::vector<std::string> lines() const;
    bool contains(std::string_view text) const;
    void clear();

private:
    host::LogSink* m_previous;
    mutable std::mutex m_lock;
    std::vector<std::string> m_lines;
};

} // namespace testing_support
