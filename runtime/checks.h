#pragma once

// Runtime checks that guest code and data can fail, and the runtime error
// report they write. Each check logs its one line and the calling thread's
// stack trace, then lets the caller go on with a neutral result (0, null, a
// dropped write); none of them sets an exception pending. This file is the one
// place those lines are written.
//
// A report is a fault, never a way of running, yet a fault inside a frame
// loop repeats every frame: so the log holds only the first
// `kReportsLoggedPerKind` reports of each kind (a kind is the report's
// message before its values are filled in), says when it stops logging a
// kind, and every report is counted. The tally (`runtimeReports`) is the
// process's, read by the program's exit path and by fuzz harnesses; any
// thread may report or read it.

#include <cstdint>
#include <string>
#include <vector>

namespace rt {

// Formats like printf into a bounded line (longer text is cut) and writes it
// to the log.
[[gnu::format(printf, 1, 2)]] void logPrintf(const char* format, ...);
// Logs the calling thread's trace text ("stacktrace:\n" and the names).
void printStackTrace();

// A runtime error report: one printf-style line, then the stack trace, both
// left out of the log once `format`'s kind has been logged
// `kReportsLoggedPerKind` times; always counted.
[[gnu::format(printf, 1, 2)]] void reportRuntimeError(const char* format, ...);

inline constexpr std::uint64_t kReportsLoggedPerKind = 5;

struct RuntimeReportKind {
    // The report's message before its values are filled in ("NullPointer",
    // "drawRegion x_src"); an index report's kind is its first word
    // ("ArrayIndexOutOfBounds").
    std::string kind;
    std::uint64_t count = 0;
};

// The runtime error reports since the process started (or since the last
// `resetRuntimeReports`).
struct RuntimeReports {
    std::uint64_t count = 0;
    // The first report's line as logged ("NullPointer", "ArrayIndexOutOfBounds
    // index=7 length=4"), and the trace under it; empty when there was none.
    std::string first;
    std::string firstTrace;
    // Per kind, in the order kinds first came.
    std::vector<RuntimeReportKind> kinds;
};

RuntimeReports runtimeReports();
// Forgets every report: the count, the first and the kinds (whose lines are
// then logged again). For harnesses that run many inputs in one process.
void resetRuntimeReports();
// Writes one log line per kind reported ("runtime check NullPointer: 3500
// reports, the first 5 logged"); nothing when there was none.
void logRuntimeReportCounts();

// "NullPointer": a null (or freed) object or array where one is needed.
void reportNullPointer();
// "check cast": an object that is not of the class a cast names.
void reportCheckCast();
// "length of array should be >= 0".
void reportNegativeArrayLength();

enum class IndexKind : std::uint8_t {
    Array,  // "ArrayIndexOutOfBounds index=%d length=%d"
    String, // "StringIndexOutOfBounds index=%d length=%d"
};
// An index outside [0, length).
void reportIndexOutOfBounds(IndexKind kind, std::int64_t index, std::int64_t length);

// 1 when the range [begin, begin + count) lies inside [0, length) (an empty
// range may sit at `length`); otherwise reports the first index outside and
// answers 0. Computed in 64 bits, so no sum overflows.
bool checkRange(IndexKind kind, std::int64_t begin, std::int64_t count, std::int64_t length);

} // namespace rt
