#pragma once

// Where the format and the samples of a WAVE sound are. A RIFF "WAVE" file is
// read chunk by chunk: the format from "fmt ", the samples exactly the
// "data" chunk (cut to whole frames and to the bytes present). Data that
// begins with "RIFF" but has no such chunk structure is read the way the
// canonical 44-byte header lays it out: the format at fixed offsets and the
// samples from byte 44 to the end.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// The fields of the device's wave format, in its order.
struct WaveFormatEx {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

inline constexpr std::uint16_t kWaveFormatPcm = 1;
inline constexpr std::size_t kCanonicalWaveHeader = 44;

struct WaveLayout {
    WaveFormatEx format;
    std::size_t dataOffset = 0;
    std::size_t dataLength = 0;
    bool chunked = false; // false: read at the canonical header's fixed offsets
};

// Nothing for data that does not begin with "RIFF" or is shorter than the
// canonical header.
std::optional<WaveLayout> parseWave(std::span<const std::uint8_t> bytes);

// Microseconds of `dataLength` bytes in `format` (0 for a format without a
// rate or a frame size).
std::int64_t waveDurationMicroseconds(const WaveFormatEx& format, std::size_t dataLength);

} // namespace platform
