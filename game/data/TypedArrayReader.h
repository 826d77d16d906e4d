#pragma once

// Typed arrays: the compact, self-describing encoding of the game's tables.
// A header byte h (type h & 7: 0 byte, 1 short, 2 int, 3..7 an array of
// nested typed arrays; stored element width h >> 4; bit 3 a 2-byte count),
// the count (1 or 2 bytes, little-endian), then the elements:
//
//   type   h >> 4   stored as            in memory
//   byte   any      1 byte               the byte
//   short  0        1 byte               sign-extended
//   short  1+       2 bytes              the 16 bits
//   int    0        1 byte               sign-extended
//   int    1        2 bytes              sign-extended
//   int    2+       4 bytes              the 32 bits
//
// Nested arrays follow one after another, each with its own header.
//
// Bytes are read with the stream readers over a given stream, so they are
// counted in `StreamStatics::s_arrayBytesRead`.
//
// Faults: data that ends inside an array, nesting deeper than
// `kMaxArrayNesting` levels, or (when the payload length is known) counts
// whose elements cannot fit in what is left of the payload leave the bytes
// read so far meaningless: the whole array fails, with one log line. An
// exception the stream raises fails the array it happens in; a nested array
// that fails so stores null in its parent and reading goes on with the next
// element. Throwables other than `java_lang_Exception` stay pending.

#include "runtime/Object.h"

#include <cstdint>

namespace lib {
class java_io_InputStream;
}

namespace game {

// Levels of arrays, the outermost counted as 1.
inline constexpr std::int32_t kMaxArrayNesting = 16;
// A payload length not known to the caller.
inline constexpr std::int32_t kUnknownLength = -1;

// The typed array at the stream's position: a byte[], short[], int[] or
// Object[]; null on a fault. `payloadLength`, when known, bounds the bytes the
// array may take.
rt::Object* readArray(lib::java_io_InputStream* in, std::int32_t payloadLength = kUnknownLength);

} // namespace game
