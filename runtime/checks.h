#pragma once

// Runtime checks that guest code and data can fail: each writes its one log
// line (and, once the trace stack exists, the stack trace) and lets the caller
// go on with a neutral result.

namespace rt {

// Logs one printf-style line as a runtime error report.
[[gnu::format(printf, 1, 2)]] void reportRuntimeError(const char* format, ...);

} // namespace rt
