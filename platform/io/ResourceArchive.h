#pragma once

// `ResourceArchive`: every resource of the game lives in one archive file,
// "data.bar" in the program folder. Its index (big-endian, read through a
// data stream) is a signed 16-bit entry count, then per entry the name in
// modified UTF-8 (no leading '/'), the offset of the first byte from the
// start of the file and the size, both signed 32-bit. The entries' bytes lie
// wherever the index says.
//
// The index is loaded once, by the first lookup, into statics the collector
// sees, and never again, even when that load failed: a missing archive or a
// negative count gives an empty index (one log line), and an index cut short
// keeps the entries read before the cut. Lookups compare whole names without
// a leading '/' and without ASCII case; the first match wins. Each entry is
// served through a fresh file stream on the archive, bounded to the entry:
// to its size, and to the bytes the archive really has after its offset.
//
// No lock: the first lookup happens at start-up, while one thread runs game
// code; later lookups only read the statics.

#include "runtime/String.h"

namespace lib {
class java_io_InputStream;
}

namespace platform {

class ResourceArchive {
public:
    // The device path of the archive: the program folder and "\data.bar".
    static rt::String* getPath();
    // Loads the index into the statics (once a load has been tried, the
    // archive's File is set and no second load runs).
    static void loadIndex();
    // The stream of the entry named `name`, or null when there is none.
    static lib::java_io_InputStream* openEntry(rt::String* name);
};

} // namespace platform
