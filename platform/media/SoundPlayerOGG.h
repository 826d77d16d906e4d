#pragma once

// `SoundPlayerOGG`: an Ogg Vorbis sound, decoded whole to 16-bit PCM when it
// is realized and then played exactly as `SoundPlayerWAVE` plays its PCM. It
// replaces only the three format hooks: the decoder reads the bytes held in
// memory and is open only during realize.

#include "platform/media/SoundPlayerWAVE.h"
#include "platform/media/VorbisDecoder.h"

namespace platform {

class SoundPlayerOGG final : public SoundPlayerWAVE {
public:
    // Decoded PCM beyond this many bytes is refused (realize logs and fails).
    static constexpr std::size_t kMaxPcmBytes = std::size_t{64} << 20;
    static constexpr std::size_t kDecodeStep = 4096;

    explicit SoundPlayerOGG(std::span<const std::uint8_t> bytes);

    // Opens the decoder on the data and copies the stream information (1); 0
    // without data or for data the decoder refuses.
    std::int32_t readHeader(std::uint8_t (&header)[kCanonicalWaveHeader]) override;
    // 16-bit PCM of the stream's channels and rate; the duration from the
    // decoder. 0 for a stream that is not mono or stereo.
    std::int32_t parseFormat() override;
    // Decodes everything, then closes the decoder.
    std::int32_t readSoundFilePcmData(std::vector<std::uint8_t>& pcm) override;
    void close() override;

    const VorbisInfo& streamInfo() const { return m_streamInfo; }

    RT_NO_REFERENCE_FIELDS(SoundPlayerOGG, SoundPlayerWAVE)

protected:
    const char* contentType() const override { return "audio/ogg"; }

private:
    VorbisInfo m_streamInfo;
    VorbisDecoder m_decoder;
};

} // namespace platform
