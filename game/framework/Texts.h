#pragma once

// Texts by id: every text the game shows is asked for by a 32-bit id and
// decoded from the loaded text tables.
//
// The library keeps one table (the game's setting) or, with the multi-pack
// switch, one table per pack number in slot-count entries. In multi-pack mode
// an id is the pack number shifted left by the id shift, or-ed with the index
// (with shift 10: pack x 1024 + index); in single-pack mode the id is the
// index. A table is the count n, the offsets int[n + 1] (offsets[0] = 0,
// offsets[i + 1] the end of text i) and the encoded bytes of every text, one
// after another. Texts are decoded on every call, unless the cache switch
// turned every text of a table into a `String` once and dropped the bytes.
//
// Invariants of an installed table, which the entry reader checks before it
// installs one: n >= 0, the offsets rise from 0, and the bytes are exactly
// offsets[n] long. So `getString` needs no check beyond the id's range.
//
// Thread: the game thread (the loader, the states and the paint).

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {
class java_io_InputStream;
}

namespace game {

struct TextStatics {
    // Single-pack mode.
    std::int32_t s_textCount = 0;
    rt::IntArray* s_textOffsets = nullptr;
    rt::ByteArray* s_textBytes = nullptr;
    // String[count] once the texts are cached; then offsets and bytes are null.
    rt::ObjectArray* s_textCache = nullptr;

    // Multi-pack mode, each of slot-count entries, made on the first load:
    // the pack number loaded into each slot (-1 free), and by pack number the
    // offsets (int[]), bytes (byte[]), count and cache (String[], only with
    // the cache switch).
    rt::IntArray* s_slotPack = nullptr;
    rt::ObjectArray* s_packOffsets = nullptr;
    rt::ObjectArray* s_packBytes = nullptr;
    rt::IntArray* s_packCounts = nullptr;
    rt::ObjectArray* s_packCache = nullptr;

    RT_REFERENCE_FIELDS(TextStatics, rt::NoReferenceBase, s_textOffsets, s_textBytes, s_textCache, s_slotPack,
                        s_packOffsets, s_packBytes, s_packCounts, s_packCache)
};

TextStatics& textStatics();

// The text with `id`. Null for an empty text, and (after one log line) for an
// id that no loaded table holds. A text whose bytes are malformed answers
// constant string 14.
rt::String* getString(std::int32_t id);

// The game's UTF-8 decoder: `length` bytes of `bytes` from `start`, in one-,
// two- and three-byte forms, into 16-bit characters (lead bytes F0..FF are
// taken as three-byte leads; no shortest-form or surrogate checks). A
// malformed sequence anywhere answers constant string 14 for the whole text.
// A range outside `bytes` is reported and decodes as empty.
rt::String* decodeText(rt::ByteArray* bytes, std::int32_t start, std::int32_t length);

// Reads one text-pack entry from `in` and installs it: in single-pack mode in
// place of every loaded text, in multi-pack mode into slot `entry` (the
// entry's number in its resource pack; the pack number is the entry's first
// byte). With the cache switch the new table is cached at once.
//
// `length` is the entry's payload length, or -1 when unknown; a known length
// bounds the count and the bytes before anything is allocated. The count must
// not be negative (in multi-pack mode a count above 1 << shift is cut to it),
// the end offsets must rise and every byte must be there. Anything else, an
// exception from the stream included (it is cleared), logs one line and
// answers false, leaving every loaded table as it was.
bool readTextPackEntry(lib::java_io_InputStream* in, std::int32_t entry, std::int32_t length);

// Multi-pack mode: turns every text of `pack` into a `String` once, keeps
// them as the pack's cache and drops its offsets and bytes (and collects
// when the collect-after-unload switch is set). Nothing for a pack without
// texts. Answers the last string made (null when none).
rt::String* cacheTextPack(std::int32_t pack);
// Single-pack mode: the same for the one table; multi-pack mode:
// `cacheTextPack` for every pack number below the slot count.
void cacheAllTexts();

// Multi-pack mode: drops the pack loaded into `slot` (its cache, offsets and
// bytes) and frees the slot. Nothing in single-pack mode, for a free slot or
// before the first load.
void unloadTextPack(std::int32_t slot);
// Drops every loaded table: each slot in multi-pack mode, the one table in
// single-pack mode.
void unloadAllTexts();

} // namespace game
