#pragma once

// What every harness shares: a check that fails the input, and a log sink that
// keeps the process quiet while inputs run.

#include "host/Log.h"

#include <cstdlib>
#include <string_view>

namespace fuzzing {

inline void check(bool condition) {
    if (!condition)
        std::abort();
}

struct Quiet final : host::LogSink {
    void write(host::LogCategory, std::string_view) override {}
};

// Silences the log for its scope.
class QuietLog {
public:
    QuietLog()
        : m_previous(host::setLogSink(&m_quiet)) {}
    ~QuietLog() { host::setLogSink(m_previous); }
    QuietLog(const QuietLog&) = delete;
    QuietLog& operator=(const QuietLog&) = delete;

private:
    Quiet m_quiet;
    host::LogSink* m_previous;
};

} // namespace fuzzing
