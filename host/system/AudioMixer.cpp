#include "host/system/AudioMixer.h"

#include "host/Verify.h"

#include <algorithm>
#include <cstring>

namespace host {

namespace {

// A 16-bit level as a factor of 0 .. 65536, so that full level is exact.
std::int64_t gainOf(std::uint32_t level) {
    level &= 0xFFFF;
    return level + (level >> 15);
}

} // namespace

// Every member is guarded by the mixer's lock.
class AudioMixer::Stream final : public AudioStream {
public:
    Stream(AudioMixer& mixer, const PcmFormat& format, Audio::Completion onDone)
        : m_mixer(mixer)
        , m_format(format)
        , m_onDone(std::move(onDone)) {
        updateStep();
    }

    ~Stream() override {
        std::lock_guard guard(m_mixer.m_lock);
        std::erase(m_mixer.m_streams, this);
    }

    Result<void> write(std::span<const std::uint8_t> pcm, std::uint32_t loops) override {
        HOST_TRY(checkPcmBuffer(m_format, pcm));
        std::lock_guard guard(m_mixer.m_lock);
        if (m_playing)
            return Error::withMessage("audio: a buffer is still playing");
        m_buffer = pcm;
        m_loopFrames = pcm.size() / m_format.blockAlign();
        m_loopsLeft = std::max<std::uint32_t>(loops, 1);
        m_frame = 0;
        m_fraction = 0;
        m_consumed = 0;
        m_playing = true;
        return {};
    }

    void pause() override {
        std::lock_guard guard(m_mixer.m_lock);
        m_paused = true;
    }

    void restart() override {
        std::lock_guard guard(m_mixer.m_lock);
        m_paused = false;
    }

    void reset() override {
        std::lock_guard guard(m_mixer.m_lock);
        m_playing = false;
        m_paused = false;
        m_buffer = {};
        m_consumed = 0;
        m_positionFrames = 0;
    }

    std::uint32_t positionMilliseconds() override {
        std::lock_guard guard(m_mixer.m_lock);
        return static_cast<std::uint32_t>((m_positionFrames + m_consumed) * 1000 / m_format.sampleRate);
    }

    std::uint32_t volume() override {
        std::lock_guard guard(m_mixer.m_lock);
        return m_volume;
    }

    void setVolume(std::uint32_t volume) override {
        std::lock_guard guard(m_mixer.m_lock);
        m_volume = volume;
    }

    std::uint32_t playbackRate() override {
        std::lock_guard guard(m_mixer.m_lock);
        return m_rate;
    }

    Result<void> setPlaybackRate(std::uint32_t rate) override {
        HOST_TRY(checkPlaybackRate(rate));
        std::lock_guard guard(m_mixer.m_lock);
        m_rate = rate;
        updateStep();
        return {};
    }

    // Adds this stream's next `frames` output frames into `sum`. Answers true
    // when its buffer played out within them.
    bool mixInto(std::int32_t* sum, std::size_t frames) {
        if (!m_playing || m_paused)
            return false;
        std::int64_t left = gainOf(m_volume);
        std::int64_t right = gainOf(m_volume >> 16);
        for (std::size_t i = 0; i < frames; ++i) {
            std::uint64_t next = m_frame + 1;
            if (next == m_loopFrames)
                next = m_loopsLeft > 1 ? 0 : m_frame;
            auto weight = static_cast<std::int64_t>(m_fraction >> 16); // 0 .. 65535
            for (int channel = 0; channel < 2; ++channel) {
                int source = m_format.channels == 2 ? channel : 0;
                std::int64_t a = sample(m_frame, source);
                std::int64_t b = sample(next, source);
                std::int64_t value = a + ((b - a) * weight >> 16);
                sum[2 * i + channel] += static_cast<std::int32_t>(value * (channel ? right : left) >> 16);
            }
            std::uint64_t advance = (std::uint64_t{m_fraction} + m_step) >> 32;
            m_fraction = static_cast<std::uint32_t>(std::uint64_t{m_fraction} + m_step);
            m_frame += advance;
            m_consumed += advance;
            while (m_frame >= m_loopFrames) {
                m_frame -= m_loopFrames;
                if (--m_loopsLeft == 0) {
                    m_positionFrames += m_consumed - m_frame; // less what overshot the end
                    m_consumed = 0;
                    m_playing = false;
                    m_buffer = {};
                    return true;
                }
            }
        }
        return false;
    }

    void complete() {
        if (m_onDone)
            m_onDone();
    }

private:
    std::int64_t sample(std::uint64_t frame, int channel) const {
        std::size_t at = static_cast<std::size_t>(frame) * m_format.blockAlign();
        if (m_format.bitsPerSample == 8)
            return (std::int64_t{m_buffer[at + channel]} - 128) << 8;
        std::int16_t value;
        std::memcpy(&value, m_buffer.data() + at + 2 * channel, 2);
        return value;
    }

    void updateStep() {
        // Source frames per output frame, in 32.32 fixed point.
        unsigned __int128 step = static_cast<unsigned __int128>(m_format.sampleRate) * m_rate << 16;
        m_step = static_cast<std::uint64_t>(step / m_mixer.m_outputRate);
    }

    AudioMixer& m_mixer;
    const PcmFormat m_format;
    const Audio::Completion m_onDone;
    std::span<const std::uint8_t> m_buffer;
    std::uint64_t m_loopFrames = 0;
    std::uint32_t m_loopsLeft = 0;
    std::uint64_t m_frame = 0;
    std::uint32_t m_fraction = 0;
    std::uint64_t m_step = 0;
    std::uint64_t m_consumed = 0;       // frames of the buffer in play, every loop counted
    std::uint64_t m_positionFrames = 0; // of earlier buffers since the last reset
    bool m_playing = false;
    bool m_paused = false;
    std::uint32_t m_volume = kFullVolume;
    std::uint32_t m_rate = kNormalPlaybackRate;
};

AudioMixer::AudioMixer(std::uint32_t outputRate)
    : m_outputRate(outputRate) {
    HOST_VERIFY(outputRate > 0);
}

AudioMixer::~AudioMixer() {
    HOST_VERIFY_MSG(m_streams.empty(), "an audio stream outlives its mixer");
}

std::unique_ptr<AudioStream> AudioMixer::open(const PcmFormat& format, Audio::Completion onDone) {
    auto stream = std::make_unique<Stream>(*this, format, std::move(onDone));
    std::lock_guard guard(m_lock);
    m_streams.push_back(stream.get());
    return stream;
}

void AudioMixer::mix(std::span<std::int16_t> out) {
    std::size_t frames = out.size() / 2;
    std::lock_guard guard(m_lock);
    m_sum.assign(frames * 2, 0);
    for (Stream* stream : m_streams) {
        if (stream->mixInto(m_sum.data(), frames))
            stream->complete();
    }
    std::int64_t left = gainOf(m_masterVolume);
    std::int64_t right = gainOf(m_masterVolume >> 16);
    for (std::size_t i = 0; i < frames * 2; ++i) {
        std::int64_t value = m_sum[i] * (i % 2 ? right : left) >> 16;
        out[i] = static_cast<std::int16_t>(std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX));
    }
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(frames * 2), out.end(), std::int16_t{0});
}

std::uint32_t AudioMixer::masterVolume() {
    std::lock_guard guard(m_lock);
    return m_masterVolume;
}

void AudioMixer::setMasterVolume(std::uint32_t volume) {
    std::lock_guard guard(m_lock);
    m_masterVolume = volume;
}

} // namespace host
