#include "host/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace host {

namespace {

void writeLine(std::FILE* stream, std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

class StandardOutputSink final : public LogSink {
public:
    void write(LogCategory, std::string_view line) override { writeLine(stdout, line); }
    void writeFailure(LogCategory, std::string_view line) override { writeLine(stderr, line); }
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

// Formats into `buffer` (kMaxLogLine + 1 bytes), truncating.
std::string_view formatLine(char* buffer, const char* format, std::va_list arguments) {
    int length = std::vsnprintf(buffer, kMaxLogLine + 1, format, arguments);
    if (length < 0)
        length = 0;
    std::size_t size =
        static_cast<std::size_t>(length) < kMaxLogLine ? static_cast<std::size_t>(length) : kMaxLogLine;
    return std::string_view(buffer, size);
}

} // namespace

Result<std::unique_ptr<FileLogSink>> FileLogSink::open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w+");
    if (!file)
        return Error::withMessage("cannot write the log to " + path + ": " + std::strerror(errno));
    return std::unique_ptr<FileLogSink>(new FileLogSink(file));
}

FileLogSink::~FileLogSink() {
    std::fclose(m_file);
}

void FileLogSink::write(LogCategory, std::string_view line) {
    writeLine(m_file, line);
}

void FileLogSink::writeFailure(LogCategory, std::string_view line) {
    writeLine(m_file, line);
    writeLine(stderr, line);
}

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

void logFailure(LogCategory category, std::string_view line) {
    auto& s = state();
    std::lock_guard guard(s.lock);
    LogSink* sink = s.sink ? s.sink : &s.standardOutput;
    sink->writeFailure(category, withoutNewline(line.substr(0, kMaxLogLine)));
}

void vlogf(LogCategory category, const char* format, std::va_list arguments) {
    char buffer[kMaxLogLine + 1];
    logLine(category, formatLine(buffer, format, arguments));
}

void logf(LogCategory category, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    vlogf(category, format, arguments);
    va_end(arguments);
}

void logFailuref(LogCategory category, const char* format, ...) {
    char buffer[kMaxLogLine + 1];
    std::va_list arguments;
    va_start(arguments, format);
    std::string_view line = formatLine(buffer, format, arguments);
    va_end(arguments);
    logFailure(category, line);
}

} // namespace host
