#pragma once

// Loading of the constant strings: the texts of the program's string
// literals, read once at start-up from the resource "/constants.bin" before
// any class initialiser runs. The resource is a big-endian signed 32-bit
// count, then that many strings, each a 2-byte byte length and modified
// UTF-8; string i becomes constant string i, made permanent.

#include <cstdint>

namespace platform {

// The bounds of "/constants.bin". The game has fewer than 2,000 constant
// strings, most of them short; a file beyond these is broken, and its strings
// would only fill the heaps.
inline constexpr std::int32_t kMaxConstants = 8192;
inline constexpr std::int32_t kMaxConstantsBytes = 512 * 1024;

// Reads "/constants.bin" through the resource query and makes its strings the
// constant strings; bytes after the last string are ignored. A resource archive
// that is missing or broken (`ResourceArchive::loadIndex` false), a missing
// resource, one larger than `kMaxConstantsBytes`, a count that is negative or
// above `kMaxConstants`, a file shorter than its count says or a string that
// is not modified UTF-8 ends start-up: one log line saying which (the
// archive's own for the archive), nothing installed, no exception left
// pending, and the answer false.
[[nodiscard]] bool loadConstants();

} // namespace platform
