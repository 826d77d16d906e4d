#pragma once

// What the painting harnesses share: their input read as bytes in order,
// and a screen image over a guarded block. The block has guard rows above
// and below the screen and rows wider than it, all of a pattern no painter
// writes through the screen: a guard changed is a write outside the screen.

#include "platform/lcdui/Image.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzzing {

// The input's bytes in order; 0 once the input is spent.
class InputBytes {
public:
    InputBytes(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size) {}
    std::uint8_t next() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::int8_t nextSigned() { return static_cast<std::int8_t>(next()); }
    // Little-endian.
    std::int16_t nextShort() {
        const std::uint8_t low = next();
        return static_cast<std::int16_t>(low | (next() << 8));
    }
    // Red, green, blue as 0xRRGGBB.
    std::uint32_t nextColour() {
        const std::uint32_t red = next();
        const std::uint32_t green = next();
        return red << 16 | green << 8 | next();
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// A 640 x 480 screen inside its guards. Make it before the runtime: its
// memory must outlive the image made over it.
class GuardedScreen {
public:
    static constexpr std::int32_t kWidth = 640;
    static constexpr std::int32_t kHeight = 480;

    GuardedScreen()
        : m_block(static_cast<std::size_t>(kPitch * (kHeight + 2 * kGuardRows)), kGuard) {}

    // The image over the screen's part of the block (on the runtime now
    // installed).
    platform::javax_microedition_lcdui_Image* makeImage() {
        return platform::javax_microedition_lcdui_Image::createOverSurface(
            kWidth, kHeight, kPitch * 2, m_block.data() + kGuardRows * kPitch + kGuardColumns);
    }

    bool guardsHold() const {
        for (std::int32_t y = 0; y < kHeight + 2 * kGuardRows; ++y) {
            const bool guardRow = y < kGuardRows || y >= kGuardRows + kHeight;
            for (std::int32_t x = 0; x < kPitch; ++x) {
                const bool guardColumn = x < kGuardColumns || x >= kGuardColumns + kWidth;
                if ((guardRow || guardColumn) && m_block[static_cast<std::size_t>(y * kPitch + x)] != kGuard)
                    return false;
            }
        }
        return true;
    }

private:
    static constexpr std::int32_t kGuardRows = 8;
    static constexpr std::int32_t kGuardColumns = 16;
    static constexpr std::int32_t kPitch = kWidth + 2 * kGuardColumns;
    static constexpr std::uint16_t kGuard = 0xA5A5;

    std::vector<std::uint16_t> m_block;
};

} // namespace fuzzing
