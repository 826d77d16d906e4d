#include "host/Log.h"

#include <cstdio>
#include <mutex>

namespace host {

namespace {

class StandardOutputSink final : public LogSink {
public:
    void write(LogCategory, std::string_view line) override {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
};

struct LogState {
    std::mutex lock;
    StandardOutputSink standardOutput;
    LogSink* sink = nullptr;
};

LogState& state() {
    static LogState s_state;
    return s_state;
}

std::string_view withoutNewline(std::string_view line) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

} // namespace

LogSink* setLogSink(LogSink* sink) {
    auto& s = state();
    std::lock_guard guard(s.lock);
    LogSink* previous = s.sink;
    s.sink = sink;
    return previous;
}

void logLine(LogCategory category, std::string_view line) {
    auto& s = state();
    std::lock_guard guard(s.lock);
    LogSink* sink = s.sink ? s.sink : &s.standardOutput;
    sink->write(category, withoutNewline(line.substr(0, kMaxLogLine)));
}

void vlogf(LogCategory category, const char* format, std::va_list arguments) {
    char buffer[kMaxLogLine + 1];
    int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    if (length < 0)
        length = 0;
    std::size_t size =
        static_cast<std::size_t>(length) < kMaxLogLine ? static_cast<std::size_t>(length) : kMaxLogLine;
    logLine(category, std::string_view(buffer, size));
}

void logf(LogCategory category, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    vlogf(category, format, arguments);
    va_end(arguments);
}

} // namespace host
