#pragma once

// The file functions under `javax_microedition_io_File` and its streams: the
// runtime library's buffered files, reached by device paths that the host's
// folders service maps onto Linux paths.
//
// Every call that can block runs inside an `rt::SafeRegion`, so a collection
// may run meanwhile; none of them touches the runtime's heaps while inside
// it. Reads and writes of a byte array therefore pass through a buffer on
// the native stack, and the array's elements are looked up again after each
// blocking call (a compaction may have moved them).

#include "runtime/Array.h"
#include "runtime/String.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace host {
class Folders;
}

namespace platform {

// The folders service that maps device paths; null until set (no file opens).
void setFileFolders(host::Folders* folders);
host::Folders* fileFolders();

// The Linux path of the device path `path` (one byte per unit, its low 8
// bits); none when `path` is null, no folders service is set, or the host maps
// no folder onto it.
std::optional<std::string> hostPathOf(rt::String* path);

// fopen of the device path `path`; null when it cannot be opened.
std::FILE* openFile(rt::String* path, const char* mode);
void closeFile(std::FILE* file);
// Whether the device path `path` names something on the disk: a look at the
// folder, which opens nothing.
bool fileExists(rt::String* path);
// The names of everything in the Linux folder `folder`; none when it cannot
// be read.
std::vector<std::string> namesInFolder(const std::string& folder);
// fclose outside any safe region, for destructors: the collector runs them
// while the world is stopped, and a safe region left there would wait for
// the end of that very collection.
void closeFileInDestructor(std::FILE* file);
// fseek and ftell; ftell answers -1 on failure, and positions beyond 2 GiB
// are not used by anything this platform opens.
bool seekFile(std::FILE* file, std::int64_t offset, int whence);
std::int64_t tellFile(std::FILE* file);

// Reads up to `len` bytes of `file` into `b` from `off` (a range the caller
// has checked) and answers how many it read: fewer only at the end of the
// file or on an error.
std::int32_t readFile(std::FILE* file, rt::ByteArray* b, std::int32_t off, std::int32_t len);
// Reads exactly `bytes.size()` bytes of `file` into native memory; false
// when the file ends or fails before.
[[nodiscard]] bool readFileExactly(std::FILE* file, std::span<std::uint8_t> bytes);
// One byte 0..255, or -1 when none could be read.
std::int32_t readFileByte(std::FILE* file);

// Reads up to `bytes.size()` bytes of `file` from `position` into native
// memory without moving the file's position and without its buffer, so that
// threads may share one open file; answers how many it read: fewer only at
// the end of the file or on an error.
std::size_t readFileAt(std::FILE* file, std::int64_t position, std::span<std::uint8_t> bytes);
// Writes `len` bytes of `b` from `off` (a range the caller has checked);
// false when not all of them were written.
bool writeFile(std::FILE* file, rt::ByteArray* b, std::int32_t off, std::int32_t len);
bool writeFileByte(std::FILE* file, std::int32_t value);

// Replaces the file at the device path `path` by `len` bytes of `b` from
// `off` (a range the caller has checked; `b` may be null when `len` is 0):
// they are written to a temporary file in the same folder, which is then
// renamed over `path`, so that a reader, even after the process died at any
// point, finds either the old content or the new, never a mix. The new file
// is on the disk before the rename, and the folder after it. A file that
// holds those bytes already is left as it is. False, with the old file
// untouched, when any step fails.
bool replaceFile(rt::String* path, rt::ByteArray* b, std::int32_t off, std::int32_t len);

} // namespace platform
