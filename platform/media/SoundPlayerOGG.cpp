#include "platform/media/SoundPlayerOGG.h"

#include "runtime/checks.h"

namespace platform {

SoundPlayerOGG::SoundPlayerOGG(std::span<const std::uint8_t> bytes)
    : SoundPlayerWAVE(bytes) {
}

std::int32_t SoundPlayerOGG::readHeader(std::uint8_t (&)[kCanonicalWaveHeader]) {
    if (m_soundFileData.empty())
        return 0;
    if (!m_decoder.open(m_soundFileData))
        return 0;
    m_streamInfo = m_decoder.info();
    return 1;
}

std::int32_t SoundPlayerOGG::parseFormat() {
    std::uint8_t unused[kCanonicalWaveHeader];
    if (!readHeader(unused))
        return 0;
    if (m_streamInfo.channels < 1 || m_streamInfo.channels > 2 || m_streamInfo.rate <= 0) {
        m_decoder.close();
        return 0;
    }
    auto channels = static_cast<std::uint16_t>(m_streamInfo.channels);
    auto rate = static_cast<std::uint32_t>(m_streamInfo.rate);
    m_waveFormat = WaveFormatEx{kWaveFormatPcm,
                                channels,
                                rate,
                                rate * channels * 2u,
                                static_cast<std::uint16_t>(channels * 2),
                                16,
                                0};
    m_duration = m_decoder.totalMilliseconds() * 1000;
    return 1;
}

std::int32_t SoundPlayerOGG::readSoundFilePcmData(std::vector<std::uint8_t>& pcm) {
    std::vector<std::uint8_t> decoded;
    decoded.reserve(kDecodeStep);
    std::uint8_t step[kDecodeStep];
    for (;;) {
        long got = m_decoder.read(step);
        if (got <= 0)
            break;
        if (decoded.size() + static_cast<std::size_t>(got) > kMaxPcmBytes) {
            rt::logPrintf(
                "SoundPlayerOGG::readSoundFilePcmData(): decodedDataBuffer == NULL\n  tried to realloc %zu "
                "bytes",
                decoded.size() + static_cast<std::size_t>(got));
            m_decoder.close();
            return -1;
        }
        // The vector grows geometrically, so a long sound costs few copies.
        decoded.insert(decoded.end(), step, step + got);
    }
    m_decoder.close();
    if (decoded.empty())
        return -1;
    pcm = std::move(decoded);
    return static_cast<std::int32_t>(pcm.size());
}

void SoundPlayerOGG::close() {
    if (getState() == kPlayerClosed)
        return;
    m_decoder.close();
    closePlayer();
}

} // namespace platform
