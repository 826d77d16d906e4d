// The demo set's music and effects: songs that are real MIDI tunes (a
// melody, a bass, drums on channel 10, a tempo) whose loops last whole bars,
// and 24 WAVE sounds the platform's WAVE player reads, each audible, unclipped
// and shaped over time rather than a held tone.

#include "tools/mkdata/DemoSound.h"
#include "host/media/MidiFile.h"
#include "platform/media/WaveFile.h"
#include "tools/mkdata/DemoSynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr std::uint8_t kNoteOn = 0x90;
constexpr int kDrumChannel = 9;

struct SongFacts {
    std::set<int> melodyKeys, bassKeys, drumKeys;
    std::uint64_t duration = 0;
};

SongFacts factsOf(int song) {
    auto parsed = host::parseMidiFile(mkdata::demoSongMidi(song));
    EXPECT_TRUE(parsed.ok()) << "song " << song;
    SongFacts facts;
    if (!parsed.ok())
        return facts;
    facts.duration = parsed.value().durationMicroseconds;
    for (const host::MidiMessage& message : parsed.value().messages) {
        if ((message.status & 0xF0) != kNoteOn || message.data2 == 0)
            continue;
        int channel = message.status & 0x0F;
        (channel == kDrumChannel ? facts.drumKeys
         : channel == 0          ? facts.melodyKeys
                                 : facts.bassKeys)
            .insert(message.data1);
    }
    return facts;
}

TEST(DemoSound, MusicIsATuneWithMelodyBassAndDrumsThatLoopsOnWholeBars) {
    for (int song : {mkdata::kMenuSong, mkdata::kRaceSongA, mkdata::kRaceSongB, mkdata::kRaceSongC,
                     mkdata::kRaceSongD, mkdata::kStrikeSong}) {
        SCOPED_TRACE(song);
        SongFacts facts = factsOf(song);
        EXPECT_GE(facts.melodyKeys.size(), 5u) << "a melody, not a drone";
        EXPECT_GE(facts.bassKeys.size(), 2u);
        EXPECT_TRUE(facts.drumKeys.contains(36) && facts.drumKeys.contains(38) &&
                    (facts.drumKeys.contains(42) || facts.drumKeys.contains(46)))
            << "kick, snare and a hat on channel 10";
        EXPECT_TRUE(mkdata::demoSongLoops(song));

        // The rendered loop lasts exactly the song, so that playing it
        // again keeps the beat.
        mkdata::synth::Track track = mkdata::synth::renderMidi(mkdata::demoSongMidi(song), true);
        EXPECT_NEAR(static_cast<double>(track.size()), static_cast<double>(facts.duration) * 8000 / 1e6, 1.0);
    }
}

// The sample at `seconds` of a 16-bit mono WAVE's PCM.
struct Pcm {
    std::vector<double> samples;
    double rms(std::size_t from, std::size_t to) const {
        double sum = 0;
        for (std::size_t i = from; i < to; ++i)
            sum += samples[i] * samples[i];
        return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0;
    }
};

TEST(DemoSound, EverySoundIsAnAudibleUnclippedWaveThatChangesOverTime) {
    std::vector<datakit::Bytes> waves = mkdata::demoSoundWaves();
    ASSERT_EQ(waves.size(), 24u);
    for (std::size_t id = 0; id < waves.size(); ++id) {
        SCOPED_TRACE(id);
        auto layout = platform::parseWave(waves[id]);
        ASSERT_TRUE(layout.has_value());
        EXPECT_TRUE(layout->chunked);
        EXPECT_EQ(layout->format.formatTag, platform::kWaveFormatPcm);
        EXPECT_EQ(layout->format.channels, 1);
        EXPECT_EQ(layout->format.samplesPerSec, 8000u);
        EXPECT_EQ(layout->format.bitsPerSample, 16);

        Pcm pcm;
        for (std::size_t at = layout->dataOffset; at + 1 < layout->dataOffset + layout->dataLength; at += 2)
            pcm.samples.push_back(static_cast<std::int16_t>(waves[id][at] | (waves[id][at + 1] << 8)) /
                                  32768.0);
        ASSERT_GE(pcm.samples.size(), 400u) << "at least 50 ms";
        double peak = 0;
        for (double sample : pcm.samples)
            peak = std::max(peak, std::abs(sample));
        EXPECT_GT(peak, 0.3) << "audible";
        EXPECT_LT(peak, 0.99) << "no clipping";

        // Loudness over 25 ms windows: an envelope, or the beats of a
        // tune, make windows of clearly different loudness; a held tone
        // does not.
        constexpr std::size_t kWindow = 200;
        double quietest = 1, loudest = 0;
        for (std::size_t from = 0; from + kWindow <= pcm.samples.size(); from += kWindow) {
            double level = pcm.rms(from, from + kWindow);
            quietest = std::min(quietest, level);
            loudest = std::max(loudest, level);
        }
        EXPECT_GT(loudest, 2 * quietest) << "the level moves over time";
    }
}

TEST(DemoSound, TheSameCallMakesTheSameBytes) {
    EXPECT_EQ(mkdata::demoSoundWaves(), mkdata::demoSoundWaves());
}

} // namespace
