#include "runtime/checks.h"

#include "host/Log.h"
#include "runtime/ThreadState.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace rt {

namespace {

struct ReportTally {
    std::mutex lock;
    RuntimeReports reports;
};

ReportTally& tally() {
    static ReportTally instance;
    return instance;
}

// Counts one report of `kind`; answers how many of that kind there have been,
// this one included.
std::uint64_t count(const char* kind, const char* line, bool& first) {
    ReportTally& t = tally();
    std::lock_guard<std::mutex> held(t.lock);
    RuntimeReports& reports = t.reports;
    first = reports.count++ == 0;
    if (first)
        reports.first = line;
    for (RuntimeReportKind& seen : reports.kinds)
        if (seen.kind == kind)
            return ++seen.count;
    reports.kinds.push_back({kind, 1});
    return 1;
}

void report(const char* kind, const char* format, std::va_list arguments) {
    std::array<char, host::kMaxLogLine> line{};
    std::vsnprintf(line.data(), line.size(), format, arguments);
    bool first = false;
    const std::uint64_t seen = count(kind, line.data(), first);
    if (seen == kReportsLoggedPerKind + 1)
        host::logf(host::LogCategory::Runtime,
                   "runtime check %s: further reports of this kind are counted, not logged", kind);
    if (seen > kReportsLoggedPerKind)
        return;
    const std::string trace = ThreadState::current().traceText();
    if (first) {
        ReportTally& t = tally();
        std::lock_guard<std::mutex> held(t.lock);
        t.reports.firstTrace = trace;
    }
    host::logLine(host::LogCategory::Runtime, line.data());
    host::logLine(host::LogCategory::Runtime, trace);
}

void reportOfKind(const char* kind, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    report(kind, format, arguments);
    va_end(arguments);
}

} // namespace

void logPrintf(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    host::vlogf(host::LogCategory::Runtime, format, arguments);
    va_end(arguments);
}

void printStackTrace() {
    logPrintf("%s", ThreadState::current().traceText().c_str());
}

void reportRuntimeError(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    report(format, format, arguments);
    va_end(arguments);
}

RuntimeReports runtimeReports() {
    ReportTally& t = tally();
    std::lock_guard<std::mutex> held(t.lock);
    return t.reports;
}

void resetRuntimeReports() {
    ReportTally& t = tally();
    std::lock_guard<std::mutex> held(t.lock);
    t.reports = RuntimeReports{};
}

void logRuntimeReportCounts() {
    for (const RuntimeReportKind& kind : runtimeReports().kinds)
        host::logf(host::LogCategory::Runtime, "runtime check %s: %llu reports, the first %llu logged",
                   kind.kind.c_str(), static_cast<unsigned long long>(kind.count),
                   static_cast<unsigned long long>(std::min(kind.count, kReportsLoggedPerKind)));
}

void reportNullPointer() {
    reportRuntimeError("NullPointer");
}

void reportCheckCast() {
    reportRuntimeError("check cast");
}

void reportNegativeArrayLength() {
    reportRuntimeError("length of array should be >= 0");
}

void reportIndexOutOfBounds(IndexKind kind, std::int64_t index, std::int64_t length) {
    const char* what = kind == IndexKind::Array ? "ArrayIndexOutOfBounds" : "StringIndexOutOfBounds";
    reportOfKind(what, "%s index=%lld length=%lld", what, static_cast<long long>(index),
                 static_cast<long long>(length));
}

bool checkRange(IndexKind kind, std::int64_t begin, std::int64_t count, std::int64_t length) {
    if (begin < 0 || begin > length) {
        reportIndexOutOfBounds(kind, begin, length);
        return false;
    }
    if (count < 0 || begin + count > length) {
        reportIndexOutOfBounds(kind, begin + count, length);
        return false;
    }
    return true;
}

} // namespace rt
