// The demo songs, written for this game: a menu theme, four race themes, a
// strike ostinato and three jingles. Melodies are spelled as text, one
// token per note ("E5:3" is E in octave 5 for three sixteenths, "-:2" a rest
// of two), chords and bass lines follow each bar's chord root, and drum bars
// are sixteen steps of letters (K kick, S snare, C clap, h closed hat, o open
// hat, X crash, t tom).

#include "tools/datakit/Midi.h"
#include "tools/mkdata/DemoSound.h"

#include "host/Verify.h"

#include <string_view>

namespace mkdata {

namespace {

constexpr std::uint16_t kTicksPerQuarter = 96;
constexpr std::uint32_t kSixteenth = kTicksPerQuarter / 4;
constexpr std::uint32_t kBar = 16 * kSixteenth;

enum Channel : std::uint8_t { kLead = 0, kBass = 1, kChords = 2, kDrums = 9 };

// General MIDI programs the synthesiser knows by family.
constexpr std::uint8_t kSquareLead = 80;
constexpr std::uint8_t kSawLead = 81;
constexpr std::uint8_t kSynthBass = 38;
constexpr std::uint8_t kWarmPad = 89;
constexpr std::uint8_t kBrass = 61;
constexpr std::uint8_t kVibraphone = 11;
constexpr std::uint8_t kOrgan = 17;

// A chord: its root (MIDI key, octave 3) and whether it is minor; a seventh
// adds the minor seventh.
struct Chord {
    int root;
    bool minor = false;
    bool seventh = false;
};

int keyOf(std::string_view name) {
    static constexpr int kSteps[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    HOST_VERIFY(!name.empty() && name[0] >= 'A' && name[0] <= 'G');
    int key = kSteps[name[0] - 'A'];
    std::size_t at = 1;
    if (at < name.size() && (name[at] == '#' || name[at] == 'b'))
        key += name[at++] == '#' ? 1 : -1;
    HOST_VERIFY(at + 1 == name.size() && name[at] >= '0' && name[at] <= '8');
    return key + 12 * (name[at] - '0' + 1);
}

class SongWriter {
public:
    SongWriter(int bpm, std::uint8_t lead) {
        m_song.ticksPerQuarter = kTicksPerQuarter;
        m_song.tempo = static_cast<std::uint32_t>(60'000'000 / bpm);
        m_song.programs = {{kLead, lead}, {kBass, kSynthBass}, {kChords, kWarmPad}, {kDrums, 0}};
    }

    void setProgram(Channel channel, std::uint8_t program) {
        for (datakit::MidiProgram& listed : m_song.programs)
            if (listed.channel == channel)
                listed.program = program;
    }

    // The notes of `text` on `channel`, from bar `bar` on; answers the tick
    // after the last.
    std::uint32_t melody(Channel channel, std::uint32_t bar, std::string_view text,
                         std::uint8_t velocity = 100) {
        std::uint32_t at = bar * kBar;
        while (!text.empty()) {
            std::size_t space = text.find(' ');
            std::string_view token = text.substr(0, space);
            text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
            if (token.empty())
                continue;
            std::size_t colon = token.find(':');
            HOST_VERIFY(colon != std::string_view::npos);
            std::uint32_t steps = 0;
            for (char digit : token.substr(colon + 1))
                steps = steps * 10 + static_cast<std::uint32_t>(digit - '0');
            std::uint32_t length = steps * kSixteenth;
            if (token.substr(0, colon) != "-")
                note(channel, at, length * 9 / 10, keyOf(token.substr(0, colon)), velocity);
            at += length;
        }
        return at;
    }

    // A bass line over each chord: `pattern` gives, per step of two
    // sixteenths, the offset from the root in semitones (or -1 for a rest).
    void bass(std::uint32_t bar, const std::vector<Chord>& chords, const std::vector<int>& pattern,
              int stepSixteenths = 2) {
        for (const Chord& chord : chords) {
            std::uint32_t at = bar * kBar;
            for (int offset : pattern) {
                if (offset >= 0)
                    note(kBass, at, stepSixteenths * kSixteenth * 8 / 10, chord.root - 12 + offset, 105);
                at += static_cast<std::uint32_t>(stepSixteenths) * kSixteenth;
            }
            ++bar;
        }
    }

    // Each chord held for a bar, in close position above its root.
    void chords(std::uint32_t bar, const std::vector<Chord>& chords, std::uint8_t velocity = 55) {
        for (const Chord& chord : chords) {
            std::uint32_t at = bar++ * kBar;
            int third = chord.minor ? 3 : 4;
            for (int offset : {0, third, 7})
                note(kChords, at, kBar - kSixteenth, chord.root + 12 + offset, velocity);
            if (chord.seventh)
                note(kChords, at, kBar - kSixteenth, chord.root + 12 + 10, velocity);
        }
    }

    // A drum bar: `lines` of sixteen steps each, a letter per hit.
    void drums(std::uint32_t bar, const std::vector<std::string_view>& lines) {
        for (std::string_view line : lines) {
            HOST_VERIFY(line.size() == 16);
            for (std::uint32_t step = 0; step < 16; ++step) {
                int key = 0;
                std::uint8_t velocity = 100;
                switch (line[step]) {
                case 'K':
                    key = 36;
                    velocity = 120;
                    break;
                case 'S':
                    key = 38;
                    break;
                case 'C':
                    key = 39;
                    break;
                case 'h':
                    key = 42;
                    velocity = step % 4 == 0 ? 90 : 65;
                    break;
                case 'o':
                    key = 46;
                    velocity = 80;
                    break;
                case 'X':
                    key = 49;
                    velocity = 90;
                    break;
                case 't':
                    key = 45;
                    break;
                default:
                    continue;
                }
                note(kDrums, bar * kBar + step * kSixteenth, kSixteenth / 2, key, velocity);
            }
        }
    }

    // The song, ending exactly after `bars` bars.
    datakit::Bytes finish(std::uint32_t bars) {
        m_song.endTick = bars * kBar;
        return datakit::writeMidi(m_song);
    }

private:
    void note(Channel channel, std::uint32_t at, std::uint32_t length, int key, std::uint8_t velocity) {
        m_song.notes.push_back({at, length, static_cast<std::uint8_t>(key), velocity, channel});
    }

    datakit::MidiSong m_song;
};

// A looping theme: a lead melody over a chord per bar, a bass line on the
// chords' roots, held chords (when `chordVelocity` is not 0) and the same
// drum bar throughout, with a crash on the first bar and a fill added to
// the last.
struct Theme {
    int bpm;
    std::uint8_t lead;
    std::uint8_t chordProgram;
    std::vector<Chord> chords;
    std::string_view melody;
    std::uint8_t melodyVelocity;
    std::vector<int> bass;
    int bassStep;
    std::uint8_t chordVelocity;
    bool crash;
    std::vector<std::string_view> drums;
    std::string_view fill;
};

datakit::Bytes themeSong(const Theme& theme) {
    SongWriter song(theme.bpm, theme.lead);
    song.setProgram(kChords, theme.chordProgram);
    song.melody(kLead, 0, theme.melody, theme.melodyVelocity);
    song.bass(0, theme.chords, theme.bass, theme.bassStep);
    if (theme.chordVelocity)
        song.chords(0, theme.chords, theme.chordVelocity);
    const auto bars = static_cast<std::uint32_t>(theme.chords.size());
    for (std::uint32_t bar = 0; bar < bars; ++bar) {
        song.drums(bar, theme.drums);
        if (bar == 0 && theme.crash)
            song.drums(bar, {"X..............."});
        if (bar + 1 == bars && !theme.fill.empty())
            song.drums(bar, {theme.fill});
    }
    return song.finish(bars);
}

// Roots in octave 3.
constexpr int A = 57, B = 59, C = 48, D = 50, E = 52, F = 53, G = 55;

const Theme kMenuTheme{112,
                       kSquareLead,
                       kWarmPad,
                       {{A, true}, {F}, {C + 12}, {G}},
                       "E5:3 D5:1 C5:2 A4:2 C5:2 E5:2 G5:4 "
                       "F5:3 E5:1 C5:2 A4:2 F5:4 E5:2 C5:2 "
                       "G5:3 E5:1 C5:2 E5:2 G5:2 A5:2 G5:4 "
                       "D5:4 B4:2 D5:2 G5:4 -:2 B4:2",
                       92,
                       {0, 0, 12, 0, 0, 12, 0, 7},
                       2,
                       55,
                       true,
                       {"K.....K.K.......", "....S.......S...", "h.h.h.h.h.h.h.ho"},
                       {}};

const Theme kRaceThemes[] = {
    {140,
     kSawLead,
     kWarmPad,
     {{E, true}, {C}, {D}, {B - 12}},
     "B4:2 E5:2 G5:2 B5:2 A5:2 G5:2 F#5:2 E5:2 "
     "G5:3 E5:3 C5:2 E5:2 G5:2 C6:4 "
     "A5:3 F#5:3 D5:2 F#5:2 A5:2 D6:2 C6:2 "
     "B5:4 A5:2 G5:2 F#5:4 D#5:4",
     88,
     {0, 12, 0, 12, 0, 12, 0, 12},
     2,
     45,
     true,
     {"K...K...K...K...", "....S.......S..S", "..o...o...o...o."},
     {}},
    {150,
     kSquareLead,
     kWarmPad,
     {{D}, {B - 12, true}, {G - 12}, {A - 12}},
     "F#5:2 A5:2 D6:4 C#6:2 B5:2 A5:4 "
     "B5:2 F#5:2 D5:2 F#5:2 B5:4 A5:2 F#5:2 "
     "G5:2 B5:2 D6:2 B5:2 G5:2 A5:2 B5:4 "
     "C#6:4 B5:2 A5:2 E5:4 A5:4",
     90,
     {0, 0, 7, 0, 12, 0, 7, 10},
     2,
     45,
     true,
     {"K.......K.K.....", "....S.......S...", "h.h.h.h.h.h.h.h."},
     "............tttt"},
    {132,
     kSquareLead,
     kWarmPad,
     {{A, true, true}, {D, false, true}, {A, true, true}, {D, false, true}},
     "A4:1 -:1 C5:1 -:1 E5:2 G5:1 -:1 A5:3 G5:1 E5:2 D5:2 "
     "F#5:2 -:1 A5:1 C6:2 A5:2 F#5:2 D5:2 E5:2 F#5:2 "
     "E5:2 -:1 A5:1 G5:2 E5:2 C5:2 D5:2 E5:4 "
     "D5:2 F#5:2 A5:2 C6:2 B5:2 A5:2 F#5:4",
     88,
     {0, -1, -1, 0, 12, -1, 10, -1, 0, -1, -1, 0, 7, -1, 10, -1},
     1,
     40,
     false,
     {"K..K......K.....", "....S.......S...", "hhhhhhhhhhhhhh.o"},
     "..............CC"},
    {146,
     kSawLead,
     kOrgan,
     {{G}, {F}, {C}, {G}},
     "D5:2 G5:2 B5:2 D6:4 B5:2 G5:2 A5:2 "
     "C6:3 A5:3 F5:2 A5:2 C6:2 D6:2 C6:2 "
     "E6:4 D6:2 C6:2 G5:4 E5:2 F5:2 "
     "G5:6 D5:2 G5:2 A5:2 B5:4",
     88,
     {0, 0, 0, 12, 0, 0, 10, 12},
     2,
     40,
     true,
     {"K......KK.......", "....S.......S...", "h.h.h.h.h.h.h.h."},
     {}},
};

// Under a strike: a tense ostinato a semitone above the bass, no chords.
const Theme kStrikeTheme{160,
                         kSquareLead,
                         kWarmPad,
                         {{E}, {F}},
                         "E5:1 F5:1 E5:1 G5:1 E5:1 A#5:1 E5:1 G5:1 E5:1 F5:1 E5:1 G5:1 E5:1 A#5:1 E5:1 G5:1 "
                         "F5:1 G5:1 F5:1 A5:1 F5:1 B5:1 A5:1 G5:1 F5:1 G5:1 F5:1 A5:1 F5:1 B5:1 A5:1 G5:1",
                         85,
                         {0, 0, 0, 0, 0, 0, 1, 0},
                         2,
                         0,
                         false,
                         {"K...K...K...K...", "....S.......S...", "hhhhhhhhhhhhhhhh"},
                         {}};

datakit::Bytes winSong() {
    SongWriter song(132, kBrass);
    song.melody(kLead, 0, "G4:2 C5:2 E5:2 G5:4 E5:2 G5:2 C6:10", 110);
    song.melody(kChords, 0, "E4:2 G4:2 C5:2 E5:4 C5:2 E5:2 G5:10", 70);
    song.bass(1, {{C}}, {0, -1, -1, -1, -1, -1, -1, -1});
    song.drums(0, {"t.t.t.t.t.t.t.tt"});
    song.drums(1, {"X...............", "K..............."});
    return song.finish(2);
}

datakit::Bytes lossSong() {
    SongWriter song(96, kBrass);
    song.melody(kLead, 0, "C5:3 G4:3 Eb4:3 D4:3 C4:12", 100);
    song.melody(kBass, 0, "C3:3 Bb2:3 Ab2:3 G2:3 C2:12", 90);
    song.drums(1, {"K..............."});
    return song.finish(2);
}

datakit::Bytes finishSong() {
    SongWriter song(150, kVibraphone);
    song.melody(kLead, 0, "C5:1 E5:1 G5:1 C6:1 E6:1 G6:1 C7:6", 110);
    song.melody(kChords, 0, "-:6 C6:6", 60);
    song.drums(0, {"......X........."});
    return song.finish(1);
}

} // namespace

datakit::Bytes demoSongMidi(int song) {
    switch (song) {
    case kRaceSongA:
    case kRaceSongB:
    case kRaceSongC:
    case kRaceSongD:
        return themeSong(kRaceThemes[song - kRaceSongA]);
    case kStrikeSong:
        return themeSong(kStrikeTheme);
    case kMenuSong:
        return themeSong(kMenuTheme);
    case kWinSong:
        return winSong();
    case kLossSong:
        return lossSong();
    case kFinishSong:
        return finishSong();
    default:
        HOST_VERIFY_MSG(false, "no such demo song");
        return {};
    }
}

bool demoSongLoops(int song) {
    return song <= kMenuSong;
}

} // namespace mkdata
