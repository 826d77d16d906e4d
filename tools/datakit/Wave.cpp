#include "tools/datakit/Wave.h"

#include "host/Verify.h"

#include <cmath>
#include <numbers>

namespace datakit {

Bytes writeWave(const WaveFormat& format, std::span<const std::uint8_t> pcm) {
    HOST_VERIFY_MSG(format.blockAlign() > 0 && pcm.size() % format.blockAlign() == 0,
                    "WAVE data must be whole frames");
    using enum ByteOrder;
    auto dataSize = static_cast<std::uint32_t>(pcm.size());
    ByteWriter out;
    out.tag("RIFF");
    out.u32(Little, 36 + dataSize);
    out.tag("WAVE");
    out.tag("fmt ");
    out.u32(Little, 16);
    out.u16(Little, 1); // uncompressed PCM
    out.u16(Little, format.channels);
    out.u32(Little, format.sampleRate);
    out.u32(Little, format.sampleRate * format.blockAlign());
    out.u16(Little, format.blockAlign());
    out.u16(Little, format.bitsPerSample);
    out.tag("data");
    out.u32(Little, dataSize);
    out.bytes(pcm);
    return std::move(out).take();
}

Bytes sinePcm(const WaveFormat& format, double frequency, std::uint32_t frames, double amplitude) {
    ByteWriter out;
    for (std::uint32_t i = 0; i < frames; ++i) {
        double value = amplitude * std::sin(2 * std::numbers::pi * frequency * i / format.sampleRate);
        for (int channel = 0; channel < format.channels; ++channel) {
            if (format.bitsPerSample == 8)
                out.u8(static_cast<std::uint8_t>(std::lround(128 + 127 * value)));
            else
                out.i16(ByteOrder::Little, static_cast<std::int16_t>(std::lround(32767 * value)));
        }
    }
    return std::move(out).take();
}

} // namespace datakit
