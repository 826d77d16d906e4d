#pragma once

// `ByteWriter`: fixed-width integers and modified UTF-8 strings appended to a
// growing byte vector. The platform's formats (the archive index,
// "constants.bin", record-store indexes, MIDI) are big-endian; the game's own
// (packs, typed arrays, sprites, saved records) and WAVE are little-endian.
// Every multi-byte value names its byte order at the call, so a reader of a
// writer sees which one a format uses; there is no default order.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace datakit {

using Bytes = std::vector<std::uint8_t>;

enum class ByteOrder : std::uint8_t {
    Big,    // most significant byte first
    Little, // least significant byte first
};
inline constexpr ByteOrder kLE = ByteOrder::Little;

class ByteWriter {
public:
    void u8(std::uint8_t value) { m_bytes.push_back(value); }
    void i8(std::int8_t value) { u8(static_cast<std::uint8_t>(value)); }
    void u16(ByteOrder order, std::uint16_t value) { put(order, value, 2); }
    void i16(ByteOrder order, std::int16_t value) { put(order, static_cast<std::uint16_t>(value), 2); }
    void u32(ByteOrder order, std::uint32_t value) { put(order, value, 4); }
    void i32(ByteOrder order, std::int32_t value) { put(order, static_cast<std::uint32_t>(value), 4); }
    void i64(ByteOrder order, std::int64_t value) { put(order, static_cast<std::uint64_t>(value), 8); }
    void bytes(std::span<const std::uint8_t> data) {
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    }
    // The four characters of a chunk or file tag ("RIFF", "MThd"), as bytes.
    void tag(const char (&name)[5]);
    // Java's string form: a big-endian 2-byte length, then the modified
    // UTF-8 form of `text` (the unit 0 as C0 80). Text whose form exceeds
    // 65,535 bytes is a bug of the caller.
    void utf(std::u16string_view text);
    // The same for 8-bit text taken as Latin-1.
    void utf(std::string_view latin1);

    // Overwrites the 4 bytes at `at` (already written) with `value`.
    void patchI32(ByteOrder order, std::size_t at, std::int32_t value);

    std::size_t size() const { return m_bytes.size(); }
    const Bytes& bytes() const& { return m_bytes; }
    Bytes take() && { return std::move(m_bytes); }

private:
    // Appends the low `width` bytes of `bits` in `order`.
    void put(ByteOrder order, std::uint64_t bits, int width);

    Bytes m_bytes;
};

// Latin-1 text as UTF-16 units.
std::u16string widen(std::string_view latin1);

} // namespace datakit
