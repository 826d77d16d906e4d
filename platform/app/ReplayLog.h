#pragma once

// What a run writes for a replay: `--record FILE` writes the run as a
// headless script (its seed, then a frame line per presented frame with the
// frame's milliseconds and the window events taken before it), and
// `--hashes FILE` writes a line per frame the game painted:
//
//     FRAME STATE_HASH FRAME_HASH     (FRAME from 0, both hashes 16 hex digits)
//
// FRAME counts every present of the host's screen (the game's, the shell's
// own screens, the display's), as the replaying host does. The state hash comes from the composition root
// (`StartupHooks::stateHash`; 0 without one); the frame hash is the headless
// screen's hash of the presented pixels.
//
// Threads: events come from the window thread, presents from any thread, the
// hash line from the game thread; one lock keeps them apart. A write that
// fails is logged once and the run goes on.

#include "host/Clock.h"
#include "host/Result.h"
#include "host/Screen.h"
#include "host/Window.h"
#include "host/headless/HeadlessScript.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <span>
#include <string>

namespace platform {

class ReplayLog {
public:
    struct Options {
        std::string recordPath; // empty: no recording
        std::string hashesPath; // empty: no hashes
        std::uint64_t (*stateHash)() = nullptr;
    };

    // Opens the files and watches `screen`'s presents; a recording starts
    // with the clock's random seed, so a run that records has its seed fixed
    // before the program reads it.
    static host::Result<std::unique_ptr<ReplayLog>> open(const Options& options, host::Clock& clock,
                                                         host::Screen& screen);
    // Stops watching the screen and writes the frame line still open, ending with a quit.
    ~ReplayLog();
    ReplayLog(const ReplayLog&) = delete;
    ReplayLog& operator=(const ReplayLog&) = delete;

    bool hashes() const { return m_hashes.is_open(); }

    // Window thread: an event the window gave, latched in the frame to come.
    void event(const host::WindowEvent& event);
    struct Frame {
        std::uint32_t number = 0;
        std::uint64_t hash = 0; // 0 when no hashes are written
    };
    // Any thread presenting: closes the frame's line.
    void presented(std::span<const std::uint16_t> pixels);
    // The frame presented last; asked under the screen lock of that present.
    Frame lastPresented();
    // Game thread, after `presented` for a frame the game painted: writes its hash line.
    void painted(const Frame& frame);

private:
    ReplayLog(const Options& options, host::Clock& clock, host::Screen& screen);
    void writeLine(std::ofstream& file, const std::string& line);

    Options m_options;
    host::Clock& m_clock;
    host::Screen& m_screen;
    std::mutex m_lock;
    std::ofstream m_record;
    std::ofstream m_hashes;
    host::ScriptedFrame m_pending;
    std::uint32_t m_lastPresentTick = 0;
    std::uint32_t m_frames = 0;
    Frame m_lastPresented;
    bool m_quitRecorded = false;
    bool m_failed = false;
};

} // namespace platform
