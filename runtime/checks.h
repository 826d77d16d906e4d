#pragma once

// Runtime checks that guest code and data can fail, and the runtime error
// report they write. Each check logs its one line and the calling thread's
// stack trace, then lets the caller go on with a neutral result (0, null, a
// dropped write); none of them sets an exception pending. This file is the one
// place those lines are written.

#include <cstdint>

namespace rt {

// Formats like printf into a bounded line (longer text is cut) and writes it
// to the log.
[[gnu::format(printf, 1, 2)]] void logPrintf(const char* format, ...);
// Logs the calling thread's trace text ("stacktrace:\n" and the names).
void printStackTrace();

// Logs one printf-style line, then the stack trace.
[[gnu::format(printf, 1, 2)]] void reportRuntimeError(const char* format, ...);

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
