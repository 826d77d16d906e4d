#include "tools/datakit/Wave.h"

#include "host/Verify.h"

#include <cmath>
#include <numbers>

namespace datakit {

namespace {

void le16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void le32(Bytes& out, std::uint32_t value) {
    le16(out, value & 0xFFFF);
    le16(out, value >> 16);
}

void tag(Bytes& out, const char (&name)[5]) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(name[i]));
}

} // namespace

Bytes writeWave(const WaveFormat& format, std::span<const std::uint8_t> pcm) {
    HOST_VERIFY_MSG(format.blockAlign() > 0 && pcm.size() % format.blockAlign() == 0,
                    "WAVE data must be whole frames");
    auto dataSize = static_cast<std::uint32_t>(pcm.size());
    Bytes out;
    out.reserve(44 + pcm.size());
    tag(out, "RIFF");
    le32(out, 36 + dataSize);
    tag(out, "WAVE");
    tag(out, "fmt ");
    le32(out, 16);
    le16(out, 1); // uncompressed PCM
    le16(out, format.channels);
    le32(out, format.sampleRate);
    le32(out, format.sampleRate * format.blockAlign());
    le16(out, format.blockAlign());
    le16(out, format.bitsPerSample);
    tag(out, "data");
    le32(out, dataSize);
    for (std::uint8_t byte : pcm)
        out.push_back(byte);
    return out;
}

Bytes sinePcm(const WaveFormat& format, double frequency, std::uint32_t frames, double amplitude) {
    Bytes out;
    out.reserve(std::size_t{frames} * format.blockAlign());
    for (std::uint32_t i = 0; i < frames; ++i) {
        double value = amplitude * std::sin(2 * std::numbers::pi * frequency * i / format.sampleRate);
        for (int channel = 0; channel < format.channels; ++channel) {
            if (format.bitsPerSample == 8) {
                out.push_back(static_cast<std::uint8_t>(std::lround(128 + 127 * value)));
            } else {
                auto sample = static_cast<std::int16_t>(std::lround(32767 * value));
                le16(out, static_cast<std::uint16_t>(sample));
            }
        }
    }
    return out;
}

} // namespace datakit
