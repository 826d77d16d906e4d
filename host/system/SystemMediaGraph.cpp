#include "host/system/SystemMediaGraph.h"

#include "host/media/AmrDecoder.h"
#include "host/media/MidiFile.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <fstream>

namespace host {

namespace {

// Files larger than this are not sounds we play.
constexpr std::uintmax_t kMaxFileSize = std::uintmax_t{64} << 20;
constexpr std::int64_t kUnitsPerSecond = 10'000'000;

Result<std::vector<std::uint8_t>> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return Error::withMessage("graph: cannot open " + path);
    std::streamoff size = file.tellg();
    if (size < 0 || static_cast<std::uintmax_t>(size) > kMaxFileSize)
        return Error::withMessage("graph: " + path + " is too large");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        return Error::withMessage("graph: cannot read " + path);
    return bytes;
}

class MutexLock {
public:
    explicit MutexLock(Mutex& mutex)
        : m_mutex(mutex) {
        m_mutex.lock();
    }
    ~MutexLock() { m_mutex.unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& m_mutex;
};

// Hundredths of a decibel to a stream volume word, both channels alike.
std::uint32_t volumeWord(std::int32_t hundredthsOfDecibel) {
    if (hundredthsOfDecibel <= kSilentVolume)
        return 0;
    double gain = std::pow(10.0, hundredthsOfDecibel / 2000.0);
    auto level = static_cast<std::uint32_t>(std::lround(gain * 0xFFFF));
    return level | level << 16;
}

// The graph. `m_lock` (a host mutex, so that a caller waiting for it lets the
// headless host run others) serialises every call but the event wait; the
// completion arrives on the audio device's thread and touches only atomics
// and the event.
class SystemMediaGraph final : public MediaGraph {
public:
    SystemMediaGraph(Audio& audio, Threads& threads, MidiSynth& synth)
        : m_audio(audio)
        , m_synth(synth)
        , m_lock(threads.createMutex())
        , m_event(threads.createEvent()) {}

    ~SystemMediaGraph() override { m_stream.reset(); }

    Result<void> renderFile(const std::string& path) override {
        MutexLock lock(*m_lock);
        if (m_stream)
            return Error::withMessage("graph: a file is rendered already");
        std::vector<std::uint8_t> bytes = HOST_TRY(readFile(path));
        PcmSound sound;
        std::int64_t duration;
        if (bytes.size() >= 4 && std::memcmp(bytes.data(), "MThd", 4) == 0) {
            MidiSong song = HOST_TRY(parseMidiFile(bytes));
            sound = m_synth.render(song);
            duration = static_cast<std::int64_t>(song.durationMicroseconds) * 10;
        } else if (isAmrFile(bytes)) {
            sound = HOST_TRY(decodeAmr(bytes));
            duration = static_cast<std::int64_t>(sound.frames()) * kUnitsPerSecond / sound.format.sampleRate;
        } else {
            return Error::withMessage("graph: " + path + " is neither MIDI nor AMR-NB");
        }
        if (m_audio.deviceCount() == 0)
            return Error::withMessage("graph: no audio device");
        m_stream = HOST_TRY(m_audio.open(0, sound.format, [this] { onComplete(); }));
        m_sound = std::move(sound);
        m_duration = duration;
        m_stopPosition = duration;
        m_position = 0;
        return {};
    }

    Result<void> run() override {
        MutexLock lock(*m_lock);
        HOST_TRY(rendered());
        if (m_state == GraphState::Running)
            return {};
        if (m_state == GraphState::Paused && m_writing)
            m_stream->restart();
        else
            HOST_TRY(startWrite());
        m_state = GraphState::Running;
        return {};
    }

    Result<void> pause() override {
        MutexLock lock(*m_lock);
        HOST_TRY(rendered());
        if (m_state == GraphState::Running && m_writing && !m_atEnd.load())
            m_stream->pause();
        m_state = GraphState::Paused;
        return {};
    }

    Result<void> stop() override {
        MutexLock lock(*m_lock);
        HOST_TRY(rendered());
        dropWrite();
        m_state = GraphState::Stopped;
        return {};
    }

    GraphState state() override {
        MutexLock lock(*m_lock);
        return m_state;
    }

    Result<std::int64_t> currentPosition() override {
        MutexLock lock(*m_lock);
        HOST_TRY(rendered());
        return positionNow();
    }

    Result<std::int64_t> stopPosition() override {
        MutexLock lock(*m_lock);
        HOST_TRY(rendered());
        return m_stopPosition;
    }

    Result<std::int64_t> duration() override {
        MutexLock lock(*m_lock);
        HOST_TRY(rendered());
        return m_duration;
    }

    Result<void> setPositions(std::int64_t current, std::int64_t stop) override {
        MutexLock lock(*m_lock);
        HOST_TRY(rendered());
        if (current < 0 || stop < current || stop > m_duration)
            return Error::withMessage("graph: position outside the stream");
        dropWrite();
        m_position = current;
        m_stopPosition = stop;
        if (m_state == GraphState::Running)
            return startWrite();
        return {};
    }

    GraphEvent waitForEvent(std::uint32_t timeoutMs, const std::atomic<bool>& cancel) override {
        for (;;) {
            if (cancel.load())
                return GraphEvent::Cancelled;
            for (int pending = m_completions.load(); pending > 0;) {
                if (m_completions.compare_exchange_weak(pending, pending - 1))
                    return GraphEvent::Complete;
            }
            if (!m_event->wait(timeoutMs == kWaitForever ? Event::kInfinite : timeoutMs))
                return GraphEvent::None;
        }
    }

    void interruptWait() override { m_event->set(); }

    Result<void> setVolume(std::int32_t hundredthsOfDecibel) override {
        MutexLock lock(*m_lock);
        HOST_TRY(rendered());
        if (hundredthsOfDecibel < kSilentVolume || hundredthsOfDecibel > 0)
            return Error::withMessage("graph: volume outside -10000 .. 0");
        m_volume = hundredthsOfDecibel;
        m_stream->setVolume(volumeWord(hundredthsOfDecibel));
        return {};
    }

    Result<std::int32_t> volume() override {
        MutexLock lock(*m_lock);
        HOST_TRY(rendered());
        return m_volume;
    }

private:
    Result<void> rendered() const {
        if (!m_stream)
            return Error::withMessage("graph: no file rendered");
        return {};
    }

    std::uint64_t frameAt(std::int64_t position) const {
        return static_cast<std::uint64_t>(position) * m_sound.format.sampleRate / kUnitsPerSecond;
    }

    std::int64_t positionNow() {
        if (!m_writing)
            return m_position;
        if (m_atEnd.load())
            return m_stopPosition;
        std::int64_t played = std::int64_t{m_stream->positionMilliseconds()} * (kUnitsPerSecond / 1000);
        return std::min(m_stopPosition, m_writtenFrom + played);
    }

    // Ends the buffer in play, keeping the position it reached.
    void dropWrite() {
        if (!m_writing)
            return;
        m_position = positionNow();
        m_stream->reset();
        m_writing = false;
    }

    // Plays from the position to the stop position. The stream is reset first,
    // so that no completion of an earlier buffer can still arrive.
    Result<void> startWrite() {
        m_stream->reset();
        m_writing = false;
        m_completions.store(0);
        m_atEnd.store(false);
        std::uint64_t align = m_sound.format.blockAlign();
        std::uint64_t from = frameAt(m_position);
        std::uint64_t to = m_stopPosition == m_duration ? m_sound.frames() : frameAt(m_stopPosition);
        if (from >= std::min<std::uint64_t>(to, m_sound.frames())) {
            m_position = m_stopPosition;
            onComplete();
            return {};
        }
        std::span<const std::uint8_t> pcm(m_sound.pcm.data() + from * align, (to - from) * align);
        HOST_TRY(m_stream->write(pcm, 1));
        m_writing = true;
        m_writtenFrom = m_position;
        return {};
    }

    void onComplete() {
        m_atEnd.store(true);
        m_completions.fetch_add(1);
        m_event->set();
    }

    Audio& m_audio;
    MidiSynth& m_synth;
    std::unique_ptr<Mutex> m_lock;
    std::unique_ptr<Event> m_event;
    std::atomic<int> m_completions{0};
    std::atomic<bool> m_atEnd{false};

    PcmSound m_sound;
    std::unique_ptr<AudioStream> m_stream; // after the event: closed before it goes
    GraphState m_state = GraphState::Stopped;
    bool m_writing = false;      // a buffer is in the stream (playing, paused or played out)
    std::int64_t m_position = 0; // while nothing is written
    std::int64_t m_writtenFrom = 0;
    std::int64_t m_stopPosition = 0;
    std::int64_t m_duration = 0;
    std::int32_t m_volume = 0;
};

} // namespace

SystemMediaGraphs::SystemMediaGraphs(Audio& audio, Threads& threads, MediaGraphOptions options)
    : m_audio(audio)
    , m_threads(threads)
    , m_synth(std::move(options.soundFonts)) {
}

Result<std::unique_ptr<MediaGraph>> SystemMediaGraphs::createGraph() {
    return std::unique_ptr<MediaGraph>(std::make_unique<SystemMediaGraph>(m_audio, m_threads, m_synth));
}

} // namespace host
