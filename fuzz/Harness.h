#pragma once

// What every harness shares: a check that fails the input, and a log sink that
// keeps the process quiet while inputs run and fails the input on a runtime
// check report.
//
// A runtime check report (a null, an index, a cast, a negative length) is a
// fault: the data reached code that indexes it unchecked. The runtime counts
// every report in its tally (`rt::runtimeReports`) before it logs the report's
// line, so the sink, on the runtime's first line, finds the report there and
// aborts with its line and trace on standard error (the crash's stack is then
// the report's own), and the input is kept as a crash. Leaving the sink's
// scope checks the tally once more, for a report whose line was not logged.

#include "host/Log.h"
#include "runtime/checks.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzzing {

inline void check(bool condition) {
    if (!condition)
        std::abort();
}

// Aborts, with the first report's line and trace, when the runtime has
// reported a check since the process started.
inline void failOnRuntimeReport() {
    const rt::RuntimeReports reports = rt::runtimeReports();
    if (reports.count == 0)
        return;
    std::fprintf(stderr, "runtime check report: %s (%llu in all)\n%s\n", reports.first.c_str(),
                 static_cast<unsigned long long>(reports.count), reports.firstTrace.c_str());
    std::abort();
}

// Fails the input, as its scope ends, on any report the runtime counted: for
// harnesses whose log goes to a sink of their own.
class FailOnRuntimeReport {
public:
    FailOnRuntimeReport() = default;
    ~FailOnRuntimeReport() { failOnRuntimeReport(); }
    FailOnRuntimeReport(const FailOnRuntimeReport&) = delete;
    FailOnRuntimeReport& operator=(const FailOnRuntimeReport&) = delete;
};

class Quiet final : public host::LogSink {
public:
    void write(host::LogCategory category, std::string_view) override {
        if (category == host::LogCategory::Runtime)
            failOnRuntimeReport();
    }
};

// Silences the log for its scope.
class QuietLog {
public:
    QuietLog()
        : m_previous(host::setLogSink(&m_quiet)) {}
    ~QuietLog() {
        host::setLogSink(m_previous);
        failOnRuntimeReport();
    }
    QuietLog(const QuietLog&) = delete;
    QuietLog& operator=(const QuietLog&) = delete;

private:
    Quiet m_quiet;
    host::LogSink* m_previous;
};

} // namespace fuzzing
