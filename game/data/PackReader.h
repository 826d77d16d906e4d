#pragma once

// The pack reader: one cursor over the game's resource packs. A pack is a
// numbered list of entries split over part files of the resource archive.
// Part 0 bears the pack's name; part k >= 1 is the name, the separator of
// constant string 110, then k in decimal. All numbers are little-endian:
//
//   part 0:  E (u16 entries), P (s16 parts, at least 1), P x u16 first entry
//            of each part (0 first, rising), then part 0's offset table
//   part k:  the part's offset table
//   table:   N + 1 x u32, N the part's entries: entry i spans [off[i],
//            off[i + 1]) counted from the part file's first byte
//   entry:   empty, or a header byte and the payload
//
// The cursor keeps the open part's stream (`StreamStatics`) and reads on
// from where it stands: a forward move skips, a backward move within a part
// reopens the part and skips from its start, a move to another part opens
// that part's file. Closing the stream keeps the pack's name, so the next
// `packOpen` of the same name does nothing and the next seek reopens.
//
// Faults: an entry number outside [0, E), a header with P <= 0 or falling
// first entries, an offset table that falls, starts inside the header or
// ends past the file, and a missing pack or part file each give one log line
// naming the pack; the seek answers -1 and the reads null. A missing or
// broken part 0 is tried again by every later seek (each try logged), so a
// file that appears is found.
//
// Game thread only, one load at a time.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Image;
}

namespace game {

struct PackStatics {
    // The current pack (the name of part 0); null forces the next open.
    rt::String* s_packName = nullptr;
    // 1 once part 0's header has been read and found sound.
    std::int8_t s_packHeaderRead = 0;
    std::int32_t s_packEntryCount = 0;
    std::int16_t s_packPartCount = 0;
    rt::ShortArray* s_packPartFirstEntry = nullptr;
    // The open part and its offset table (null when it could not be read).
    std::int32_t s_packPart = 0;
    rt::IntArray* s_packOffsets = nullptr;
    // The open part file's size in bytes as its stream said on opening.
    std::int32_t s_packPartSize = 0;
    // The entry last sought: its header value and whether it is packed.
    std::int32_t s_packEntryHeader = 0;
    std::int8_t s_packEntryPacked = 0;
    rt::ByteArray* s_packSkipBuffer = nullptr;

    RT_REFERENCE_FIELDS(PackStatics, rt::NoReferenceBase, s_packName, s_packPartFirstEntry, s_packOffsets,
                        s_packSkipBuffer)
};

PackStatics& packStatics();

// Makes `name` the current pack: nothing when it already is; else closes the
// stream, opens part 0 and reads its header and offset table.
void packOpen(rt::String* name);
// Reads the open part's offset table from the stream's position; false (the
// table dropped, one log line) when it is not sound.
bool packReadOffsets();
// Stands the stream at the payload of `entry` and answers the payload length
// (0 for an empty entry and for a header byte alone), or -1 on a fault.
std::int32_t packSeek(std::int32_t entry);
// Moves the stream to `position` of the open part file (a backward move goes
// back to the part's mark, or opens the part again where the stream keeps
// none); false when the part file cannot be reopened for a backward move.
bool packSkipTo(std::int32_t position);
// Consumes `count` bytes of the stream.
void packSkip(std::int32_t count);
// The payload of `entry`, unpacked when it is packed; null on a fault and
// when it cannot be unpacked (the stream is then closed, so the next seek
// reopens the part).
rt::ByteArray* packReadEntry(std::int32_t entry);
// The typed array stored as the payload of `entry`; null on a fault.
rt::Object* packReadArray(std::int32_t entry);
// The PNG image stored as the payload of `entry`; null for a negative entry
// or on a fault.
platform::javax_microedition_lcdui_Image* loadImageFromPack(std::int32_t entry);

} // namespace game
