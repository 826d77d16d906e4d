#pragma once

// Replay scripts for the headless host, built frame by frame: the seed, then
// frames of given milliseconds with the key and stylus events taken before
// each. The text is the headless host's own script format (its one writer,
// `host::formatScript`), so anything built here reads back unchanged.
//
//     datakit::ReplayScript replay(1234);
//     replay.idle(25, 40).keyTap('5', 40).idle(100, 40).quit();
//     datakit::writeFile(path, replay.bytes());

#include "host/headless/HeadlessScript.h"
#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <string>

namespace datakit {

class ReplayScript {
public:
    explicit ReplayScript(std::int64_t seed);

    // `count` frames of `milliseconds` each, without input. The first frame
    // also activates the window and gives it the focus, as a player's run begins.
    ReplayScript& idle(std::uint32_t count, std::uint32_t milliseconds);
    // One frame of `milliseconds` that takes `events`.
    ReplayScript& frame(std::uint32_t milliseconds, std::vector<host::WindowEvent> events);
    // A key pressed in one frame and released in the next.
    ReplayScript& keyTap(std::int32_t key, std::uint32_t milliseconds);
    // The stylus put down at (x, y) in one frame and lifted there in the next.
    ReplayScript& stylusTap(std::int32_t x, std::int32_t y, std::uint32_t milliseconds);
    // A frame of 0 ms that ends the run.
    ReplayScript& quit();

    const host::Script& script() const { return m_script; }
    std::size_t frameCount() const { return m_script.frames.size(); }
    // The script's text; a key outside 0..255 is our own mistake and stops.
    std::string text() const;
    Bytes bytes() const;

private:
    host::Script m_script;
};

} // namespace datakit
