#include "host/headless/HeadlessAudio.h"

#include "host/Verify.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace host {

namespace {

// The longest single wait of a device thread; longer buffers wait in steps.
constexpr std::uint32_t kLongestWait = 0x7FFFFFFE;

} // namespace

// One open stream. `m_lock` guards the buffer and the play accounting; it is
// never held across a call into the clock or the threads service, nor
// around the completion.
class HeadlessAudio::Stream final : public AudioStream {
public:
    Stream(HeadlessAudio& audio, std::size_t index, const PcmFormat& format, Completion onDone)
        : m_audio(audio)
        , m_index(index)
        , m_format(format)
        , m_onDone(std::move(onDone))
        , m_wake(audio.m_threads.createEvent()) {}

    ~Stream() override {
        endDeviceThread();
        m_audio.closed(m_index);
    }

    Result<void> write(std::span<const std::uint8_t> pcm, std::uint32_t loops) override {
        HOST_TRY(checkPcmBuffer(m_format, pcm));
        {
            std::lock_guard guard(m_lock);
            if (m_playing)
                return Error::withMessage("audio: a buffer is still playing");
            // A device thread that completed the last buffer may not have returned yet.
        }
        endDeviceThread();
        std::uint64_t loopFrames = pcm.size() / m_format.blockAlign();
        {
            std::lock_guard guard(m_lock);
            m_buffer = pcm;
            m_totalFrames = loopFrames * std::max<std::uint32_t>(loops, 1);
            m_playedFrames = 0;
            m_playing = true;
        }
        m_audio.countWrite(m_index);
        if (!m_paused)
            return startDeviceThread();
        return {};
    }

    void pause() override {
        endDeviceThread();
        std::lock_guard guard(m_lock);
        catchUp(m_audio.m_clock.tickCount());
        m_paused = true;
    }

    void restart() override {
        bool resume;
        {
            std::lock_guard guard(m_lock);
            resume = m_paused && m_playing;
            m_paused = false;
        }
        if (resume)
            (void)startDeviceThread();
    }

    void reset() override {
        endDeviceThread();
        std::lock_guard guard(m_lock);
        catchUp(m_audio.m_clock.tickCount());
        m_playing = false;
        m_paused = false;
        m_buffer = {};
        m_positionFrames = 0;
        m_playedFrames = 0;
    }

    std::uint32_t positionMilliseconds() override {
        std::lock_guard guard(m_lock);
        catchUp(m_audio.m_clock.tickCount());
        std::uint64_t frames = m_positionFrames + m_playedFrames;
        return static_cast<std::uint32_t>(frames * 1000 / m_format.sampleRate);
    }

    std::uint32_t volume() override { return m_volume.load(); }
    void setVolume(std::uint32_t volume) override {
        m_volume.store(volume);
        m_audio.recordVolume(m_index, volume);
    }

    std::uint32_t playbackRate() override {
        std::lock_guard guard(m_lock);
        return m_rate;
    }

    Result<void> setPlaybackRate(std::uint32_t rate) override {
        HOST_TRY(checkPlaybackRate(rate));
        bool running = endDeviceThread();
        {
            std::lock_guard guard(m_lock);
            catchUp(m_audio.m_clock.tickCount());
            m_rate = rate;
        }
        if (running)
            return startDeviceThread();
        return {};
    }

private:
    // Frames played in `elapsed` milliseconds at the current rate.
    std::uint64_t framesIn(std::uint64_t elapsed) const {
        return elapsed * m_format.sampleRate * m_rate / (std::uint64_t{kNormalPlaybackRate} * 1000);
    }
    // Milliseconds until `frames` more frames have played, rounded up.
    std::uint64_t millisecondsFor(std::uint64_t frames) const {
        std::uint64_t perSecond = std::uint64_t{m_format.sampleRate} * m_rate;
        unsigned __int128 scaled = static_cast<unsigned __int128>(frames) * 1000 * kNormalPlaybackRate;
        return static_cast<std::uint64_t>((scaled + perSecond - 1) / perSecond);
    }

    // Brings the accounting of a running segment up to `now`, recording what
    // played meanwhile. With `m_lock` held.
    void catchUp(std::uint32_t now) {
        if (!m_segmentRunning || !m_playing)
            return;
        std::uint32_t elapsed = now - m_segmentStart;
        std::uint64_t played = std::min(m_totalFrames, m_segmentFrames + framesIn(elapsed));
        if (played > m_playedFrames) {
            std::uint64_t align = m_format.blockAlign();
            m_audio.record(m_index, m_buffer, m_playedFrames * align, played * align);
            m_playedFrames = played;
        }
    }

    Result<void> startDeviceThread() {
        {
            std::lock_guard guard(m_lock);
            m_segmentStart = m_audio.m_clock.tickCount();
            m_segmentFrames = m_playedFrames;
            m_segmentRunning = true;
            m_cancel = false;
        }
        auto thread = m_audio.m_threads.create([this] { deviceThread(); });
        if (!thread.ok()) {
            std::lock_guard guard(m_lock);
            m_segmentRunning = false;
            m_playing = false;
            return std::move(thread).error();
        }
        m_thread = std::move(thread).value();
        m_thread->resume();
        return {};
    }

    // Answers whether a segment was running (the thread may have ended by itself).
    bool endDeviceThread() {
        if (!m_thread)
            return false;
        {
            std::lock_guard guard(m_lock);
            m_cancel = true;
        }
        m_wake->set();
        m_thread->join();
        m_thread.reset();
        // A wake the thread never took would cut the next thread's first wait short.
        (void)m_wake->wait(0);
        std::lock_guard guard(m_lock);
        catchUp(m_audio.m_clock.tickCount());
        bool wasRunning = m_segmentRunning && m_playing;
        m_segmentRunning = false;
        return wasRunning;
    }

    void deviceThread() {
        for (;;) {
            std::uint64_t wait;
            {
                std::lock_guard guard(m_lock);
                if (m_cancel)
                    return;
                std::uint32_t elapsed = m_audio.m_clock.tickCount() - m_segmentStart;
                std::uint64_t end = millisecondsFor(m_totalFrames - m_segmentFrames);
                wait = end > elapsed ? end - elapsed : 0;
                if (wait == 0) {
                    m_playedFrames = std::max(m_playedFrames, m_segmentFrames);
                    std::uint64_t align = m_format.blockAlign();
                    m_audio.record(m_index, m_buffer, m_playedFrames * align, m_totalFrames * align);
                    m_positionFrames += m_totalFrames;
                    m_playedFrames = 0;
                    m_playing = false;
                    m_segmentRunning = false;
                    m_buffer = {};
                    break;
                }
            }
            (void)m_wake->wait(static_cast<std::uint32_t>(std::min<std::uint64_t>(wait, kLongestWait)));
        }
        m_audio.countCompletion(m_index);
        if (m_onDone)
            m_onDone();
    }

    HeadlessAudio& m_audio;
    const std::size_t m_index;
    const PcmFormat m_format;
    const Completion m_onDone;
    std::unique_ptr<Event> m_wake;
    std::unique_ptr<Thread> m_thread; // touched only by the stream's caller
    std::atomic<std::uint32_t> m_volume{kFullVolume};
    bool m_paused = false; // touched only by the stream's caller

    std::mutex m_lock;
    bool m_cancel = false;
    std::span<const std::uint8_t> m_buffer;
    bool m_playing = false;
    bool m_segmentRunning = false;
    std::uint32_t m_rate = kNormalPlaybackRate;
    std::uint64_t m_totalFrames = 0;
    std::uint64_t m_playedFrames = 0;   // of the buffer in play, every loop counted
    std::uint64_t m_positionFrames = 0; // of earlier buffers since the last reset
    std::uint32_t m_segmentStart = 0;   // tick at which the running segment began
    std::uint64_t m_segmentFrames = 0;  // frames played when it began
};

HeadlessAudio::HeadlessAudio(Clock& clock, Threads& threads, HeadlessAudioOptions options)
    : m_clock(clock)
    , m_threads(threads)
    , m_options(options) {
}

HeadlessAudio::~HeadlessAudio() {
    HOST_VERIFY_MSG(m_openStreams == 0, "an audio stream outlives the audio service");
}

Result<AudioCaps> HeadlessAudio::caps(int device) {
    if (device < 0 || device >= m_options.devices)
        return Error::withMessage("audio: no device " + std::to_string(device));
    return AudioCaps{true, true};
}

Result<std::unique_ptr<AudioStream>> HeadlessAudio::open(int device, const PcmFormat& format,
                                                         Completion onDone) {
    if (device < 0 || device >= m_options.devices)
        return Error::withMessage("audio: no device " + std::to_string(device));
    HOST_TRY(checkPcmFormat(format));
    std::size_t index;
    {
        std::lock_guard guard(m_lock);
        index = m_recordings.size();
        m_recordings.push_back(AudioRecording{format, {}, 0, 0, 0, kFullVolume, true});
        ++m_openStreams;
    }
    return std::unique_ptr<AudioStream>(std::make_unique<Stream>(*this, index, format, std::move(onDone)));
}

std::uint32_t HeadlessAudio::masterVolume() {
    std::lock_guard guard(m_lock);
    return m_masterVolume;
}

void HeadlessAudio::setMasterVolume(std::uint32_t volume) {
    std::lock_guard guard(m_lock);
    m_masterVolume = volume;
}

std::vector<AudioRecording> HeadlessAudio::recordings() const {
    std::lock_guard guard(m_lock);
    return std::vector<AudioRecording>(m_recordings.begin(), m_recordings.end());
}

int HeadlessAudio::openStreamCount() const {
    std::lock_guard guard(m_lock);
    return m_openStreams;
}

void HeadlessAudio::record(std::size_t index, std::span<const std::uint8_t> loop, std::uint64_t from,
                           std::uint64_t to) {
    std::lock_guard guard(m_lock);
    AudioRecording& recording = m_recordings[index];
    recording.bytesPlayed += to - from;
    std::uint64_t room = m_options.recordLimit - std::min(m_options.recordLimit, recording.pcm.size());
    std::uint64_t end = std::min(to, from + room);
    for (std::uint64_t at = from; at < end;) {
        std::size_t offset = static_cast<std::size_t>(at % loop.size());
        std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(loop.size() - offset, end - at));
        recording.pcm.insert(recording.pcm.end(), loop.begin() + offset, loop.begin() + offset + piece);
        at += piece;
    }
}

void HeadlessAudio::countWrite(std::size_t index) {
    std::lock_guard guard(m_lock);
    ++m_recordings[index].writes;
}

void HeadlessAudio::recordVolume(std::size_t index, std::uint32_t volume) {
    std::lock_guard guard(m_lock);
    m_recordings[index].volume = volume;
}

void HeadlessAudio::countCompletion(std::size_t index) {
    std::lock_guard guard(m_lock);
    ++m_recordings[index].completions;
}

void HeadlessAudio::closed(std::size_t index) {
    std::lock_guard guard(m_lock);
    m_recordings[index].open = false;
    --m_openStreams;
}

} // namespace host
