#pragma once

// The mixer behind a real sound output: every open stream is resampled (by
// its sample rate and playback rate, linearly interpolated) to the output's
// rate, scaled by its volume word and the master volume, and added into
// interleaved stereo 16-bit samples, clamped.
//
// `mix` is called by the output's own thread for each block it needs. One
// lock guards every stream; the completions of buffers that end within a
// block are called by `mix` with that lock held, so a stream that has been
// reset or closed never sees one afterwards (and a completion must not call
// back into the mixer).

#include "host/Audio.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace host {

class AudioMixer {
public:
    explicit AudioMixer(std::uint32_t outputRate);
    // Every stream must be closed first.
    ~AudioMixer();
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    // A stream of a format that `checkPcmFormat` accepts.
    std::unique_ptr<AudioStream> open(const PcmFormat& format, Audio::Completion onDone);

    // Fills `out`, left and right samples in turn, with the next block.
    void mix(std::span<std::int16_t> out);

    std::uint32_t masterVolume();
    void setMasterVolume(std::uint32_t volume);
    std::uint32_t outputRate() const { return m_outputRate; }

private:
    class Stream;
    friend class Stream;

    const std::uint32_t m_outputRate;
    std::mutex m_lock;
    std::vector<Stream*> m_streams;
    std::vector<std::int32_t> m_sum;
    std::uint32_t m_masterVolume = kFullVolume;
};

} // namespace host
