// What loading a sound costs: realizing a WAVE player (chunk walk and PCM
// copy), decoding Ogg Vorbis with the integer decoder, and rendering MIDI
// with the synthesiser (when a sound font is installed).

#include "host/media/MidiFile.h"
#include "host/media/MidiSynth.h"
#include "platform/media/SoundPlayerWAVE.h"
#include "platform/media/VorbisDecoder.h"
#include "runtime/Runtime.h"
#include "tests/support/BuildPaths.h"
#include "tools/datakit/Midi.h"
#include "tools/datakit/Wave.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

void realizeWave(benchmark::State& state) {
    rt::Runtime runtime{rt::RuntimeOptions{16 << 20, 16 << 20}};
    const datakit::WaveFormat format{2, 44100, 16};
    datakit::Bytes wave = datakit::writeWave(format, datakit::sinePcm(format, 440, 44100 * 5));
    for (auto _ : state) {
        // Without a device, realize stops after the PCM is read.
        auto* player = rt::make<platform::SoundPlayerWAVE>(wave);
        player->realize();
        benchmark::DoNotOptimize(player->getDuration());
        player->close();
        runtime.objectManager().gc(rt::ObjectManager::kNoRoots);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * wave.size()));
}
BENCHMARK(realizeWave)->Unit(benchmark::kMillisecond);

void decodeVorbis(benchmark::State& state) {
    // Two seconds of 22 kHz stereo, from the fuzz corpus (its first byte picks the content type).
    std::ifstream in(std::filesystem::path(VORLAX_MEDIA_CORPUS) / "ogg_stereo_2s", std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::span<const std::uint8_t> stream = std::span(bytes).subspan(1);
    std::vector<std::uint8_t> block(4096);
    std::int64_t decoded = 0;
    for (auto _ : state) {
        platform::VorbisDecoder decoder;
        if (!decoder.open(stream)) {
            state.SkipWithError("the corpus stream does not open");
            return;
        }
        for (long got; (got = decoder.read(block)) > 0;)
            decoded += got;
    }
    state.SetBytesProcessed(decoded);
}
BENCHMARK(decodeVorbis)->Unit(benchmark::kMillisecond);

void renderMidi(benchmark::State& state) {
    datakit::MidiSong written;
    for (std::uint32_t beat = 0; beat < 20; ++beat)
        written.notes.push_back({beat * 480, 400, static_cast<std::uint8_t>(60 + beat % 12), 100, 0});
    auto song = host::parseMidiFile(datakit::writeMidi(written));
    host::MidiSynth synth(host::defaultSoundFonts());
    if (!synth.hasSoundFont()) {
        state.SkipWithError("no General MIDI sound font installed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(synth.render(song.value()).pcm.data());
    state.SetLabel("10 s of music");
}
BENCHMARK(renderMidi)->Unit(benchmark::kMillisecond);

} // namespace
