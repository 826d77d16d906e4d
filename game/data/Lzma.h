#pragma once

// The LZMA unpacker of pack entries: a packed payload is the classic 13-byte
// LZMA header (properties byte, dictionary size, unpacked size) followed by
// the range-coded stream, and unpacks in one call into one byte array that
// is both the result and the dictionary window.
//
// Only entries of a configuration with `OrvelLibConfig::s_packLzma` set are
// packed; this game's configuration has it off, so `lzmaUnpack` then reads
// nothing.
//
// Outside bytes decide everything here, so every limit is checked before it
// is used: the unpacked size is bounded by `kLzmaMaxSize` and by what the
// stream's length can hold (`kLzmaMostPerPackedByte`), a properties byte
// of 225 or more is refused, a match that reaches before the first byte
// produced stops the decoder, and a stream that needs more bytes than the
// payload holds stops it too. Each of these answers null (one log line); the
// decoder never reads or writes outside its arrays.
//
// Threads: the game thread only (pack reading is single shared state).

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace lib {
class java_io_InputStream;
} // namespace lib

namespace game {

// The 13 header bytes in front of the stream.
inline constexpr std::int32_t kLzmaHeaderSize = 13;
// The largest unpacked size, and the largest stream, that an entry may declare.
inline constexpr std::int32_t kLzmaMaxSize = 64 << 20;
// The most unpacked bytes a packed byte can stand for. A decoded bit costs at
// least log2(2048 / 2017) of a packed bit (the probabilities stop at 31 and
// 2017 of 2048), and the cheapest output is a repeated match of 273 bytes for
// 14 bits: at most about 7,100 bytes per packed byte, which the best encoders
// approach on long runs of one byte. A header that declares more than this
// many for its stream is refused before the output is made.
inline constexpr std::int32_t kLzmaMostPerPackedByte = 8192;
// Probabilities besides the literal coder's, and the literal coder's per
// context (there are 1 << (lc + lp) contexts).
inline constexpr std::int32_t kLzmaBaseProbabilities = 1846;
inline constexpr std::int32_t kLzmaLiteralProbabilities = 768;

struct LzmaStatics {
    // The result of the last unpack (the caller takes it and clears it); null
    // when it failed or before any.
    rt::ByteArray* s_lzmaOutput = nullptr;
    // The adaptive probabilities (11-bit, 0 to 2048), kept only during an unpack.
    rt::ShortArray* s_lzmaProbs = nullptr;
    // The compressed bytes and the read position into them, kept only during an unpack.
    rt::ByteArray* s_lzmaInput = nullptr;
    std::int32_t s_lzmaInputPos = 0;
    // The range coder's range and code, each a 32-bit unsigned value.
    std::int64_t s_lzmaRange = 0;
    std::int64_t s_lzmaCode = 0;

    RT_REFERENCE_FIELDS(LzmaStatics, rt::NoReferenceBase, s_lzmaOutput, s_lzmaProbs, s_lzmaInput)
};

LzmaStatics& lzmaStatics();

// The probabilities a decoder with `lc` and `lp` context bits needs.
constexpr std::int32_t lzmaProbabilityCount(std::int32_t lc, std::int32_t lp) {
    return kLzmaBaseProbabilities + (kLzmaLiteralProbabilities << (lc + lp));
}

// Reads a packed payload of `payloadLength` bytes (header included) from
// `in` and unpacks it into `s_lzmaOutput`, null on any failure. With the
// switch off it returns at once, reading nothing. The probabilities and the
// compressed bytes are released before it returns, followed by a collection
// when `s_gcAfterUnload` is set. The reads are the framework's full reads:
// a stream that ends, stalls or raises a `java_lang_Exception` (dropped, one
// log line) leaves `s_lzmaOutput` null; any other throwable stays pending for
// the caller, with `s_lzmaOutput` null too.
void lzmaUnpack(lib::java_io_InputStream* in, std::int32_t payloadLength);

// Decodes `input` from its first byte into the first `outSize` bytes of
// `s_lzmaOutput`, with the probabilities of `s_lzmaProbs` (set to 1024
// first; a literal context's when it is first used, so the contexts the
// stream never uses keep what they held), and answers whether all
// `outSize` bytes were produced. It produces nothing when
// `probabilityBytes` (the probability array's size in bytes, as its maker
// states it) or the array itself is smaller than `lc` and `lp` need, when
// `s_lzmaOutput` is shorter than `outSize`, or when the properties are out
// of range (lc 0..8, lp 0..4, pb 0..4). It stops, with
// the bytes so far in place, on a match before the first byte or when the
// stream runs out. Leaves the read position, range and code in the statics.
[[nodiscard]] bool lzmaDecode(std::int32_t probabilityBytes, std::int32_t lc, std::int32_t lp,
                              std::int32_t pb, rt::ByteArray* input, std::int32_t outSize);

} // namespace game
