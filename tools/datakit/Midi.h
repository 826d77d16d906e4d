#pragma once

// Small standard MIDI files: format 0, one track holding a tempo, a program
// change on each channel used, the notes (note on, then note off with
// velocity 0 after `length` ticks) and the end of the track.

#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <vector>

namespace datakit {

struct MidiNote {
    std::uint32_t start = 0;  // ticks
    std::uint32_t length = 0; // ticks
    std::uint8_t key = 60;
    std::uint8_t velocity = 100;
    std::uint8_t channel = 0;
};

// The instrument of one channel.
struct MidiProgram {
    std::uint8_t channel = 0;
    std::uint8_t program = 0;
};

struct MidiSong {
    std::uint16_t ticksPerQuarter = 480;
    std::uint32_t tempo = 500'000; // microseconds per quarter note
    std::uint8_t program = 0;      // of every channel `programs` does not list
    std::vector<MidiProgram> programs;
    std::vector<MidiNote> notes;
    std::uint32_t endTick = 0; // the end of the track; 0: where the last note ends
};

Bytes writeMidi(const MidiSong& song);

// The song's length in microseconds, as a player works it out.
std::uint64_t midiDurationMicroseconds(const MidiSong& song);

} // namespace datakit
