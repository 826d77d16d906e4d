#pragma once

// The headless audio-out service: streams play on the host's clock and what
// they play is recorded, so that a test can compare the PCM that would have
// been heard with what it expects.
//
// A stream that plays has a device thread of its own (made with the host's
// threads service), which waits on the clock until the buffer has played out
// and then calls the completion. Pausing, resetting, a new rate and closing
// end that thread before they return, so no completion arrives after them.
// How far a stream has played is worked out from the clock: frames played =
// milliseconds elapsed x sample rate x playback rate. Under the virtual clock
// a buffer of 1.5 s therefore completes exactly when the clock reaches 1.5 s
// after the write, whatever the machine does meanwhile.
//
// Also the sdl host's stand-in when the machine has no sound output: there
// the clock and threads are real and the sound is simply not heard.

#include "host/Audio.h"
#include "host/Clock.h"
#include "host/Threads.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace host {

struct HeadlessAudioOptions {
    int devices = 1;
    // Bytes of PCM kept per stream; what plays beyond is only counted.
    std::size_t recordLimit = std::size_t{4} << 20;
};

// What one stream played, in the order it played it, volume not applied.
struct AudioRecording {
    PcmFormat format;
    std::vector<std::uint8_t> pcm;
    std::uint64_t bytesPlayed = 0;
    std::uint32_t writes = 0;           // buffers handed to the stream
    std::uint32_t completions = 0;      // buffers that played out
    std::uint32_t volume = kFullVolume; // the stream's volume word when last set
    bool open = true;
};

class HeadlessAudio final : public Audio {
public:
    HeadlessAudio(Clock& clock, Threads& threads, HeadlessAudioOptions options = {});
    ~HeadlessAudio() override;

    int deviceCount() override { return m_options.devices; }
    Result<AudioCaps> caps(int device) override;
    Result<std::unique_ptr<AudioStream>> open(int device, const PcmFormat& format,
                                              Completion onDone) override;
    std::uint32_t masterVolume() override;
    void setMasterVolume(std::uint32_t volume) override;

    // A copy of every stream's recording, in the order the streams were opened.
    std::vector<AudioRecording> recordings() const;
    int openStreamCount() const;

private:
    class Stream;
    friend class Stream;

    // Called by streams. `record` appends the bytes [from, to) of a buffer
    // played over and over (offsets taken modulo its size).
    void record(std::size_t index, std::span<const std::uint8_t> loop, std::uint64_t from, std::uint64_t to);
    void countWrite(std::size_t index);
    void recordVolume(std::size_t index, std::uint32_t volume);
    void countCompletion(std::size_t index);
    void closed(std::size_t index);

    Clock& m_clock;
    Threads& m_threads;
    HeadlessAudioOptions m_options;
    mutable std::mutex m_lock;
    std::deque<AudioRecording> m_recordings;
    int m_openStreams = 0;
    std::uint32_t m_masterVolume = kFullVolume;
};

} // namespace host
