#pragma once

// The headless host's input: a small text that a person can read and write.
//
//     # A comment; blank lines are ignored.
//     0     activate                  # the window became active
//     0     focus-gained
//     100   key-down F1               # keys: A..Z, 0..9, F1..F12, RETURN, ESCAPE,
//     +50   key-up F1                 #   HOME, LEFT, UP, RIGHT, DOWN, BACK, TAB,
//     200   stylus-down 120 160       #   SPACE, LWIN, RWIN, or #NN for code NN
//     210   stylus-move 130 170       # stylus positions in screen pixels
//     220   stylus-up 130 170
//     300   deactivate
//     300   focus-lost
//     400   settings-changed
//     500   power suspend             # on, idle, suspend or unattended
//     600   orientation 1             # the device is held turned (0, 1, 2 or 4)
//     700   orientation 0             #   until it is held upright again
//     900   quit
//     answer yes                      # answers to the yes/no questions, in order
//     fault no-ddraw-library          # a display step that fails from the start
//     hash-frames                     # every presented frame is hashed
//     seed 12345                      # seeds the program's shared random generator
//     frame 40                        # a frame of 40 ms without input
//     frame 40 key-down 5, stylus-down 120 160
//
// A timed line starts with the virtual time in milliseconds at which its event
// arrives, or with +N for N after the previous timed line. Events of the same
// time arrive in the order written.
//
// Frame lines make a replay: the Nth frame line (from 0) holds what happens
// between the (N-1)th presented frame and the Nth, so its events, separated
// by commas, are latched in frame N. While a script has frame lines, the tick
// does not follow the virtual time: during frame N it reads the sum of the
// milliseconds of frame lines 0 to N (past the last line, each frame adds the
// last line's milliseconds). `seed` replaces the tick with which the program
// seeds its shared random generator.

#include "host/Result.h"
#include "host/Window.h"
#include "host/display/DisplayFaults.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

struct ScriptedEvent {
    std::uint64_t time = 0;
    WindowEvent event;
};

// From `time` on, the device shows `orientation` whatever the program asks.
struct ScriptedOrientation {
    std::uint64_t time = 0;
    std::int32_t orientation = 0;

    bool operator==(const ScriptedOrientation&) const = default;
};

// The input latched in one frame of a replay, and how far the tick moves on
// when the frame begins.
struct ScriptedFrame {
    std::uint32_t milliseconds = 0;
    std::vector<WindowEvent> events;

    bool operator==(const ScriptedFrame&) const = default;
};

struct Script {
    std::vector<ScriptedEvent> events;             // by time
    std::vector<ScriptedOrientation> orientations; // by time
    std::vector<bool> answers;                     // true for yes
    std::vector<DisplayFault> faults;
    bool hashFrames = false;
    std::optional<std::int64_t> seed;
    std::vector<ScriptedFrame> frames; // in frame order
};

// Fails on the first line it cannot read, naming the line and the reason.
Result<Script> parseScript(std::string_view text);

// Reads and parses a script file.
Result<Script> loadScript(const std::string& path);

// The script as text that `parseScript` reads back into an equal script
// (timed events and orientations in time order). Fails on a value the text
// cannot carry: a time above 2^32 - 1 ms, a key outside 0..255.
Result<std::string> formatScript(const Script& script);

// One event as a frame line writes it ("key-down #53", "stylus-up 1 2").
Result<std::string> formatEvent(const WindowEvent& event);

// One frame line, without its line end.
Result<std::string> formatFrame(const ScriptedFrame& frame);

} // namespace host
