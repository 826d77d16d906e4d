#pragma once

// The one console log of the process. Every layer writes its lines here, so
// that the shell can send them to "log.txt" and tests can read them back.
//
// Most lines tell what happens; failure lines say why something the user
// asked for cannot be done (a data set that will not load, an option that
// cannot be read). The default sink writes the first kind to standard output
// and failures to standard error; other sinks see both in order.
//
// A line is a complete message; the trailing newline is optional and added when
// missing. Formatting goes into a bounded buffer: a line longer than
// `kMaxLogLine` bytes is truncated, never overrun. Any thread may log; lines
// from different threads never interleave within a line.

#include "host/Result.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace host {

enum class LogCategory : std::uint8_t {
    Host,
    Runtime,
    Library,
    Platform,
    Game,
};

inline constexpr std::size_t kMaxLogLine = 1024;

// Where finished lines go. The default sink writes them to standard output,
// failure lines to standard error.
class LogSink {
public:
    virtual ~LogSink() = default;
    // `line` carries no trailing newline. Called with the log's lock held, so a
    // sink sees one line at a time; it must not log itself.
    virtual void write(LogCategory category, std::string_view line) = 0;
    // A failure line; a sink that keeps no difference writes it as any other.
    virtual void writeFailure(LogCategory category, std::string_view line) { write(category, line); }
};

// The log sent to a file: every line goes there, and a failure line goes to
// standard error as well, so that what cannot be done is still seen at the
// terminal. The file is flushed after each line.
class FileLogSink final : public LogSink {
public:
    // Opens (or empties) the file at `path`; fails, saying why, when it cannot.
    static Result<std::unique_ptr<FileLogSink>> open(const std::string& path);
    ~FileLogSink() override;
    FileLogSink(const FileLogSink&) = delete;
    FileLogSink& operator=(const FileLogSink&) = delete;

    void write(LogCategory category, std::string_view line) override;
    void writeFailure(LogCategory category, std::string_view line) override;

private:
    explicit FileLogSink(std::FILE* file)
        : m_file(file) {}
    std::FILE* m_file;
};

// Replaces the sink; null restores standard output. Answers the previous sink
// (null for standard output). The caller keeps ownership.
LogSink* setLogSink(LogSink* sink);

void logLine(LogCategory category, std::string_view line);
[[gnu::format(printf, 2, 3)]] void logf(LogCategory category, const char* format, ...);
void vlogf(LogCategory category, const char* format, std::va_list arguments);

// A failure line: what cannot be done and why.
void logFailure(LogCategory category, std::string_view line);
[[gnu::format(printf, 2, 3)]] void logFailuref(LogCategory category, const char* format, ...);

} // namespace host
