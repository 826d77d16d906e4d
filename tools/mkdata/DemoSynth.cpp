#include "tools/mkdata/DemoSynth.h"

#include "host/media/MidiFile.h"
#include "tools/datakit/Wave.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkdata::synth {

namespace {

constexpr double kPi = std::numbers::pi;
// Filters stay below this share of the sample rate.
constexpr double kMaxCutoff = 0.45 * kRate;

std::size_t sampleAt(double seconds) {
    return static_cast<std::size_t>(std::max(0.0, seconds) * kRate);
}

double noteHz(int key) {
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

// A note of a pitched instrument: where it starts and how long the key is
// held, in seconds, its key and its loudness (0 .. 1).
struct Note {
    double start, held;
    int key;
    double level;
};

// The melodic instruments, chosen by General MIDI program family.
enum class Instrument { Lead, SawLead, Bass, Pad, Brass, Bell, Organ };

Instrument instrumentOf(int program) {
    if (program >= 32 && program < 40)
        return Instrument::Bass;
    if (program >= 56 && program < 64)
        return Instrument::Brass;
    if (program >= 8 && program < 16)
        return Instrument::Bell;
    if (program >= 16 && program < 24)
        return Instrument::Organ;
    if (program == 81)
        return Instrument::SawLead;
    if (program >= 88 && program < 96)
        return Instrument::Pad;
    return Instrument::Lead;
}

void playPitched(Track& track, Instrument instrument, const Note& note, std::uint32_t seed) {
    const double hz = noteHz(note.key);
    Envelope env;
    switch (instrument) {
    case Instrument::Lead:
        env = {0.004, 0.12, 0.55, 0.06};
        break;
    case Instrument::SawLead:
        env = {0.01, 0.2, 0.6, 0.08};
        break;
    case Instrument::Bass:
        env = {0.003, 0.15, 0.6, 0.05};
        break;
    case Instrument::Pad:
        env = {0.12, 0.3, 0.7, 0.3};
        break;
    case Instrument::Brass:
        env = {0.03, 0.15, 0.75, 0.1};
        break;
    case Instrument::Bell:
        env = {0.002, 0.9, 0.0, 0.4};
        break;
    case Instrument::Organ:
        env = {0.01, 0.05, 0.9, 0.04};
        break;
    }
    Filter filter;
    Noise breath(seed);
    double phase = 0, phase2 = 0, phase3 = 0;
    const std::size_t first = sampleAt(note.start);
    const std::size_t count = sampleAt(env.length(note.held));
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double amp = env.at(t, note.held) * note.level;
        // Vibrato sets in after a quarter second, as a player's would.
        const double vibrato =
            1.0 + 0.006 * std::min(1.0, std::max(0.0, t - 0.25) * 4) * std::sin(2 * kPi * 5.5 * t);
        double f = hz * vibrato;
        double value = 0;
        switch (instrument) {
        case Instrument::Lead: {
            // A pulse whose width breathes slowly, softened by a low-pass.
            double duty = 0.3 + 0.12 * std::sin(2 * kPi * 0.7 * t);
            value = filter.low(oscillator(Wave::Pulse, phase, duty, f / kRate), std::min(kMaxCutoff, hz * 6),
                               0.8);
            break;
        }
        case Instrument::SawLead: {
            double detuned = 0.5 * (oscillator(Wave::Saw, phase, 0, f / kRate) +
                                    oscillator(Wave::Saw, phase2, 0, f / kRate));
            value = filter.low(detuned, std::min(kMaxCutoff, 900 + 2600 * std::exp(-6 * t)), 1.2);
            break;
        }
        case Instrument::Bass: {
            // A saw under a closing filter: the pluck of a synth bass.
            double cutoff = hz * (1.5 + 10 * std::exp(-14 * t));
            value =
                filter.low(oscillator(Wave::Saw, phase, 0, f / kRate), std::min(kMaxCutoff, cutoff), 2.0) +
                0.5 * oscillator(Wave::Sine, phase);
            break;
        }
        case Instrument::Pad: {
            double chorus = oscillator(Wave::Saw, phase, 0, f / kRate) +
                            oscillator(Wave::Saw, phase2, 0, f / kRate) +
                            0.5 * oscillator(Wave::Triangle, phase3);
            value = 0.4 * filter.low(chorus, std::min(kMaxCutoff, hz * 3), 0.6);
            break;
        }
        case Instrument::Brass: {
            // The filter opens as the player blows, with a little breath noise.
            double cutoff = hz * (1.2 + 5 * std::min(1.0, t / 0.06));
            value = filter.low(oscillator(Wave::Saw, phase, 0, f / kRate) + 0.03 * breath.next(),
                               std::min(kMaxCutoff, cutoff), 0.9);
            break;
        }
        case Instrument::Bell:
            // Inharmonic partials that die faster the higher they are.
            value = oscillator(Wave::Sine, phase) + 0.5 * std::exp(-4 * t) * oscillator(Wave::Sine, phase2) +
                    0.25 * std::exp(-9 * t) * oscillator(Wave::Sine, phase3);
            break;
        case Instrument::Organ:
            value = 0.6 * oscillator(Wave::Sine, phase) + 0.3 * oscillator(Wave::Sine, phase2) +
                    0.2 * oscillator(Wave::Triangle, phase3);
            break;
        }
        track.add(first + i, value * amp);
        phase = std::fmod(phase + f / kRate, 1.0);
        const double second = instrument == Instrument::Bell    ? 2.76
                              : instrument == Instrument::Organ ? 2.0
                                                                : 1.007;
        const double third = instrument == Instrument::Bell    ? 5.4
                             : instrument == Instrument::Organ ? 4.0
                                                               : 0.5;
        phase2 = std::fmod(phase2 + f * second / kRate, 1.0);
        phase3 = std::fmod(phase3 + f * third / kRate, 1.0);
    }
}

// The drum kit of channel 10, by General MIDI key.
void playDrum(Track& track, int key, double start, double level, std::uint32_t seed) {
    Noise noise(seed);
    Filter filter, second;
    const std::size_t first = sampleAt(start);
    auto render = [&](double seconds, auto&& sample) {
        const std::size_t count = sampleAt(seconds);
        for (std::size_t i = 0; i < count; ++i)
            track.add(first + i, level * sample(static_cast<double>(i) / kRate));
    };
    double phase = 0;
    switch (key) {
    case 35:
    case 36: // kick: a sine falling fast in pitch, and a click
        render(0.35, [&](double t) {
            phase = std::fmod(phase + sweep(150, 48, 0.08, t) / kRate, 1.0);
            return 1.1 * std::exp(-9 * t) * oscillator(Wave::Sine, phase) +
                   0.4 * std::exp(-300 * t) * noise.next();
        });
        break;
    case 38:
    case 40: // snare: a short tone and band-passed rattle
        render(0.25, [&](double t) {
            phase = std::fmod(phase + sweep(240, 170, 0.03, t) / kRate, 1.0);
            return 0.5 * std::exp(-25 * t) * oscillator(Wave::Triangle, phase) +
                   0.8 * std::exp(-16 * t) * filter.band(noise.next(), 1900, 0.6);
        });
        break;
    case 39: // hand clap: three quick bursts, then a tail
        render(0.22, [&](double t) {
            double burst = std::fmod(t, 0.011) < 0.004 && t < 0.033 ? 1.0 : std::exp(-20 * (t - 0.033));
            return 0.8 * burst * filter.band(noise.next(), 1400, 1.2);
        });
        break;
    case 42:
    case 44: // closed hat
        render(0.06,
               [&](double t) { return 0.45 * std::exp(-70 * t) * filter.high(noise.next(), 3000, 0.7); });
        break;
    case 46: // open hat
        render(0.3, [&](double t) { return 0.4 * std::exp(-11 * t) * filter.high(noise.next(), 2800, 0.7); });
        break;
    case 49:
    case 57: // crash cymbal
        render(1.2, [&](double t) {
            return 0.45 * std::exp(-3.2 * t) * second.high(filter.high(noise.next(), 2200, 0.5), 2600, 0.5);
        });
        break;
    case 41:
    case 43:
    case 45:
    case 47: { // toms, low to high
        double pitch = 90.0 + 25.0 * (key - 41);
        render(0.4, [&](double t) {
            phase = std::fmod(phase + sweep(pitch * 1.5, pitch, 0.1, t) / kRate, 1.0);
            return 0.9 * std::exp(-8 * t) * oscillator(Wave::Sine, phase) +
                   0.1 * std::exp(-40 * t) * noise.next();
        });
        break;
    }
    default: // anything else: a wood block
        render(0.08, [&](double t) {
            phase = std::fmod(phase + 800 / kRate, 1.0);
            return 0.5 * std::exp(-50 * t) * oscillator(Wave::Sine, phase);
        });
        break;
    }
}

} // namespace

double Noise::next() {
    m_state = m_state * 1103515245u + 12345u;
    return static_cast<double>((m_state >> 8) & 0xFFFF) / 32767.5 - 1.0;
}

Filter::Out Filter::step(double in, double cutoffHz, double resonance) {
    const double g = std::tan(kPi * std::clamp(cutoffHz, 10.0, kMaxCutoff) / kRate);
    const double k = 1.0 / std::max(0.1, resonance);
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = in - m_ic2;
    const double v1 = a1 * m_ic1 + a2 * v3;
    const double v2 = m_ic2 + a2 * m_ic1 + a3 * v3;
    m_ic1 = 2 * v1 - m_ic1;
    m_ic2 = 2 * v2 - m_ic2;
    return {v2, v1, in - k * v1 - v2};
}

double Envelope::at(double t, double held) const {
    auto holding = [&](double when) {
        if (when < attack)
            return when / attack;
        double d = (when - attack) / std::max(decay, 1e-6);
        return sustain + (1.0 - sustain) * std::exp(-3.0 * d);
    };
    if (t < held)
        return holding(t);
    double releasing = 1.0 - (t - held) / std::max(release, 1e-6);
    return releasing <= 0 ? 0.0 : holding(held) * releasing * releasing;
}

namespace {

// The correction that rounds off a step of a wave at phase 0, for a phase
// that moves by `step` per sample (a polynomial band-limited step): without
// it, the harmonics above the Nyquist rate fold back as false tones.
double blep(double phase, double step) {
    if (step <= 0)
        return 0;
    if (phase < step) {
        double x = phase / step;
        return x + x - x * x - 1;
    }
    if (phase > 1 - step) {
        double x = (phase - 1) / step;
        return x * x + x + x + 1;
    }
    return 0;
}

} // namespace

double oscillator(Wave wave, double phase, double duty, double step) {
    switch (wave) {
    case Wave::Sine:
        return std::sin(2 * kPi * phase);
    case Wave::Triangle:
        return phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
    case Wave::Saw:
        return 2 * phase - 1 - blep(phase, step);
    case Wave::Pulse:
        return (phase < duty ? 1.0 : -1.0) + blep(phase, step) - blep(std::fmod(phase + 1 - duty, 1.0), step);
    }
    return 0;
}

double sweep(double from, double to, double seconds, double t) {
    if (t >= seconds)
        return to;
    return from * std::pow(to / from, t / seconds);
}

Track::Track(double seconds)
    : m_samples(sampleAt(seconds), 0.0) {
}

void Track::add(std::size_t index, double value) {
    if (index >= m_samples.size()) {
        if (m_looping && !m_samples.empty())
            index %= m_samples.size();
        else
            m_samples.resize(index + 1, 0.0);
    }
    m_samples[index] += value;
}

void Track::normalise(double peak) {
    double loudest = 0;
    for (double sample : m_samples)
        loudest = std::max(loudest, std::abs(sample));
    if (loudest == 0)
        return;
    // Scale so that the loudest tenth of the range is rounded off by tanh
    // rather than clipped.
    const double gain = 1.2 * peak / loudest;
    const double limit = std::tanh(1.2);
    for (double& sample : m_samples)
        sample = peak * std::tanh(sample * gain / peak) / limit;
}

void Track::trimSilence() {
    while (!m_samples.empty() && std::abs(m_samples.back()) < 1.0 / 32768)
        m_samples.pop_back();
}

datakit::Bytes Track::pcm16() const {
    datakit::Bytes pcm;
    pcm.reserve(m_samples.size() * 2);
    for (double sample : m_samples) {
        auto value = static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0, 1.0) * 32767.0));
        pcm.push_back(static_cast<std::uint8_t>(value & 0xFF));
        pcm.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    }
    return pcm;
}

Track renderMidi(std::span<const std::uint8_t> midi, bool looping) {
    auto parsed = host::parseMidiFile(midi);
    if (!parsed)
        return Track(0);
    const host::MidiSong& song = parsed.value();
    Track track(static_cast<double>(song.durationMicroseconds) / 1e6);
    track.setLooping(looping);
    int programs[16] = {};
    // The sounding note of each channel and key: its start and loudness.
    struct Sounding {
        double start = -1, level = 0;
    };
    std::vector<Sounding> sounding(16 * 128);
    std::uint32_t seed = 0x5EED;
    for (const host::MidiMessage& message : song.messages) {
        const double at = static_cast<double>(message.microseconds) / 1e6;
        const int channel = message.status & 0x0F;
        const int kind = message.status & 0xF0;
        seed = seed * 69069u + 1u;
        if (kind == 0xC0) {
            programs[channel] = message.data1;
            continue;
        }
        const bool on = kind == 0x90 && message.data2 > 0;
        const bool off = kind == 0x80 || (kind == 0x90 && message.data2 == 0);
        if (channel == 9) {
            if (on)
                playDrum(track, message.data1, at, message.data2 / 127.0, seed);
            continue;
        }
        Sounding& key = sounding[static_cast<std::size_t>(channel * 128 + message.data1)];
        if ((on || off) && key.start >= 0) {
            playPitched(track, instrumentOf(programs[channel]),
                        {key.start, std::max(0.01, at - key.start), message.data1, key.level}, seed);
            key.start = -1;
        }
        if (on)
            key = {at, message.data2 / 127.0};
    }
    if (!looping)
        track.trimSilence();
    return track;
}

datakit::Bytes waveOf(const Track& track) {
    return datakit::writeWave({1, static_cast<std::uint32_t>(kRate), 16}, track.pcm16());
}

} // namespace mkdata::synth
