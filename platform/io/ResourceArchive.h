#pragma once

// `ResourceArchive`: every resource of the game lives in one archive file,
// "data.bar" in the program folder. Its index (big-endian, read through a
// data stream) is a signed 16-bit entry count, then per entry the name in
// modified UTF-8 (no leading '/'), the offset of the first byte from the
// start of the file and the size, both signed 32-bit. The entries' bytes lie
// wherever the index says.
//
// The index is loaded once, by the first lookup or by start-up, into statics
// the collector sees, and never again, even when that load failed. A fault
// is one log line saying what is wrong ("data.bar: the index is cut at entry
// 12 of 40") and makes the load answer false: a missing archive, a negative
// count or one above `kMaxEntries` gives an empty index; an index cut short,
// a name longer than `kMaxNameBytes` or one that is not modified UTF-8 keeps
// the entries read before it. The index is parsed natively, without
// exceptions: it is read before the constant strings, which exception
// messages need, exist. Lookups compare whole names without
// a leading '/' and without ASCII case; the first match wins. Each entry is
// served through a fresh file stream on the archive, bounded to the entry:
// to its size, and to the bytes the archive really has after its offset.
//
// No lock: the first lookup happens at start-up, while one thread runs game
// code; later lookups only read the statics.

#include "runtime/String.h"

#include <cstdint>
#include <span>
#include <string>

namespace lib {
class java_io_InputStream;
}

namespace platform {

// The unsigned big-endian number in `bytes` (at most four), as the archive's
// index and the constant-strings file store their fields.
inline std::uint32_t bigEndian(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (std::uint8_t b : bytes)
        value = value << 8 | b;
    return value;
}

class ResourceArchive {
public:
    // The bounds of the index. The game's archive holds a few hundred
    // entries with names of a few dozen bytes; an index beyond these is a
    // broken file, whose names would only fill the heaps.
    static constexpr std::int32_t kMaxEntries = 4096;
    static constexpr std::int32_t kMaxNameBytes = 255;

    // The device path of the archive: the program folder and "\data.bar".
    static rt::String* getPath();
    // Loads the index into the statics on the first call (once a load has
    // been tried, the archive's File is set and no second load runs). Every
    // call answers whether that load read the whole index without a fault;
    // start-up ends with the broken-data status on false.
    [[nodiscard]] static bool loadIndex();
    // What that load found wrong, as its log line says it without the
    // archive's name ("the index is cut at entry 12 of 40"); empty when the
    // index is whole or no load was tried.
    static std::string indexFault();
    // The stream of the entry named `name`, or null when there is none.
    static lib::java_io_InputStream* openEntry(rt::String* name);
};

} // namespace platform
