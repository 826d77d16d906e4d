#pragma once

// The small synthesiser that makes the demo set's sounds: oscillators,
// envelopes, noise and a state-variable filter, mixed into one mono track of
// samples in -1 .. 1, and a player that renders a standard MIDI file with
// its own instruments (General MIDI program numbers pick them, channel 10 is
// the drum kit). Everything is computed from the arguments alone: noise comes
// from a fixed generator seeded per voice, so the same call makes the same
// samples on every run.
//
// The game's sound engine makes every player with the one WAVE content type,
// so music is composed as MIDI and leaves here as PCM for a WAVE file.

#include "tools/datakit/ByteWriter.h"

#include <cstdint>
#include <span>
#include <vector>

namespace mkdata::synth {

inline constexpr double kRate = 8000.0;

// A linear congruential generator: white noise in -1 .. 1.
class Noise {
public:
    explicit Noise(std::uint32_t seed)
        : m_state(seed) {}
    double next();

private:
    std::uint32_t m_state;
};

// A state-variable filter (trapezoidal integration, stable at any cutoff
// below the Nyquist rate). `resonance` 0.5 is gentle, 4 rings.
class Filter {
public:
    struct Out {
        double low, band, high;
    };
    Out step(double in, double cutoffHz, double resonance);
    double low(double in, double cutoffHz, double resonance = 0.7) {
        return step(in, cutoffHz, resonance).low;
    }
    double band(double in, double cutoffHz, double resonance = 0.7) {
        return step(in, cutoffHz, resonance).band;
    }
    double high(double in, double cutoffHz, double resonance = 0.7) {
        return step(in, cutoffHz, resonance).high;
    }

private:
    double m_ic1 = 0, m_ic2 = 0;
};

// Attack, decay to the sustain level, release after `held` seconds; times in
// seconds, levels 0 .. 1.
struct Envelope {
    double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.08;
    double at(double t, double held) const;
    double length(double held) const { return held + release; }
};

enum class Wave { Sine, Triangle, Saw, Pulse };
// `wave` at `phase` (0 .. 1) of its cycle; `duty` is the pulse's high part.
// With the phase's `step` per sample, the saw's and the pulse's edges are
// band-limited.
double oscillator(Wave wave, double phase, double duty = 0.5, double step = 0);

// A frequency that moves from `from` to `to` Hz over `seconds`, exponentially
// (a pitch sweep); it holds `to` after.
double sweep(double from, double to, double seconds, double t);

// Mono samples, mixed by adding.
class Track {
public:
    explicit Track(double seconds);
    std::size_t size() const { return m_samples.size(); }
    // Adds `value` at sample `index`; past the end it wraps to the start when
    // the track loops, else the track grows.
    void add(std::size_t index, double value);
    void setLooping(bool looping) { m_looping = looping; }
    std::span<const double> samples() const { return m_samples; }
    // Scales the track so that its loudest sample reaches `peak`, through a
    // soft limit that rounds off what would clip.
    void normalise(double peak);
    // Drops the samples at the end that 16 bits would round to silence.
    void trimSilence();
    // 16-bit little-endian PCM.
    datakit::Bytes pcm16() const;

private:
    std::vector<double> m_samples;
    bool m_looping = false;
};

// Renders a standard MIDI file with this synthesiser's instruments. A looping
// render lasts exactly the song (its end of track) and lays the tails of the
// last notes over its start, so the sound can be played again at once
// without a seam; else the render lasts until the last note has died away.
// Bytes the MIDI reader refuses give an empty track.
Track renderMidi(std::span<const std::uint8_t> midi, bool looping);

// A WAVE file of `track` at 8000 Hz, mono, 16-bit.
datakit::Bytes waveOf(const Track& track);

} // namespace mkdata::synth
