#pragma once

// The game's stream readers: the current resource stream (the one the pack
// reader keeps open) with its byte counter, and readers over a stream the
// caller gives (typed arrays, text tables) with a counter of their own. All
// numbers the game stores are little-endian and read a byte at a time.
//
// The current-stream readers swallow `java_lang_Exception`: a failed byte
// reads as 0 and a failed block read ends early, yet every call counts what
// it was asked for, so the counter stays the position the caller expects.
// A missing stream counts the same way and reads nothing. Other throwables
// stay pending.
//
// A block read stops at the end of the stream and at a read that brings no
// bytes, so a stream that makes no progress cannot hold the caller.
//
// Game thread only: the statics are one shared cursor without a lock.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace lib {
class java_io_InputStream;
}

namespace game {

struct StreamStatics {
    // The current stream (the open pack part); null when closed.
    lib::java_io_InputStream* s_packStream = nullptr;
    // Bytes consumed from `s_packStream` since it was opened.
    std::int32_t s_packPosition = 0;
    // Bytes counted by the readers over a given stream.
    std::int32_t s_arrayBytesRead = 0;
    // Bytes the last `streamReadFully` asked for that did not come (the
    // stream ended, stalled or raised); 0 when every one came. The call
    // itself answers the length asked for, so a reader that must not go on
    // with a short block reads this.
    std::int32_t s_streamShortfall = 0;

    RT_REFERENCE_FIELDS(StreamStatics, rt::NoReferenceBase, s_packStream)
};

StreamStatics& streamStatics();

// The next byte of the current stream as 0..255, -1 at its end, 0 after a
// caught exception or without a stream; counts one byte in every case.
std::int32_t readByte();
// Two or four `readByte` values, least significant first.
std::int32_t readShortLE();
std::int32_t readIntLE();
// Reads `len` bytes into `buf` from `off`, looping over short reads until
// they came, the stream ends or a read brings nothing; counts `len` and
// answers `len` whatever came.
std::int32_t readFully(rt::ByteArray* buf, std::int32_t off, std::int32_t len);
// Reads up to `len` bytes of `stream` into `buf` from `off`, looping over
// short reads, and answers how many came: fewer than `len` when the stream
// ended, a read brought nothing or raised an exception (which stays
// pending). Counts nothing.
std::int32_t readAvailable(lib::java_io_InputStream* stream, rt::ByteArray* buf, std::int32_t off,
                           std::int32_t len);
// Closes the current stream (a caught exception is dropped), clears it and
// its counter, and asks for a collection when the configuration says so.
void closeStream();

// The next byte of `stream` as 0..255, or -1 at its end (a null stream is
// at its end); a byte read is counted in `s_arrayBytesRead`. An exception
// gives 0 and stays pending for the caller.
std::int32_t streamReadByte(lib::java_io_InputStream* stream);
// Little-endian 16 bits (0..65535) and 32 bits from `streamReadByte`, each
// byte masked to 8 bits.
std::int32_t streamReadShort(lib::java_io_InputStream* stream);
std::int32_t streamReadInt(lib::java_io_InputStream* stream);
// As `readFully` over `stream` (a `java_lang_Exception` swallowed), counting
// `len` into `s_arrayBytesRead` and what did not come into `s_streamShortfall`.
std::int32_t streamReadFully(lib::java_io_InputStream* stream, rt::ByteArray* buf, std::int32_t off,
                             std::int32_t len);

} // namespace game
