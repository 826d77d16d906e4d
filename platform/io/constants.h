#pragma once

// Loading of the constant strings: the texts of the program's string
// literals, read once at start-up from the resource "/constants.bin" before
// any class initialiser runs. The resource is a big-endian signed 32-bit
// count, then that many strings, each a 2-byte byte length and modified
// UTF-8; string i becomes constant string i, made permanent.

namespace platform {

// Reads "/constants.bin" through the resource query and makes its strings the
// constant strings; bytes after the last string are ignored. A missing resource, a negative count, a file
// shorter than its count says or a string that is not modified UTF-8 ends start-up: one log line saying
// which, nothing installed, no exception left pending, and the answer false.
[[nodiscard]] bool loadConstants();

} // namespace platform
