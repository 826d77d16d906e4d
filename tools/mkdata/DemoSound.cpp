// The demo set's sounds, made by code: 24 WAVE sounds at 8000 Hz, mono,
// 16-bit, in a pack of seven part files, one per loading batch. Entries 0 to 4 are music (a menu loop, a race
// theme, a win and a loss jingle, a start fanfare); 5 and above are effects (menu blips, engine hums, a
// crash, a boost, a skid, a countdown). Noise comes from a fixed linear congruential generator, so every run
// makes the same bytes.

#include "tools/datakit/PackWriter.h"
#include "tools/datakit/SoundPack.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkdata {

namespace {

constexpr datakit::WaveFormat kFormat{1, 8000, 16};
constexpr double kRate = 8000.0;

// One voice: a wave shape from `from` to `to` Hz over `seconds`, with a
// linear attack and an exponential decay.
enum class Shape { Sine, Square, Saw, Noise };

struct Voice {
    Shape shape;
    double from;
    double to;
    double seconds;
    double decay; // per second; 0 holds the level
    double level;
};

class Mixer {
public:
    explicit Mixer(double seconds)
        : m_samples(static_cast<std::size_t>(seconds * kRate), 0.0) {}

    void add(const Voice& voice, double at) {
        std::size_t start = static_cast<std::size_t>(at * kRate);
        std::size_t count = static_cast<std::size_t>(voice.seconds * kRate);
        double phase = 0;
        for (std::size_t i = 0; i < count && start + i < m_samples.size(); ++i) {
            double t = static_cast<double>(i) / kRate;
            double frequency = voice.from + (voice.to - voice.from) * t / voice.seconds;
            phase += frequency / kRate;
            phase -= std::floor(phase);
            double envelope = std::min(1.0, t * 200.0) * std::exp(-voice.decay * t) * voice.level;
            m_samples[start + i] += shape(voice.shape, phase) * envelope;
        }
    }

    datakit::Bytes wave() const {
        datakit::Bytes pcm;
        for (double sample : m_samples) {
            auto value = static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0, 1.0) * 30000.0));
            pcm.push_back(static_cast<std::uint8_t>(value & 0xFF));
            pcm.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
        }
        return datakit::writeWave(kFormat, pcm);
    }

private:
    double shape(Shape shape, double phase) {
        switch (shape) {
        case Shape::Sine:
            return std::sin(2 * std::numbers::pi * phase);
        case Shape::Square:
            return phase < 0.5 ? 0.6 : -0.6;
        case Shape::Saw:
            return 2 * phase - 1;
        case Shape::Noise:
            m_noise = m_noise * 1103515245u + 12345u;
            return static_cast<double>((m_noise >> 16) & 0x7FFF) / 16383.5 - 1.0;
        }
        return 0;
    }

    std::vector<double> m_samples;
    std::uint32_t m_noise = 0x5EED;
};

// A tune: notes as semitones above A3 (220 Hz), each `beat` seconds, on a
// square lead over a sine bass an octave and a fifth down.
datakit::Bytes tune(std::initializer_list<int> notes, double beat) {
    Mixer mix(static_cast<double>(notes.size()) * beat);
    double at = 0;
    for (int note : notes) {
        double frequency = 220.0 * std::pow(2.0, note / 12.0);
        mix.add({Shape::Square, frequency, frequency, beat * 0.9, 3.0, 0.35}, at);
        mix.add({Shape::Sine, frequency / 3, frequency / 3, beat, 1.0, 0.3}, at);
        at += beat;
    }
    return mix.wave();
}

datakit::Bytes effect(std::initializer_list<Voice> voices, double seconds) {
    Mixer mix(seconds);
    for (const Voice& voice : voices)
        mix.add(voice, 0);
    return mix.wave();
}

datakit::Bytes engine(double hz) {
    return effect({{Shape::Saw, hz, hz * 1.05, 0.8, 0, 0.4}, {Shape::Sine, hz / 2, hz / 2, 0.8, 0, 0.3}},
                  0.8);
}

std::vector<datakit::SoundEntry> demoSounds() {
    const std::vector<datakit::Bytes> waves = {
        // 0 menu music loop, 1 race theme, 2 win jingle, 3 loss jingle, 4 start fanfare.
        tune({0, 7, 12, 7, 3, 10, 15, 10, 5, 12, 17, 12, 7, 14, 19, 14}, 0.15),
        tune({0, 0, 12, 0, 10, 0, 7, 5, 0, 0, 12, 0, 15, 14, 12, 10}, 0.12),
        tune({12, 16, 19, 24}, 0.14),
        tune({7, 6, 5, 4}, 0.22),
        tune({0, 4, 7, 12, 7, 12}, 0.1),
        // 5 menu move blip, 6 menu select, 7 menu back.
        effect({{Shape::Square, 1760, 1760, 0.05, 20, 0.5}}, 0.05),
        effect({{Shape::Square, 1320, 1980, 0.12, 10, 0.5}}, 0.12),
        effect({{Shape::Square, 990, 660, 0.1, 10, 0.5}}, 0.1),
        // 8 to 11 engine hum, idle to full revs.
        engine(55),
        engine(80),
        engine(110),
        engine(150),
        // 12 crash, 13 boost, 14 skid, 15 bump.
        effect({{Shape::Noise, 0, 0, 0.7, 5, 0.8}, {Shape::Sine, 90, 40, 0.5, 6, 0.6}}, 0.7),
        effect({{Shape::Saw, 200, 900, 0.9, 1, 0.4}, {Shape::Noise, 0, 0, 0.9, 2, 0.2}}, 0.9),
        effect({{Shape::Noise, 0, 0, 0.5, 1, 0.3}, {Shape::Sine, 2400, 2200, 0.5, 2, 0.2}}, 0.5),
        effect({{Shape::Sine, 120, 60, 0.15, 15, 0.7}}, 0.15),
        // 16 to 18 countdown: two low beeps and the start.
        effect({{Shape::Square, 440, 440, 0.2, 4, 0.5}}, 0.2),
        effect({{Shape::Square, 440, 440, 0.2, 4, 0.5}}, 0.2),
        effect({{Shape::Square, 880, 880, 0.4, 3, 0.5}}, 0.4),
        // 19 pickup, 20 lap, 21 result music sting, 22 horn, 23 wind.
        effect({{Shape::Sine, 1046, 2093, 0.15, 8, 0.5}}, 0.15),
        tune({12, 19}, 0.12),
        tune({0, 3, 7, 10, 12}, 0.18),
        effect({{Shape::Square, 311, 311, 0.4, 1, 0.4}, {Shape::Square, 392, 392, 0.4, 1, 0.3}}, 0.4),
        effect({{Shape::Noise, 0, 0, 1.2, 0.5, 0.15}}, 1.2),
    };
    std::vector<datakit::SoundEntry> sounds;
    for (const datakit::Bytes& wave : waves)
        sounds.push_back({kDemoWaveContentType, wave});
    return sounds;
}

} // namespace

void produceSounds(ProgramFolder& folder) {
    folder.archive.push_back({std::u16string(kSoundContentTypesFile),
                              datakit::writeContentTypes({"audio/x-wav", "audio/ogg", "audio/midi"}),
                              {},
                              {}});
    for (datakit::ArchiveEntry& file : datakit::packArchiveEntries(
             kSoundPackFile, kPackPartSeparatorText,
             datakit::writePack(datakit::soundPackEntries(demoSounds()), {0, 3, 6, 9, 12, 15, 18})))
        folder.archive.push_back(std::move(file));
}

} // namespace mkdata
