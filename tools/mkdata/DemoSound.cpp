// The demo set's 24 sounds and their pack. Music is rendered from the songs
// of DemoMusic.cpp; every effect is a few lines of synthesis: oscillators
// under envelopes, pitch sweeps and noise through moving filters. All are
// WAVE files at 8000 Hz, mono, 16-bit, under content type 0 of the
// content-type resource ("audio/x-wav", the type the game's sound engine
// gives every player).

#include "tools/mkdata/DemoSound.h"

#include "tools/datakit/PackWriter.h"
#include "tools/datakit/SoundPack.h"
#include "tools/mkdata/DemoSet.h"
#include "tools/mkdata/DemoSynth.h"

#include <cmath>
#include <numbers>

namespace mkdata {

namespace {

using synth::Filter;
using synth::Noise;
using synth::oscillator;
using synth::sweep;
using synth::Track;
using synth::Wave;

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr std::size_t kSoundPartBytes = 128 * 1024;

// A sound of `seconds` whose sample at time t is `sample(t)`.
template <typename Sample>
Track effect(double seconds, Sample&& sample) {
    Track track(seconds);
    for (std::size_t i = 0; i < track.size(); ++i)
        track.add(i, sample(static_cast<double>(i) / synth::kRate));
    return track;
}

// A phase accumulator: each call moves on by `hz` for one sample.
struct Phase {
    double value = 0;
    double step = 0; // the last move, for band-limited edges
    double operator()(double hz) {
        step = hz / synth::kRate;
        value = std::fmod(value + step, 1.0);
        return value;
    }
};

double fadeIn(double t, double seconds) {
    return t < seconds ? t / seconds : 1.0;
}

double fadeOut(double t, double end, double seconds) {
    return t > end - seconds ? std::max(0.0, (end - t) / seconds) : 1.0;
}

// The engine revving from idle and settling: a pulse at the firing rate
// through a low-pass that opens with the revs, over a rumble of noise.
Track engine() {
    Filter body, rumble;
    Noise noise(0xE1);
    Phase firing, wobble;
    constexpr double kLength = 1.4;
    return effect(kLength, [&](double t) {
        double revs = t < 0.45 ? sweep(45, 130, 0.45, t) : sweep(130, 85, 0.9, t - 0.45);
        double pulse = oscillator(Wave::Pulse, firing(revs), 0.22, firing.step) +
                       0.3 * oscillator(Wave::Sine, wobble(revs * 0.5));
        double tone = body.low(pulse, revs * 5, 1.6);
        double grit = rumble.band(noise.next(), revs * 3, 0.8) * 0.35;
        return (tone + grit) * fadeIn(t, 0.04) * fadeOut(t, kLength, 0.25);
    });
}

// A crash: a burst of noise whose low-pass closes, a falling thud and two
// metal partials that ring out.
Track impact() {
    Filter crunch;
    Noise noise(0x1A);
    Phase thud, metalA, metalB;
    return effect(0.7, [&](double t) {
        double burst = crunch.low(noise.next(), sweep(3500, 300, 0.3, t), 0.9) * std::exp(-7 * t);
        double low = oscillator(Wave::Sine, thud(sweep(110, 38, 0.2, t))) * std::exp(-10 * t);
        double metal = (oscillator(Wave::Sine, metalA(1130)) + oscillator(Wave::Sine, metalB(1577))) * 0.25 *
                       std::exp(-9 * t);
        return 0.9 * burst + 0.9 * low + metal;
    });
}

// Landing after a jump: a soft thud with the springs' creak.
Track landing() {
    Filter creak;
    Noise noise(0x1D);
    Phase thud;
    return effect(0.35, [&](double t) {
        double low = oscillator(Wave::Sine, thud(sweep(90, 45, 0.12, t))) * std::exp(-12 * t);
        return low + 0.3 * creak.band(noise.next(), 600, 3) * std::exp(-18 * t);
    });
}

// A boost: a rising whoosh of band-passed noise over a saw climbing an
// octave and a half.
Track boost() {
    Filter whoosh, tone;
    Noise noise(0xB0);
    Phase saw;
    constexpr double kLength = 0.9;
    return effect(kLength, [&](double t) {
        double centre = sweep(300, 2400, 0.6, t);
        double air = whoosh.band(noise.next(), centre, 1.4);
        double rise = tone.low(oscillator(Wave::Saw, saw(sweep(140, 420, 0.5, t)), 0, saw.step), 1800, 0.8);
        return (0.9 * air + 0.5 * rise) * fadeIn(t, 0.05) * fadeOut(t, kLength, 0.35);
    });
}

// A short chime of `notes` (Hz), `step` seconds apart, each a bell that dies
// away.
Track chime(std::initializer_list<double> notes, double step, double ring) {
    Track track(step * static_cast<double>(notes.size()) + ring);
    double at = 0;
    for (double hz : notes) {
        Phase a, b;
        auto first = static_cast<std::size_t>(at * synth::kRate);
        auto count = static_cast<std::size_t>(ring * synth::kRate);
        for (std::size_t i = 0; i < count; ++i) {
            double t = static_cast<double>(i) / synth::kRate;
            double value =
                oscillator(Wave::Sine, a(hz)) + 0.3 * std::exp(-8 * t) * oscillator(Wave::Sine, b(hz * 3.01));
            track.add(first + i, value * std::exp(-6 * t / ring) * fadeIn(t, 0.003));
        }
        at += step;
    }
    return track;
}

// A beep of the countdown: a pulse tone that starts a little sharp and
// settles, with an octave above it that fades first, dying away as a struck
// tone does.
Track beep(double hz, double seconds) {
    Filter soften;
    Phase tone, octave;
    return effect(seconds, [&](double t) {
        double pitch = sweep(hz * 1.03, hz, 0.03, t);
        double body = oscillator(Wave::Pulse, tone(pitch), 0.4, tone.step) +
                      0.4 * std::exp(-12 * t) * oscillator(Wave::Triangle, octave(pitch * 2));
        return soften.low(body, hz * 4, 0.7) * std::exp(-3.5 * t) * fadeIn(t, 0.004) *
               fadeOut(t, seconds, 0.05);
    });
}

// The menu click: a tick of high noise and a short blip.
Track click() {
    Filter tick;
    Noise noise(0xC1);
    Phase blip;
    return effect(0.06, [&](double t) {
        return 0.6 * tick.high(noise.next(), 2500, 0.7) * std::exp(-120 * t) +
               0.6 * oscillator(Wave::Triangle, blip(1900)) * std::exp(-60 * t);
    });
}

// The item roulette's tick: a wooden knock.
Track rouletteTick() {
    Phase knock;
    return effect(0.05, [&](double t) {
        return oscillator(Wave::Sine, knock(sweep(1400, 900, 0.02, t))) * std::exp(-80 * t);
    });
}

// An item thrown: a falling whistle with air.
Track itemUsed() {
    Filter air;
    Noise noise(0x17);
    Phase whistle;
    constexpr double kLength = 0.45;
    return effect(kLength, [&](double t) {
        return (0.6 * oscillator(Wave::Triangle, whistle(sweep(1600, 300, kLength, t))) +
                0.5 * air.band(noise.next(), sweep(2500, 500, kLength, t), 1.0)) *
               fadeIn(t, 0.01) * fadeOut(t, kLength, 0.15);
    });
}

// A skid: noise through a ringing band-pass whose centre wobbles.
Track skid() {
    Filter squeal;
    Noise noise(0x5C);
    constexpr double kLength = 0.8;
    return effect(kLength, [&](double t) {
        double centre = 1250 + 120 * std::sin(kTwoPi * 7 * t);
        return squeal.band(noise.next(), centre, 6) * fadeIn(t, 0.05) * fadeOut(t, kLength, 0.3);
    });
}

// A horn: two pulse tones a minor third apart.
Track horn() {
    Filter tone;
    Phase low, high;
    constexpr double kLength = 0.5;
    return effect(kLength, [&](double t) {
        double pair = oscillator(Wave::Pulse, low(370), 0.5, low.step) +
                      oscillator(Wave::Pulse, high(440), 0.5, high.step);
        return 0.5 * tone.low(pair, 1500, 0.9) * fadeIn(t, 0.01) * fadeOut(t, kLength, 0.05);
    });
}

// A hazard hit: a wet splat (low noise, falling) and a dropping tone.
Track hazard() {
    Filter splat;
    Noise noise(0x0A);
    Phase drop;
    return effect(0.6, [&](double t) {
        return splat.low(noise.next(), sweep(1200, 150, 0.3, t), 1.5) * std::exp(-6 * t) +
               0.5 * oscillator(Wave::Triangle, drop(sweep(500, 80, 0.5, t))) * std::exp(-4 * t);
    });
}

// A spring: a rising tone with a fast wobble.
Track spring() {
    Phase tone;
    constexpr double kLength = 0.5;
    return effect(kLength, [&](double t) {
        double pitch = sweep(180, 720, 0.35, t) * (1 + 0.08 * std::sin(kTwoPi * 22 * t));
        return oscillator(Wave::Triangle, tone(pitch)) * std::exp(-3 * t) * fadeIn(t, 0.005) *
               fadeOut(t, kLength, 0.1);
    });
}

datakit::Bytes song(int id) {
    Track track = synth::renderMidi(demoSongMidi(id), demoSongLoops(id));
    track.normalise(0.8);
    return synth::waveOf(track);
}

datakit::Bytes waveFile(Track track, double peak = 0.8) {
    track.normalise(peak);
    return synth::waveOf(track);
}

} // namespace

std::vector<datakit::Bytes> demoSoundWaves() {
    return {
        song(kRaceSongA),
        song(kRaceSongB),
        song(kRaceSongC),
        song(kRaceSongD),
        song(kStrikeSong),
        song(kMenuSong),
        song(kWinSong),
        song(kLossSong),
        waveFile(beep(1046, 0.5)), // 8: go
        waveFile(beep(523, 0.22)), // 9: a count
        song(kFinishSong),
        waveFile(impact(), 0.9),
        waveFile(engine()),
        waveFile(landing()),
        waveFile(boost()),
        waveFile(chime({1047, 1319, 1568, 2093}, 0.05, 0.3)), // 15: item box
        waveFile(rouletteTick(), 0.6),
        waveFile(chime({1568, 2093}, 0.08, 0.4)), // 17: item got
        waveFile(itemUsed()),
        waveFile(skid(), 0.6),
        waveFile(horn(), 0.7),
        waveFile(click(), 0.6),
        waveFile(hazard()),
        waveFile(spring(), 0.7),
    };
}

void produceSounds(ProgramFolder& folder) {
    folder.archive.push_back({std::u16string(kSoundContentTypesFile),
                              datakit::writeContentTypes({"audio/x-wav", "audio/ogg", "audio/midi"}),
                              {},
                              {}});
    std::vector<datakit::SoundEntry> sounds;
    for (datakit::Bytes& wave : demoSoundWaves())
        sounds.push_back({kDemoWaveContentType, std::move(wave)});
    // The game reads the sounds in batches of three, but a part file is read
    // whole: parts are cut by size so that no read needs a large free block.
    const std::vector<datakit::Bytes> entries = datakit::soundPackEntries(sounds);
    for (datakit::ArchiveEntry& file : datakit::packArchiveEntries(
             kSoundPackFile, kPackPartSeparatorText,
             datakit::writePack(entries, datakit::partsOfAtMost(entries, kSoundPartBytes))))
        folder.archive.push_back(std::move(file));
}

} // namespace mkdata
