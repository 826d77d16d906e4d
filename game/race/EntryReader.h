#pragma once
// `EntryReader`: a cursor over one pack entry's payload, held as plain bytes
// for the length of one load. Every read stays inside the entry: a fixed
// field that reaches past its end reads as 0 and marks the entry cut, and a
// counted table is taken only when its bytes fit in what is left
// (`fits`), so no count from the data can make a loader read, allocate or
// loop beyond the entry. Little-endian unless a reader says otherwise.
//
// A fault is logged once, naming the pack and the field; the loader then
// stops and decides what stays loaded.
#include "runtime/Array.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace game {

class EntryReader {
public:
    // The payload of `entry` of the open pack, or an empty, cut reader when
    // it cannot be read. `pack` names the pack in log lines.
    static EntryReader ofEntry(std::int32_t entry, const char* pack);
    // The first `limit` bytes at most of `entry` (read straight from the
    // stream after the seek, so nothing past them is fetched).
    static EntryReader ofEntryPrefix(std::int32_t entry, std::int32_t limit, const char* pack);
    EntryReader(std::vector<std::uint8_t> bytes, const char* pack)
        : m_bytes(std::move(bytes))
        , m_pack(pack) {}

    std::int32_t u8();
    std::int32_t s8() { return static_cast<std::int8_t>(u8()); }
    std::int32_t u16();
    std::int32_t s16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t s32();
    // Big-endian forms.
    std::int32_t u16be();
    std::int32_t s16be() { return static_cast<std::int16_t>(u16be()); }
    // Bytes R, G, B as the opaque colour 0xFFRRGGBB.
    std::int32_t colour();
    void skip(std::int64_t count);
    // A new byte[count] of the next bytes (check the count with `fits` first).
    rt::ByteArray* byteArray(std::int32_t count);

    // Whether `count` items of `width` bytes fit in what is left; when not,
    // logs "<pack>: <field>: ..." and marks the entry broken.
    bool fits(std::int64_t count, std::int64_t width, const char* field);
    // Marks the entry broken at `field` with one log line.
    void fail(const char* field, const char* why);

    std::int32_t remaining() const { return static_cast<std::int32_t>(m_bytes.size() - m_position); }
    std::int32_t position() const { return static_cast<std::int32_t>(m_position); }
    std::int32_t size() const { return static_cast<std::int32_t>(m_bytes.size()); }
    // Whether a fixed field ran past the end.
    bool cut() const { return m_cut; }
    bool failed() const { return m_failed; }
    // Neither cut nor failed.
    bool ok() const { return !m_cut && !m_failed; }
    const char* pack() const { return m_pack; }
    // The first fault's text as logged after the pack's name ("the entry
    // ends after 12 bytes, inside a field"); empty when there was none.
    const std::string& fault() const { return m_fault; }

private:
    bool take(std::size_t count);
    // Logs the first fault ("<pack>: <text>") and keeps its text.
    void noteFault(std::string text);

    std::vector<std::uint8_t> m_bytes;
    std::size_t m_position = 0;
    const char* m_pack;
    bool m_cut = false;
    bool m_failed = false;
    std::string m_fault;
};

} // namespace game
