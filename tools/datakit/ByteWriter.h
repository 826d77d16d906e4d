#pragma once

// `ByteWriter`: the big-endian values and modified UTF-8 strings that the
// game's platform formats are made of (the archive index, "constants.bin",
// record-store indexes), appended to a growing byte vector.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace datakit {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
public:
    void u8(std::uint8_t value) { m_bytes.push_back(value); }
    void u16(std::uint16_t value);
    void i16(std::int16_t value) { u16(static_cast<std::uint16_t>(value)); }
    void i32(std::int32_t value);
    void i64(std::int64_t value);
    void bytes(std::span<const std::uint8_t> data) {
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    }
    // A 2-byte length, then the modified UTF-8 form of `text` (the unit 0 as
    // C0 80). Text whose form exceeds 65,535 bytes is a bug of the caller.
    void utf(std::u16string_view text);
    // The same for 8-bit text taken as Latin-1.
    void utf(std::string_view latin1);

    // Overwrites the 4 bytes at `at` (already written) with `value`, big-endian.
    void patchI32(std::size_t at, std::int32_t value);

    std::size_t size() const { return m_bytes.size(); }
    const Bytes& bytes() const& { return m_bytes; }
    Bytes take() && { return std::move(m_bytes); }

private:
    Bytes m_bytes;
};

// Latin-1 text as UTF-16 units.
std::u16string widen(std::string_view latin1);

} // namespace datakit
