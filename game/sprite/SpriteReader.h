#pragma once

// A little-endian reader over sprite data that never reads past its end:
// a read past the end answers 0 and marks the reader as cut short, which the
// loader checks at the end of each section.

#include <cstdint>
#include <span>

namespace game {

class SpriteReader {
public:
    SpriteReader(std::span<const std::uint8_t> data, std::int32_t position)
        : m_data(data)
        , m_position(position < 0 ? static_cast<std::int64_t>(data.size()) + 1 : position) {
        if (m_position > static_cast<std::int64_t>(m_data.size()))
            m_short = true;
    }

    std::int32_t u8() {
        if (!has(1))
            return 0;
        return m_data[static_cast<std::size_t>(m_position++)];
    }
    std::int32_t s8() { return static_cast<std::int8_t>(u8()); }
    std::int32_t u16() {
        std::int32_t low = u8();
        return low | (u8() << 8);
    }
    std::int32_t s16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t s32() {
        std::uint32_t low = static_cast<std::uint32_t>(u16());
        return static_cast<std::int32_t>(low | (static_cast<std::uint32_t>(u16()) << 16));
    }

    // True when `count` more bytes are there; else marks the reader cut short.
    bool has(std::int64_t count) {
        if (m_short || m_position + count > static_cast<std::int64_t>(m_data.size())) {
            m_short = true;
            return false;
        }
        return true;
    }
    std::int64_t remaining() const {
        return m_short ? 0 : static_cast<std::int64_t>(m_data.size()) - m_position;
    }
    void skip(std::int64_t count) {
        if (has(count))
            m_position += count;
    }

    // The bytes from `position` on (a position this reader has passed).
    const std::uint8_t* bytesAt(std::int32_t position) const { return m_data.data() + position; }

    bool cutShort() const { return m_short; }
    std::int32_t position() const { return static_cast<std::int32_t>(m_position); }

private:
    std::span<const std::uint8_t> m_data;
    std::int64_t m_position;
    bool m_short = false;
};

} // namespace game
