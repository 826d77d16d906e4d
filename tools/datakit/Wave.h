#pragma once

// WAVE sounds in their canonical form: "RIFF", the size, "WAVE", a 16-byte
// "fmt " chunk of uncompressed PCM and the "data" chunk, all little-endian, so
// the PCM starts at byte 44. And the PCM of sine waves to put in them.

#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <span>

namespace datakit {

struct WaveFormat {
    std::uint16_t channels = 1;
    std::uint32_t sampleRate = 8000;
    std::uint16_t bitsPerSample = 16; // 8 (unsigned) or 16 (signed)

    std::uint16_t blockAlign() const { return static_cast<std::uint16_t>(channels * (bitsPerSample / 8)); }
};

// `pcm` must hold whole frames of `format`.
Bytes writeWave(const WaveFormat& format, std::span<const std::uint8_t> pcm);

// `frames` frames of a sine of `frequency` Hz at `amplitude` (0 .. 1 of full
// scale), starting at phase 0, the same sample on every channel.
Bytes sinePcm(const WaveFormat& format, double frequency, std::uint32_t frames, double amplitude = 0.5);

} // namespace datakit
