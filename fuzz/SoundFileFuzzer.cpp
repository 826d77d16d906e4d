// Reads the input as a MIDI file and as an AMR-NB file, the two formats the
// host's media graphs decode themselves, and checks what the readers
// promise: a MIDI song's messages in time order, none after its end, none
// beyond the message limit, its length within the limit; AMR samples in whole
// 20 ms frames. The sanitizers watch for reads outside the bytes.

#include "fuzz/Harness.h"
#include "host/media/AmrDecoder.h"
#include "host/media/MidiFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using fuzzing::check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto exact = std::make_unique<std::uint8_t[]>(size);
    std::copy(data, data + size, exact.get());
    std::span<const std::uint8_t> bytes(exact.get(), size);

    if (auto song = host::parseMidiFile(bytes); song.ok()) {
        const host::MidiSong& parsed = song.value();
        check(parsed.messages.size() <= host::kMaxMidiMessages);
        check(parsed.durationMicroseconds <= host::kMaxMidiDuration);
        std::uint64_t last = 0;
        for (const host::MidiMessage& message : parsed.messages) {
            check(message.microseconds >= last);
            check(message.status >= 0x80 && message.status < 0xF0);
            check(message.data1 < 0x80 && message.data2 < 0x80);
            last = message.microseconds;
        }
        check(last <= parsed.durationMicroseconds);
    }
    if (auto sound = host::decodeAmr(bytes); sound.ok())
        check(sound.value().pcm.size() % (host::kAmrFrameSamples * 2) == 0);
    return 0;
}
