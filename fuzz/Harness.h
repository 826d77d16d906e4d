#pragma once

// What every harness shares: a check that fails the input, and a log sink that
// keeps the process quiet while inputs run and fails the input on a runtime
// check report.
//
// A runtime check report (a null, an index, a cast, a negative length) is a
// fault: the data reached code that indexes it unchecked. The runtime writes
// each report as its line and then, in the runtime's category, the stack
// trace ("stacktrace:" and the names); the sink takes that pair as the report
// and aborts with both on standard error, so the input is kept as a crash.

#include "host/Log.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzzing {

inline void check(bool condition) {
    if (!condition)
        std::abort();
}

class Quiet final : public host::LogSink {
public:
    void write(host::LogCategory category, std::string_view line) override {
        if (category != host::LogCategory::Runtime)
            return;
        if (line.starts_with("stacktrace:")) {
            std::fprintf(stderr, "runtime check report: %s\n%.*s\n", m_lastRuntimeLine.c_str(),
                         static_cast<int>(line.size()), line.data());
            std::abort();
        }
        m_lastRuntimeLine.assign(line);
    }

private:
    // The runtime's last line: a report's own line comes just before its trace.
    std::string m_lastRuntimeLine;
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
