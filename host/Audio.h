#pragma once

// The audio-out service: the device's wave output, as the media players use
// it. A stream is opened on a device with a PCM format and a completion
// callback; it plays one buffer at a time, which may loop; it can be paused,
// restarted, reset and asked how far it has played. Volumes are 32-bit words
// holding the left channel's level in the low 16 bits and the right channel's
// in the high 16 bits (0 silent, 0xFFFF full).
//
// The sdl back-end mixes every open stream into the machine's sound output;
// the headless back-end plays each stream on the host's clock and records the
// PCM that would be heard. Without any device (`deviceCount()` 0) nothing can
// be opened.
//
// Threads: any thread the host knows may call a stream or the service. A
// stream's methods are not meant to be called by two threads at once; the
// completion callback runs on a device thread of the service's own, never on
// the caller's, and must not call back into the stream.

#include "host/Result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace host {

// Interleaved PCM: unsigned 8-bit or signed little-endian 16-bit samples.
struct PcmFormat {
    std::uint16_t channels = 1;
    std::uint32_t sampleRate = 8000;
    std::uint16_t bitsPerSample = 16;

    std::uint32_t blockAlign() const { return channels * (bitsPerSample / 8u); }
    bool operator==(const PcmFormat&) const = default;
};

// What a device can do beyond playing.
struct AudioCaps {
    bool volume = false;       // `setVolume` changes what is heard
    bool playbackRate = false; // `setPlaybackRate` changes the speed
};

inline constexpr std::uint32_t kFullVolume = 0xFFFFFFFF;
// The playback rate of normal speed, in 16.16 fixed point.
inline constexpr std::uint32_t kNormalPlaybackRate = 0x10000;

// Calls nothing and holds no state of its own beyond the buffer in play.
class AudioStream {
public:
    // Closing: playing stops, and no completion arrives once this returns.
    virtual ~AudioStream() = default;

    // Plays `pcm` (whole frames of the stream's format) `loops` times in a
    // row (0 plays it once, like 1), then calls the completion once. The bytes
    // are read while they play: they must stay valid and unchanged until the
    // completion, `reset` or the stream's end. Fails while another buffer is
    // still in play, and for an empty or ragged buffer.
    virtual Result<void> write(std::span<const std::uint8_t> pcm, std::uint32_t loops) = 0;
    // Holds playing where it is; `restart` goes on from there.
    virtual void pause() = 0;
    // Resumes after `pause`; does nothing otherwise.
    virtual void restart() = 0;
    // Stops at once and drops the buffer in play, without its completion. The
    // position starts again from 0.
    virtual void reset() = 0;

    // Milliseconds of sound played since the stream was opened or last reset,
    // every loop counted.
    virtual std::uint32_t positionMilliseconds() = 0;

    virtual std::uint32_t volume() = 0;
    virtual void setVolume(std::uint32_t volume) = 0;
    // 16.16 fixed point, `kNormalPlaybackRate` for normal speed; a rate
    // outside 1/8 .. 8 fails and leaves the rate as it was.
    virtual std::uint32_t playbackRate() = 0;
    virtual Result<void> setPlaybackRate(std::uint32_t rate) = 0;
};

class Audio {
public:
    // Runs on a device thread when a buffer has played out.
    using Completion = std::function<void()>;

    // Every stream must be closed before the service goes.
    virtual ~Audio() = default;

    // Number of output devices, numbered from 0. May be 0.
    virtual int deviceCount() = 0;
    // Fails for a device that does not exist.
    virtual Result<AudioCaps> caps(int device) = 0;
    // Fails for a device that does not exist and for a format it cannot play
    // (channels other than 1 or 2, bits other than 8 or 16, a rate outside
    // 1000 .. 192000 Hz).
    virtual Result<std::unique_ptr<AudioStream>> open(int device, const PcmFormat& format,
                                                      Completion onDone) = 0;

    // The level of everything the device plays, on top of each stream's own.
    virtual std::uint32_t masterVolume() = 0;
    virtual void setMasterVolume(std::uint32_t volume) = 0;
};

// Shared checks of the back-ends.
Result<void> checkPcmFormat(const PcmFormat& format);
Result<void> checkPcmBuffer(const PcmFormat& format, std::span<const std::uint8_t> pcm);
Result<void> checkPlaybackRate(std::uint32_t rate);

} // namespace host
