#pragma once

// The demo set's music and sound effects. The songs are standard MIDI files
// made by code (a lead, a bass, chords and drums on channel 10 over a
// tempo); the synthesiser of DemoSynth.h renders each into a WAVE file,
// because the game's sound engine makes every player with its one WAVE
// content type. The effects are synthesised directly.
//
// Sound ids are those the game asks for: 0 to 3 the race music by track
// theme, 4 the music under a strike, 5 the menu music, 6 and 7 the win and
// loss jingles, 8 and 9 the start and the countdown beeps, 10 the finish
// line, 11 an impact, 12 the engine, 13 a landing, 14 a boost, 15 an item
// box, 16 to 18 the item draw, the item got and an item used, 19 a skid, 20
// a horn, 21 the menu click (also a coin), 22 a hazard and 23 a spring.

#include "tools/datakit/ByteWriter.h"

#include <vector>

namespace mkdata {

enum DemoSong : int {
    kRaceSongA,
    kRaceSongB,
    kRaceSongC,
    kRaceSongD,
    kStrikeSong,
    kMenuSong,
    kWinSong,
    kLossSong,
    kFinishSong,
    kDemoSongCount
};

// Song `song` as a standard MIDI file (format 0).
datakit::Bytes demoSongMidi(int song);
// Whether song `song` is a loop (music that plays again when it ends) rather
// than a jingle.
bool demoSongLoops(int song);

// The 24 sounds by id, each a WAVE file.
std::vector<datakit::Bytes> demoSoundWaves();

} // namespace mkdata
