#pragma once

// The frame lines of a replay script, shared by the headless clock, window
// and screen. While there are frame lines the tick is a frame clock: during
// frame N (the frame presented as the (N+1)th) it reads the milliseconds of
// frame lines 0..N added up, so every frame sees exactly the time its line
// gives; past the last line each frame adds the last line's milliseconds.
//
// The events of frame line N are handed to the window once N frames have
// been presented, and a frame presented by any thread but the window thread
// waits (on the virtual clock, a bounded while) until the window has taken
// them all: so they are latched in frame N whatever the program's pacing.
//
// When no frame is presented for `kStallMs` of virtual time (a paused game, a
// shutdown that waits for threads), the tick moves on with the virtual time
// again, so that a program waiting for the tick never waits for ever.
//
// Threads: any thread may ask the tick; the window thread takes events; any
// thread presents.

#include "host/Threads.h"
#include "host/headless/HeadlessScript.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace host {

class HeadlessScheduler;

class HeadlessFrames {
public:
    static constexpr std::uint64_t kStallMs = 1000;
    // The longest a presenting thread waits for the window, in virtual ms.
    static constexpr std::uint32_t kWindowWaitMs = 200;

    // Made on the window thread (the host's creator).
    HeadlessFrames(std::vector<ScriptedFrame> frames, std::shared_ptr<HeadlessScheduler> scheduler);

    // Whether the script has frame lines at all; without them nothing here is used.
    bool active() const { return !m_frames.empty(); }

    std::uint32_t tickCount() const;

    // Window thread: the next event of the frames presented so far; false when
    // none is left, which also says every event taken before has been handled.
    bool nextEvent(WindowEvent& event);

    // After a frame was presented: the frame clock moves to the next frame,
    // and a thread other than the window thread waits for the window.
    void presented();

private:
    std::uint64_t stallLocked() const;

    std::vector<ScriptedFrame> m_frames;
    std::shared_ptr<HeadlessScheduler> m_scheduler;
    ThreadId m_windowThread = 0;

    mutable std::mutex m_lock;
    std::uint64_t m_tick = 0;           // the frame clock without the stall
    std::uint64_t m_lastPresentAt = 0;  // virtual time of the latest present
    std::uint32_t m_presented = 0;      // frames presented
    std::size_t m_nextFrame = 0;        // frame line whose events are taken next
    std::size_t m_nextEvent = 0;        // within it
    std::uint32_t m_handledThrough = 0; // every event of frames up to this one was handled
};

} // namespace host
