#pragma once

// The media-graph service: playback of sound files the platform does not
// decode itself (MIDI and AMR-NB), in place of the device's filter graphs. A
// graph renders one file, then runs, pauses and stops it, seeks in it, reports
// its state and positions, signals when the stream has played to its end, and
// has a volume. The decoded sound plays through the audio-out service
// (host/Audio.h), device 0.
//
// Times, positions and durations are in units of 100 nanoseconds. Volumes are
// in hundredths of a decibel: 0 is full level, -10000 silence.
//
// Threads: any thread the host knows may call a graph; calls are serialised
// by the graph. The completion is taken with `waitForEvent`, typically by a
// thread of the caller's that loops the sound.

#include "host/Result.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace host {

enum class GraphState : std::uint8_t {
    Stopped = 0,
    Paused = 1,
    Running = 2,
};

enum class GraphEvent : std::uint8_t {
    None,      // the wait timed out
    Complete,  // the stream played to its stop position
    Cancelled, // the caller's cancel flag was set
};

inline constexpr std::int32_t kSilentVolume = -10000;

class MediaGraph {
public:
    // Releases the file's sound and its stream; no thread may still wait on it.
    virtual ~MediaGraph() = default;

    // Decodes the file at `path` (a MIDI file, or AMR-NB with its "#!AMR"
    // header) and connects it to the audio output. Fails for other content, a
    // broken file, or when there is no audio device. Once per graph.
    virtual Result<void> renderFile(const std::string& path) = 0;

    // Plays from the current position to the stop position. A graph that runs
    // already goes on; one at its stop position completes again at once.
    virtual Result<void> run() = 0;
    // Holds the stream where it is.
    virtual Result<void> pause() = 0;
    // Stops the stream; the position stays where it stopped.
    virtual Result<void> stop() = 0;
    virtual GraphState state() = 0;

    virtual Result<std::int64_t> currentPosition() = 0;
    virtual Result<std::int64_t> stopPosition() = 0;
    virtual Result<std::int64_t> duration() = 0;
    // Moves the position (and the stop position), within 0 .. duration. A
    // running graph plays on from there. Drops a completion not yet taken.
    virtual Result<void> setPositions(std::int64_t current, std::int64_t stop) = 0;

    // Waits up to `timeoutMs` (`kWaitForever` for no limit) for the next
    // completion. Answers `Cancelled` as soon as `cancel` is set and
    // `interruptWait` called, `None` on time-out. Completions are counted: one
    // that arrived while nobody waited is answered at once, unless `run` or
    // `setPositions` started the stream anew since.
    static constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;
    virtual GraphEvent waitForEvent(std::uint32_t timeoutMs, const std::atomic<bool>& cancel) = 0;
    // Wakes a thread in `waitForEvent` so that it looks at its cancel flag.
    virtual void interruptWait() = 0;

    // -10000 .. 0; other values fail and change nothing.
    virtual Result<void> setVolume(std::int32_t hundredthsOfDecibel) = 0;
    virtual Result<std::int32_t> volume() = 0;
};

class MediaGraphs {
public:
    virtual ~MediaGraphs() = default;
    // A new, empty graph. Fails when the host cannot make one.
    virtual Result<std::unique_ptr<MediaGraph>> createGraph() = 0;
};

} // namespace host
