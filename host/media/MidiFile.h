#pragma once

// Standard MIDI files (formats 0, 1 and 2): the channel messages of every
// track merged into one timeline in microseconds, through the file's tempo
// map, and the song's duration (the last track's end).
//
// Sysex events and meta events other than tempo and end of track are skipped.
// A track that stops early (its data ends, or a byte that cannot start an
// event) keeps the events read so far. A file that is not a MIDI file, has no
// usable time division, or runs longer than `kMaxMidiDuration` fails.

#include "host/Result.h"

#include <cstdint>
#include <span>
#include <vector>

namespace host {

struct MidiMessage {
    std::uint64_t microseconds = 0;
    std::uint8_t status = 0; // 0x80 .. 0xEF
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

struct MidiSong {
    std::vector<MidiMessage> messages; // in the order they sound
    std::uint64_t durationMicroseconds = 0;
};

inline constexpr std::uint64_t kMaxMidiDuration = 600'000'000; // ten minutes
inline constexpr std::size_t kMaxMidiMessages = std::size_t{1} << 20;

Result<MidiSong> parseMidiFile(std::span<const std::uint8_t> bytes);

} // namespace host
