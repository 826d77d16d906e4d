#include "host/media/MidiFile.h"
#include "tools/datakit/Midi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes header(std::uint16_t format, std::uint16_t tracks, std::uint16_t division) {
    return {'M',
            'T',
            'h',
            'd',
            0,
            0,
            0,
            6,
            0,
            static_cast<std::uint8_t>(format),
            0,
            static_cast<std::uint8_t>(tracks),
            static_cast<std::uint8_t>(division >> 8),
            static_cast<std::uint8_t>(division)};
}

Bytes track(const Bytes& events, int declaredLength = -1) {
    auto length = static_cast<std::uint32_t>(declaredLength < 0 ? events.size() : declaredLength);
    // Sized once and filled in place: growing an 8-byte vector by an insert
    // makes GCC 12 at -O3 warn falsely about the copy's bounds.
    Bytes out(8 + events.size());
    const std::uint8_t header[8] = {'M',
                                    'T',
                                    'r',
                                    'k',
                                    static_cast<std::uint8_t>(length >> 24),
                                    static_cast<std::uint8_t>(length >> 16),
                                    static_cast<std::uint8_t>(length >> 8),
                                    static_cast<std::uint8_t>(length)};
    std::copy(std::begin(header), std::end(header), out.begin());
    std::copy(events.begin(), events.end(), out.begin() + 8);
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::uint64_t> times(const host::MidiSong& song) {
    std::vector<std::uint64_t> out;
    for (const host::MidiMessage& message : song.messages)
        out.push_back(message.microseconds);
    return out;
}

TEST(MidiFile, ReadsWhatDatakitWrites) {
    datakit::MidiSong written;
    written.ticksPerQuarter = 96;
    written.tempo = 400'000;
    written.program = 19;
    written.notes = {{0, 96, 60, 90, 0}, {48, 96, 64, 80, 1}, {192, 24, 67, 70, 0}};
    auto song = host::parseMidiFile(datakit::writeMidi(written));
    ASSERT_TRUE(song.ok()) << song.error().message;

    // 96 ticks are 400 ms; the last note ends at tick 216.
    EXPECT_EQ(song.value().durationMicroseconds, 900'000u);
    EXPECT_EQ(song.value().durationMicroseconds, datakit::midiDurationMicroseconds(written));
    std::vector<std::uint8_t> statuses;
    for (const host::MidiMessage& message : song.value().messages)
        statuses.push_back(message.status);
    EXPECT_EQ(statuses, (std::vector<std::uint8_t>{0xC0, 0xC1, 0x90, 0x91, 0x90, 0x91, 0x90, 0x90}));
    EXPECT_EQ(times(song.value()),
              (std::vector<std::uint64_t>{0, 0, 0, 200'000, 400'000, 600'000, 800'000, 900'000}));
}

TEST(MidiFile, TempoMapsAcrossTracksRunningStatusAndSmpteTime) {
    struct Case {
        const char* name;
        Bytes file;
        std::vector<std::uint64_t> times;
        std::uint64_t duration;
    };
    const Case cases[] = {
        {"tempo in the first track of a format 1 file applies to the others",
         concat({header(1, 2, 100),
                 track({0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, // 1 s per quarter
                        0x64, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, // at tick 100: 0.5 s
                        0x00, 0xFF, 0x2F, 0x00}),
                 track({0x64, 0x90, 0x3C, 0x40, // tick 100: 1 s
                        0x64, 0x3C, 0x00,       // running status, tick 200: 1.5 s
                        0x00, 0xFF, 0x2F, 0x00})}),
         {1'000'000, 1'500'000},
         1'500'000},
        {"SMPTE division: 25 frames of 40 ticks, tempo ignored",
         concat({header(0, 1, 0xE728), track({0x00, 0xFF, 0x51, 0x03, 0x01, 0x00, 0x00, 0x81, 0x48, 0xC0,
                                              0x05, 0x00, 0xFF, 0x2F, 0x00})}),
         {200'000},
         200'000},
        {"sysex and unknown chunks are skipped; a track cut short keeps what it read",
         concat({header(0, 1, 480), Bytes{'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 1, 2},
                 track({0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x83, 0x60, 0xB0, 0x07, 0x64, 0x00, 0x90}, 40)}),
         {500'000},
         500'000},
    };
    for (const Case& c : cases) {
        auto song = host::parseMidiFile(c.file);
        ASSERT_TRUE(song.ok()) << c.name << ": " << song.error().message;
        EXPECT_EQ(times(song.value()), c.times) << c.name;
        EXPECT_EQ(song.value().durationMicroseconds, c.duration) << c.name;
    }
}

TEST(MidiFile, RefusesWhatIsNotASongItCanPlay) {
    const std::pair<const char*, Bytes> cases[] = {
        {"not MIDI", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}},
        {"cut header", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0}},
        {"header longer than the file", concat({Bytes{'M', 'T', 'h', 'd', 0, 0, 1, 0}, Bytes(6, 0)})},
        {"division 0", concat({header(0, 1, 0), track({0x00, 0xFF, 0x2F, 0x00})})},
        {"longer than ten minutes",
         concat({header(0, 1, 1), track({0x00, 0xFF, 0x51, 0x03, 0x7F, 0xFF, 0xFF, 0x8F, 0xFF, 0xFF, 0x7F,
                                         0xFF, 0x2F, 0x00})})},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_FALSE(host::parseMidiFile(bytes).ok()) << name;
}

} // namespace
